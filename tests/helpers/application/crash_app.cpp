// A product that opens a crash-tracking session and reports what it found.
//   (no option)   start, report, quit cleanly
//   --wait        start, report, then run until standard input closes
//                 (clean quit) or the process is killed; a "clear" line on
//                 standard input clears the crash history and reports again
//                 ("cleared <has unreported crash> <crashed sessions left>")
//   --no-mutex    without the application-running mutex
//   --rand        print the first three numbers the product then gets from
//                 qrand() ("rand <a> <b> <c>")
//   --cycles N    also open and close N more sessions, checking each time that
//                 this process's entry really is in the file; prints
//                 "cycles <lost> <crashed>" (entries missing, crashes seen)
// Output: "session <id>", one "crashed <id>" per crashed session, one
// "log <severity> <text>" per log line of WARNING or worse, "ready".
#include <Zentar/App/Application.h>
#include <Zentar/App/CrashTracker.h>
#include <Zentar/Settings/SettingsManager.h>

#include "LogCapture.h"
#include "TestCustomization.h"

#include <QSettings>
#include <QSocketNotifier>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace
{

bool HasOption(int argc, char** argv, const char* option)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], option) == 0)
            return true;
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    LogCapture log;
    Zentar::App::Application::AppContext context;
    context.createRunningMutex = !HasOption(argc, argv, "--no-mutex");
    Zentar::App::Application app(argc, argv, context);
    const QStringList args = app.arguments();
    if (HasOption(argc, argv, "--rand")) {
        QT_WARNING_PUSH
        QT_WARNING_DISABLE_DEPRECATED
        const int a = qrand(), b = qrand(), c = qrand();
        QT_WARNING_POP
        std::printf("rand %d %d %d\n", a, b, c);
    }
    // Before the names are set, so that the cycles use this run's file.
    const int cyclesAt = args.indexOf(QStringLiteral("--cycles"));
    if (cyclesAt > 0) {
        int lost = 0, crashed = 0;
        const QString own = QString::number(QCoreApplication::applicationPid());
        for (int i = args.value(cyclesAt + 1).toInt(); i > 0; --i) {
            Zentar::App::CrashTracker tracker;
            crashed += int(tracker.BadSessionsList().size());
            // Read under the instances' own guard, as they do.
            Zentar::Core::FileLockGuard guard(
                QString(tracker.FileName() + QStringLiteral(".guard")).toStdString());
            if (QSettings(tracker.FileName(), QSettings::IniFormat).value(own).toString()
                != QString::fromStdString(tracker.SessionId()))
                ++lost;
        }
        std::printf("cycles %d %d\n", lost, crashed);
        std::fflush(stdout);
    }

    app.SetCustomizationManager(std::make_shared<TestCustomization>(), false);

    std::printf("session %s\n", app.SessionId().c_str());
    for (const auto& id : app.GetCrashedSessions())
        std::printf("crashed %s\n", id.c_str());
    for (const auto& line : log.Lines())
        if (line.severity >= google::GLOG_WARNING)
            std::printf("log %d %s\n", int(line.severity), line.text.c_str());
    std::printf("ready\n");
    std::fflush(stdout);

    QSocketNotifier stdinWatch(STDIN_FILENO, QSocketNotifier::Read);
    stdinWatch.setEnabled(HasOption(argc, argv, "--wait"));
    QObject::connect(&stdinWatch, &QSocketNotifier::activated, &app, [&] {
        char buffer[64];
        const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            app.quit();
        } else if (QByteArray(buffer, int(n)).contains("clear")) {
            app.ClearCrashes();
            const auto left = app.GetCrashedSessions().size();
            std::printf("cleared %d %d\n", int(app.HasUnreportedCrash()), int(left));
            std::fflush(stdout);
        }
    });
    if (!stdinWatch.isEnabled())
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}
