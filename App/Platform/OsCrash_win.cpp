#include "OsCrash.h"

#include <windows.h>

#include <dbghelp.h> // needs windows.h first

#include <atomic>
#include <cstring>
#include <exception>
#include <typeinfo>

namespace Zentar::App::Os
{
namespace
{

constexpr int kMaxFrames = 62; // what CaptureStackBackTrace takes on every version
constexpr size_t kHeaderSize = 2048;

// Everything the filter uses is static storage: nothing is allocated while
// the process dies, except what dbghelp does for the minidump.
struct Prepared {
    wchar_t reportPath[MAX_PATH * 2] = {};
    wchar_t minidumpPath[MAX_PATH * 2] = {};
    char headers[2][kHeaderSize] = {};
    std::atomic<int> currentHeader { 0 };
    LPTOP_LEVEL_EXCEPTION_FILTER previousFilter = nullptr;
    std::terminate_handler previousTerminate = nullptr;
    bool installed = false;
};
Prepared g_prepared;
// The first thread that gets here writes the report.
std::atomic<bool> g_reportClaimed { false };
// The thread inside the filter: a crash of its own there (or in the filter
// it hands on to) comes back to the filter, and would again and again.
std::atomic<DWORD> g_filterThread { 0 };
std::atomic<DWORD> g_firstCode { EXCEPTION_ACCESS_VIOLATION };

using MiniDumpWriteDumpFunction = BOOL(WINAPI*)(HANDLE, DWORD, HANDLE, MINIDUMP_TYPE,
    PMINIDUMP_EXCEPTION_INFORMATION, PMINIDUMP_USER_STREAM_INFORMATION, PMINIDUMP_CALLBACK_INFORMATION);

struct ReportWriter {
    HANDLE file = INVALID_HANDLE_VALUE;
    size_t written = 0;

    bool Open()
    {
        file = CreateFileW(
            g_prepared.reportPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        return file != INVALID_HANDLE_VALUE;
    }
    void Raw(const char* text, size_t length)
    {
        // The last bytes are kept for "end", so that a full report still ends.
        if (length > kMaxCrashReportSize - 4 - written)
            length = kMaxCrashReportSize - 4 - written;
        DWORD done = 0;
        if (length)
            WriteFile(file, text, DWORD(length), &done, nullptr);
        written += length;
    }
    void Text(const char* text) { Raw(text, std::strlen(text)); }
    void Line(const char* text)
    {
        for (const char* p = text; *p; ++p) {
            const char c = (*p == '\n' || *p == '\r') ? ' ' : *p;
            Raw(&c, 1);
        }
    }
    void Unsigned(unsigned long long value, int base = 10)
    {
        char digits[24];
        int n = 0;
        do {
            const int d = int(value % unsigned(base));
            digits[n++] = char(d < 10 ? '0' + d : 'a' + d - 10);
            value /= unsigned(base);
        } while (value);
        char out[26];
        int o = 0;
        if (base == 16) {
            out[o++] = '0';
            out[o++] = 'x';
        }
        while (n)
            out[o++] = digits[--n];
        Raw(out, size_t(o));
    }
    void Finish()
    {
        written = 0; // the room kept for it
        Raw("end\n", 4);
        CloseHandle(file);
    }
};

void WriteHeader(ReportWriter& out)
{
    out.Text(g_prepared.headers[g_prepared.currentHeader.load()]);
    FILETIME now {};
    GetSystemTimeAsFileTime(&now);
    const unsigned long long ticks
        = (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    out.Text("time ");
    out.Unsigned(ticks / 10000000ULL - 11644473600ULL); // from 1601 to 1970
    out.Text("\npid ");
    out.Unsigned(GetCurrentProcessId());
    out.Text("\nthread ");
    out.Unsigned(GetCurrentThreadId());
    out.Text("\n");
}

// Frames from `startAt` outward (or all, when it is not among them), each
// with its module and the offset into the module's image.
void WriteFrames(ReportWriter& out, const void* startAt)
{
    void* addresses[kMaxFrames];
    const USHORT count = CaptureStackBackTrace(0, kMaxFrames, addresses, nullptr);
    USHORT first = 0;
    for (USHORT i = 0; startAt && i < count; ++i) {
        if (addresses[i] == startAt) {
            first = i;
            break;
        }
    }
    for (USHORT i = first; i < count; ++i) {
        HMODULE module = nullptr;
        wchar_t wide[MAX_PATH] = {};
        char path[MAX_PATH * 3] = {};
        // A null address (where a walk ran off the stack) belongs to no
        // module, though the lookup would name the program for it.
        if (addresses[i]
            && GetModuleHandleExW(
                GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                static_cast<LPCWSTR>(addresses[i]), &module)
            && GetModuleFileNameW(module, wide, MAX_PATH))
            WideCharToMultiByte(CP_UTF8, 0, wide, -1, path, int(sizeof path), nullptr, nullptr);
        out.Text("frame ");
        out.Unsigned(reinterpret_cast<uintptr_t>(addresses[i]), 16);
        out.Text(" ");
        out.Unsigned(
            module ? reinterpret_cast<uintptr_t>(addresses[i]) - reinterpret_cast<uintptr_t>(module) : 0, 16);
        out.Text(" ");
        out.Line(path[0] ? path : "?");
        out.Text("\n");
    }
}

void WriteMinidump(EXCEPTION_POINTERS* pointers)
{
    HMODULE dbghelp = LoadLibraryW(L"dbghelp.dll");
    const auto write = dbghelp ? reinterpret_cast<MiniDumpWriteDumpFunction>(
                           reinterpret_cast<void*>(GetProcAddress(dbghelp, "MiniDumpWriteDump")))
                               : nullptr;
    if (!write)
        return;
    HANDLE file = CreateFileW(
        g_prepared.minidumpPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    MINIDUMP_EXCEPTION_INFORMATION info {};
    info.ThreadId = GetCurrentThreadId();
    info.ExceptionPointers = pointers;
    info.ClientPointers = FALSE;
    write(GetCurrentProcess(), GetCurrentProcessId(), file, MiniDumpNormal, pointers ? &info : nullptr,
        nullptr, nullptr);
    CloseHandle(file);
}

const char* ExceptionName(DWORD code)
{
    switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
        return "EXCEPTION_ACCESS_VIOLATION";
    case EXCEPTION_STACK_OVERFLOW:
        return "EXCEPTION_STACK_OVERFLOW";
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
        return "EXCEPTION_INT_DIVIDE_BY_ZERO";
    case EXCEPTION_ILLEGAL_INSTRUCTION:
        return "EXCEPTION_ILLEGAL_INSTRUCTION";
    case EXCEPTION_IN_PAGE_ERROR:
        return "EXCEPTION_IN_PAGE_ERROR";
    default:
        return "EXCEPTION";
    }
}

LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* pointers)
{
    const DWORD thread = GetCurrentThreadId();
    // Crashed while handling a crash: end at once, as the first crash would
    // have ended the process.
    if (g_filterThread.load() == thread)
        TerminateProcess(GetCurrentProcess(), g_firstCode.load());
    DWORD expected = 0;
    if (g_filterThread.compare_exchange_strong(expected, thread) && pointers && pointers->ExceptionRecord)
        g_firstCode.store(pointers->ExceptionRecord->ExceptionCode);
    if (!g_reportClaimed.exchange(true)) {
        ReportWriter out;
        if (out.Open()) {
            const EXCEPTION_RECORD* record = pointers ? pointers->ExceptionRecord : nullptr;
            WriteHeader(out);
            out.Text("cause structured-exception\nsignal ");
            out.Unsigned(record ? record->ExceptionCode : 0);
            out.Text(" ");
            out.Text(record ? ExceptionName(record->ExceptionCode) : "EXCEPTION");
            out.Text("\naddress ");
            // For an access violation, the address that was read or written.
            const bool access = record
                && (record->ExceptionCode == EXCEPTION_ACCESS_VIOLATION
                    || record->ExceptionCode == EXCEPTION_IN_PAGE_ERROR)
                && record->NumberParameters >= 2;
            out.Unsigned(access ? record->ExceptionInformation[1]
                                : reinterpret_cast<uintptr_t>(record ? record->ExceptionAddress : nullptr),
                16);
            out.Text("\n");
            WriteFrames(out, record ? record->ExceptionAddress : nullptr);
            out.Finish();
        }
        WriteMinidump(pointers);
    }
    // Then what would have happened anyway: the system's error reporting.
    return g_prepared.previousFilter ? g_prepared.previousFilter(pointers) : EXCEPTION_CONTINUE_SEARCH;
}

void OnTerminate()
{
    if (!g_reportClaimed.exchange(true)) {
        ReportWriter out;
        if (out.Open()) {
            WriteHeader(out);
            out.Text("cause exception\n");
            try {
                std::rethrow_exception(std::current_exception());
            } catch (const std::exception& e) {
                out.Text("exception-type ");
                out.Line(typeid(e).name());
                out.Text("\nexception-what ");
                out.Line(e.what());
                out.Text("\n");
            } catch (...) {
            }
            WriteFrames(out, nullptr);
            out.Finish();
        }
        WriteMinidump(nullptr);
    }
    if (g_prepared.previousTerminate)
        g_prepared.previousTerminate();
    std::abort();
}

void ToWide(const std::string& utf8, wchar_t* to, int size)
{
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, to, size);
    to[n > 0 ? n - 1 : 0] = L'\0';
}

} // namespace

bool InstallCrashHandlers(const std::string& reportPath, const std::string& header)
{
    ToWide(reportPath, g_prepared.reportPath, int(sizeof g_prepared.reportPath / sizeof(wchar_t)));
    ToWide(MinidumpPathFor(reportPath), g_prepared.minidumpPath,
        int(sizeof g_prepared.minidumpPath / sizeof(wchar_t)));
    SetCrashReportHeader(header);
    if (g_prepared.installed)
        return true;
    g_prepared.previousFilter = SetUnhandledExceptionFilter(OnUnhandledException);
    g_prepared.previousTerminate = std::set_terminate(OnTerminate);
    g_prepared.installed = true;
    return true;
}

void UninstallCrashHandlers()
{
    if (!g_prepared.installed)
        return;
    SetUnhandledExceptionFilter(g_prepared.previousFilter);
    std::set_terminate(g_prepared.previousTerminate);
    g_prepared.installed = false;
}

void SetCrashReportHeader(const std::string& header)
{
    const int next = 1 - g_prepared.currentHeader.load();
    const size_t n = header.size() < kHeaderSize - 1 ? header.size() : kHeaderSize - 1;
    std::memcpy(g_prepared.headers[next], header.data(), n);
    g_prepared.headers[next][n] = '\0';
    g_prepared.currentHeader.store(next);
}

std::string MinidumpPathFor(const std::string& reportPath)
{
    const std::string suffix = ".crash";
    if (reportPath.size() >= suffix.size()
        && reportPath.compare(reportPath.size() - suffix.size(), suffix.size(), suffix) == 0)
        return reportPath.substr(0, reportPath.size() - suffix.size()) + ".dmp";
    return reportPath + ".dmp";
}

// The module that crashed need not be loaded in this process, and its names
// are in a PDB: the minidump beside the report is read with a debugger.
bool SymbolizeModuleOffset(const std::string&, uint64_t, std::string*, uint64_t*)
{
    return false;
}

} // namespace Zentar::App::Os
