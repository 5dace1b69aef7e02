#include "FuzzSupport.h"

#include <Zentar/App/CrashTracker.h>

#include <QSettings>

namespace
{

QString g_sessionFile;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    Fuzz::StartQApplication();
    g_sessionFile = Zentar::App::CrashTracker().FileName();
    return 0;
}

// Input: the session file as a previous run may have left it.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::WriteFile(g_sessionFile, data, size);
    const QString ownKey = QString::number(QCoreApplication::applicationPid());
    {
        Zentar::App::CrashTracker tracker;
        if (tracker.HasUnreportedCrash() != !tracker.BadSessionsList().empty())
            Fuzz::Fail("crash flag and bad-session list disagree");
        QSettings file(g_sessionFile, QSettings::IniFormat);
        if (file.value(ownKey).toString().toStdString() != tracker.SessionId())
            Fuzz::Fail("this session is not in the session file");
    }
    QSettings file(g_sessionFile, QSettings::IniFormat);
    if (file.contains(ownKey))
        Fuzz::Fail("a stopped session stayed in the session file");
    return 0;
}
