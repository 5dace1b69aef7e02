// The Win32 crash handlers: a second process of this program installs them
// and crashes for real; this side reads what it left behind.

#include "WinTest.h"

#include "Platform/OsCrash.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <stdexcept>

using namespace Zentar::WinTest;
namespace Os = Zentar::App::Os;

namespace
{

constexpr char kHeader[] = "session 7f3a\nversion 9.8.7\n";
constexpr DWORD kRaisedCode = 0xE0001234;
// The exit code of the stand-in for the system's error reporting.
constexpr DWORD kSystemFilterExit = 77;

// The faulting write, in a function small enough that the first frame of
// the report must fall inside it. Not to address 0: Wine keeps the lowest
// pages mapped where the system lets it (as root), and a null write passes.
__attribute__((noinline)) void WriteTo(int* volatile pointer)
{
    *pointer = 1;
}

// A page that exists and may not be touched.
int* NoAccessPage()
{
    return static_cast<int*>(VirtualAlloc(nullptr, 4096, MEM_RESERVE | MEM_COMMIT, PAGE_NOACCESS));
}

LONG WINAPI SystemFilterStandIn(EXCEPTION_POINTERS*)
{
    TerminateProcess(GetCurrentProcess(), kSystemFilterExit);
    return EXCEPTION_CONTINUE_SEARCH;
}

LONG WINAPI CrashingFilter(EXCEPTION_POINTERS*)
{
    WriteTo(NoAccessPage());
    return EXCEPTION_CONTINUE_SEARCH;
}

// Windows hands a crash inside a filter to the unhandled-exception filter
// again, on the same thread; this goes the same way on purpose.
LONG WINAPI ReenteringFilter(EXCEPTION_POINTERS* pointers)
{
    return UnhandledExceptionFilter(pointers);
}

// args: report path, how ("noaccess": writes to a page that forbids it, after
// putting its address in "<report path>.address"; "raise", "throw"; "filter-crash" and
// "reenter" raise while the filter that comes after ours crashes, or calls
// the system's filter again).
int CrashWith(const std::vector<std::string>& args)
{
    const std::string& how = args.at(1);
    // What the handlers hand on to once the report is written.
    SetUnhandledExceptionFilter(how == "filter-crash" ? CrashingFilter
            : how == "reenter"                        ? ReenteringFilter
                                                      : SystemFilterStandIn);
    if (!Os::InstallCrashHandlers(args.at(0), kHeader))
        return 2;
    if (how == "noaccess") {
        int* page = NoAccessPage();
        std::ofstream(std::filesystem::path(Wide(args.at(0) + ".address")))
            << "0x" << std::hex << reinterpret_cast<uintptr_t>(page);
        WriteTo(page);
    } else if (how == "raise" || how == "filter-crash" || how == "reenter")
        RaiseException(kRaisedCode, 0, 0, nullptr);
    else if (how == "throw")
        throw std::runtime_error("the disk is on fire");
    return 1;
}
ZENTAR_WIN_CHILD(CrashWith);

std::string ReadAll(const std::string& path)
{
    std::ifstream in(std::filesystem::path(Wide(path)), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct Report {
    std::string text;
    std::vector<std::string> lines;
    std::map<std::string, std::string> values; // the first of each key
    std::vector<std::string> frames;
};

Report ReadReport(const std::string& path)
{
    Report report;
    report.text = ReadAll(path);
    std::istringstream in(report.text);
    std::string line;
    while (std::getline(in, line)) {
        report.lines.push_back(line);
        const size_t space = line.find(' ');
        const std::string key = line.substr(0, space);
        const std::string value = space == std::string::npos ? std::string() : line.substr(space + 1);
        if (key == "frame")
            report.frames.push_back(value);
        report.values.emplace(key, value);
    }
    return report;
}

uint64_t OffsetInThisProgram(const void* address)
{
    return reinterpret_cast<uintptr_t>(address) - reinterpret_cast<uintptr_t>(GetModuleHandleW(nullptr));
}

// What every report has, whatever the cause.
void CheckCommon(const Report& report, DWORD pid)
{
    CHECK(report.text.rfind(kHeader, 0) == 0);
    REQUIRE_FALSE(report.lines.empty());
    CHECK(report.lines.back() == "end");
    CHECK(report.values.count("time") == 1);
    CHECK(report.values.count("thread") == 1);
    REQUIRE(report.values.count("pid") == 1);
    CHECK(report.values.at("pid") == std::to_string(pid));
    CHECK(report.text.size() <= Os::kMaxCrashReportSize);
    CHECK_FALSE(report.frames.empty());
    for (const std::string& frame : report.frames) {
        CAPTURE(frame);
        if (frame.rfind("0x0 ", 0) == 0)
            CHECK(frame == "0x0 0x0 ?");
    }
}

// Wine's dbghelp writes minidumps; a build of it that cannot leaves the file
// empty or missing, which the case then reports instead of passing quietly.
void CheckMinidump(const std::string& reportPath)
{
    const std::string dump = ReadAll(Os::MinidumpPathFor(reportPath));
    CAPTURE(dump.size());
    CHECK(dump.size() > 32);
    CHECK(dump.rfind("MDMP", 0) == 0);
}

struct Crash {
    TempDir dir;
    std::string reportPath = dir / "session.crash";
    DWORD pid = 0;
    DWORD code = 0;
    Report report;

    explicit Crash(const std::string& how)
    {
        Child child("CrashWith", { reportPath, how });
        pid = child.Pid();
        REQUIRE_MESSAGE(child.WaitExit(kPeerTimeoutMs, &code), "the crashed process did not end");
        REQUIRE_MESSAGE(Exists(reportPath), "no report after " << how);
        report = ReadReport(reportPath);
    }
};

} // namespace

TEST_CASE("an access violation leaves a report and a minidump, then goes on to the system's filter")
{
    Crash crash("noaccess");
    CAPTURE(crash.report.text);
    CheckCommon(crash.report, crash.pid);
    CHECK(crash.code == kSystemFilterExit);
    CHECK(crash.report.values["cause"] == "structured-exception");
    CHECK(crash.report.values["signal"]
        == std::to_string(EXCEPTION_ACCESS_VIOLATION) + " EXCEPTION_ACCESS_VIOLATION");
    // The data address, not where the instruction was.
    CHECK(crash.report.values["address"] == ReadAll(crash.reportPath + ".address"));

    // Innermost first: the faulting function, in this program, by its offset
    // into the program's image (the same file as this process's).
    std::istringstream first(crash.report.frames.front());
    std::string address, module;
    first >> address >> std::hex;
    uint64_t moduleOffset = 0;
    first >> moduleOffset >> module;
    const uint64_t function = OffsetInThisProgram(reinterpret_cast<const void*>(&WriteTo));
    CHECK(moduleOffset >= function);
    CHECK(moduleOffset < function + 64);
    CHECK(Narrow(ExecutablePath()).find(module.substr(module.find_last_of("\\/") + 1)) != std::string::npos);

    CheckMinidump(crash.reportPath);
}

TEST_CASE("a raised exception and an uncaught C++ exception give their own causes")
{
    SUBCASE("RaiseException")
    {
        Crash crash("raise");
        CAPTURE(crash.report.text);
        CheckCommon(crash.report, crash.pid);
        CHECK(crash.code == kSystemFilterExit);
        CHECK(crash.report.values["cause"] == "structured-exception");
        CHECK(crash.report.values["signal"] == std::to_string(kRaisedCode) + " EXCEPTION");
        CheckMinidump(crash.reportPath);
    }
    SUBCASE("throw")
    {
        Crash crash("throw");
        CAPTURE(crash.report.text);
        CheckCommon(crash.report, crash.pid);
        CHECK(crash.code != 0);
        CHECK(crash.report.values["cause"] == "exception");
        CHECK(crash.report.values["exception-type"].find("runtime_error") != std::string::npos);
        CHECK(crash.report.values["exception-what"] == "the disk is on fire");
        CHECK(crash.report.values.count("signal") == 0);
    }
}

TEST_CASE("a crash inside the filter ends the process with one report of the first crash")
{
    SUBCASE("handed back to the filter on the same thread: no loop")
    {
        Crash crash("reenter");
        CAPTURE(crash.report.text);
        CheckCommon(crash.report, crash.pid);
        CHECK(crash.code == kRaisedCode);
        CHECK(crash.report.values["signal"] == std::to_string(kRaisedCode) + " EXCEPTION");
        CHECK(std::count(crash.report.lines.begin(), crash.report.lines.end(), "end") == 1);
    }
    SUBCASE("a real access violation in the filter after ours")
    {
        Crash crash("filter-crash");
        CAPTURE(crash.report.text);
        CheckCommon(crash.report, crash.pid);
        CHECK(crash.report.values["signal"] == std::to_string(kRaisedCode) + " EXCEPTION");
        CHECK(std::count(crash.report.lines.begin(), crash.report.lines.end(), "end") == 1);
        CHECK(crash.code == kRaisedCode);
    }
}
