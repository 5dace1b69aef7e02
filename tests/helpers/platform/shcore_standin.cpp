// Stands in for the system DPI library. The real function's signature is
// HRESULT SetProcessDpiAwareness(PROCESS_DPI_AWARENESS); this one says it
// was called, and with what.
#include <cstdio>

#ifdef ZENTAR_SHCORE_EXPORTS_AWARENESS
extern "C" __attribute__((visibility("default"))) long SetProcessDpiAwareness(int value)
{
    std::printf("SetProcessDpiAwareness(%d)\n", value);
    std::fflush(stdout);
    return 0;
}
#endif

// The library's other exports do not matter here.
extern "C" __attribute__((visibility("default"))) int GetScaleFactorForDevice(int)
{
    return 100;
}
