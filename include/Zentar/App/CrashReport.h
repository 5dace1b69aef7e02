#pragma once

#include <Zentar/App/ZentarAppExport.h>

#include <cstdint>
#include <string>
#include <vector>

namespace Zentar::App
{

// Why a run crashed, as its report told the next run. Empty (no cause) when
// the run left no report: it was killed (SIGKILL), the machine stopped, or
// the report was damaged.
struct ZENTAR_APP_EXPORT CrashReport {
    struct Frame {
        uint64_t address = 0; // in the crashed process
        std::string module; // path of the executable or library
        uint64_t moduleOffset = 0; // into the module file
        std::string function; // demangled; empty when it has no name
        uint64_t functionOffset = 0;
    };

    std::string sessionId;
    std::string version; // the product's, as the crashed run knew it
    int64_t time = 0; // seconds since 1970, UTC
    uint64_t processId = 0;
    uint64_t threadId = 0;
    std::string threadName;
    // "signal", "exception" (a C++ exception nobody caught) or
    // "structured-exception" (Windows); empty: no report.
    std::string cause;
    int signal = 0; // for "signal"
    std::string signalName; // "SIGSEGV", "SIGABRT", ...
    uint64_t address = 0; // the faulting address
    std::string exceptionType; // demangled, for "exception"
    std::string exceptionWhat;
    std::vector<Frame> frames; // innermost first

    bool Empty() const { return cause.empty(); }
    // One line for people: "SIGSEGV at 0x0", "std::runtime_error: text".
    std::string Summary() const;
};

} // namespace Zentar::App
