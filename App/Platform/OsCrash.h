#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// What a crashing process records about its end, for the next run to read.
// The handlers run while the process dies: they only use what was prepared
// when they were installed (the report path, the header text, a stack of
// their own), open the report file only when a crash happens, and write no
// more than kMaxCrashReportSize bytes. Then the process ends as it would
// have without them (default action, core dump).
//
// The report is text, one "<key> <value>" line each: "session", "version",
// "time" (seconds since 1970, UTC), "pid", "thread" (id and name), "cause"
// ("signal", "exception" or "structured-exception"), "signal" (number and
// name), "code", "address" (the faulting address), "exception-type"
// (mangled), "exception-what", one "frame <address> <module offset> <module
// path>" per stack frame, innermost first, and "end" as the last line.
namespace Zentar::App::Os
{

constexpr size_t kMaxCrashReportSize = 64 * 1024;

// Installs the handlers of fatal signals (or the unhandled-exception filter)
// and of std::terminate; `reportPath` is where a crash writes its report,
// `header` the lines that start it ("session ...\nversion ...\n"). Calling it
// again replaces the path and the header. Returns false where the system
// offers no such handlers.
bool InstallCrashHandlers(const std::string& reportPath, const std::string& header);
// Puts back what was there before InstallCrashHandlers.
void UninstallCrashHandlers();
// Replaces the header lines of a report; safe while another thread crashes.
void SetCrashReportHeader(const std::string& header);

// Where a minidump goes beside the report, for systems that write one; empty
// elsewhere.
std::string MinidumpPathFor(const std::string& reportPath);

// Name of the function that contains `moduleOffset` (an offset into the
// module file, as a report's frame lines give it), demangled, and the
// offset into that function. False when the module is gone, is not a
// readable executable, or has no symbol there.
bool SymbolizeModuleOffset(
    const std::string& modulePath, uint64_t moduleOffset, std::string* function, uint64_t* offsetInFunction);

} // namespace Zentar::App::Os
