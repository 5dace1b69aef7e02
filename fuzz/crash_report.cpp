#include "FuzzSupport.h"

#include "Application/CrashReports.h"

// Input: a crash report as a crashed run, a full disk or anyone else may have
// left it beside the session file.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char*>(data), int(size));
    Zentar::App::CrashReport report;
    if (!Zentar::App::CrashReports::Parse(text, &report))
        return 0;
    if (report.Empty())
        Fuzz::Fail("a report was accepted without a cause");
    if (!text.endsWith("\nend\n"))
        Fuzz::Fail("a report without its last line was accepted");
    report.Summary();
    return 0;
}
