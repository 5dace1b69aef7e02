#pragma once

#include <Zentar/App/ZentarAppExport.h>

#include <cstdint>
#include <string>
#include <vector>

namespace Zentar::App
{

/// Why a run crashed, as its report told the next run. Empty (no cause) when
/// the run left no report: it was killed (SIGKILL), the machine stopped, or
/// the report was damaged.
struct ZENTAR_APP_EXPORT CrashReport {
    /// One frame of the crashed thread's stack.
    struct Frame {
        uint64_t address = 0; ///< In the crashed process.
        std::string module; ///< Path of the executable or library.
        uint64_t moduleOffset = 0; ///< Into the module file.
        std::string function; ///< Demangled; empty when it has no name.
        uint64_t functionOffset = 0; ///< From the start of `function`.
    };

    std::string sessionId; ///< The crashed session.
    std::string version; ///< The product's, as the crashed run knew it.
    int64_t time = 0; ///< Seconds since 1970, UTC.
    uint64_t processId = 0; ///< The crashed process.
    uint64_t threadId = 0; ///< The thread that crashed.
    std::string threadName; ///< Its name, when it had one.
    /// "signal", "exception" (a C++ exception nobody caught) or
    /// "structured-exception" (Windows); empty: no report.
    std::string cause;
    int signal = 0; ///< For "signal".
    std::string signalName; ///< "SIGSEGV", "SIGABRT", ...
    uint64_t address = 0; ///< The faulting address.
    std::string exceptionType; ///< Demangled, for "exception".
    std::string exceptionWhat; ///< Its what(), for "exception".
    std::vector<Frame> frames; ///< Innermost first.

    /// Whether the run left no report.
    bool Empty() const { return cause.empty(); }
    /// One line for people: "SIGSEGV at 0x0", "std::runtime_error: text".
    std::string Summary() const;
};

} // namespace Zentar::App
