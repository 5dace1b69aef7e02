#include "OsUtil.h"

#include <Zentar/Core/StringConv.h>

#include <windows.h>

namespace Zentar::Util::Os
{

namespace
{

std::wstring FullPath(const std::wstring& path)
{
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return path;
    std::wstring full(needed, L'\0');
    const DWORD written = GetFullPathNameW(path.c_str(), needed, &full[0], nullptr);
    if (written == 0 || written >= needed)
        return path;
    full.resize(written);
    return full;
}

} // namespace

int64_t ProcessStartTimeMs(int64_t pid)
{
    if (pid <= 0 || pid > 0xFFFFFFFFll)
        return -1;
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
    if (!process)
        return -1;
    FILETIME created {}, exited {}, kernel {}, user {};
    const BOOL ok = GetProcessTimes(process, &created, &exited, &kernel, &user);
    CloseHandle(process);
    if (!ok)
        return -1;
    ULARGE_INTEGER t;
    t.LowPart = created.dwLowDateTime;
    t.HighPart = created.dwHighDateTime;
    // 100 ns ticks since 1601 to milliseconds since 1970.
    return static_cast<int64_t>(t.QuadPart / 10000) - 11644473600000ll;
}

bool IsProcessRunning(int64_t pid, const std::string& exeUtf8)
{
    if (pid <= 0 || pid > int64_t(MAXDWORD) || exeUtf8.empty())
        return false;
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(pid));
    if (!process)
        return false;
    bool running = false;
    DWORD exitCode = 0;
    if (GetExitCodeProcess(process, &exitCode) && exitCode == STILL_ACTIVE) {
        std::wstring image(32768, L'\0');
        DWORD size = DWORD(image.size());
        if (QueryFullProcessImageNameW(process, 0, &image[0], &size)) {
            image.resize(size);
            std::wstring wanted = Core::WstringFromUtf8(exeUtf8);
            for (wchar_t& c : wanted)
                if (c == L'/')
                    c = L'\\';
            wanted = FullPath(wanted);
            // File names on Windows compare without regard to case.
            running = CompareStringOrdinal(
                          image.c_str(), int(image.size()), wanted.c_str(), int(wanted.size()), TRUE)
                == CSTR_EQUAL;
        }
    }
    CloseHandle(process);
    return running;
}

} // namespace Zentar::Util::Os
