// A product that may really crash, and reports what it learnt of earlier runs.
//   --crash KIND      once started, crash: "segv" (a null dereference),
//                     "abort", "throw" (an exception nobody catches),
//                     "fpe" (SIGFPE raised), "handler" (a crash inside the
//                     crash handler: an exception whose what() crashes)
//   --wait            run until standard input closes or a signal ends it
//   --slow-quit       on aboutToQuit print "quitting", then stay until
//                     standard input closes (at most a minute)
//   --version V       the product's version ("1.0.0" unless given)
//   --threshold N     crashes in a row that make a crash loop
//   --safe-mode       start in safe mode when in a crash loop
// Output: "session <id>", per crashed session "crashed <id>", "cause <id>
// <summary>", "thread <id> <thread id>", "version <id> <version>" and one
// "function <id> <name>" per named frame, innermost first; "in-row N",
// "share <crash-free share>", "loop 0|1", "safe 0|1", one "log <severity>
// <text>" per log line of WARNING or worse, "ready"; on a clean end "ended".
//   --keep-term       SIGTERM keeps its default action (the product opted out)
#include <Zentar/App/Application.h>
#include <Zentar/Settings/SettingsManager.h>

#include "LogCapture.h"
#include "TestCustomization.h"

#include <QSocketNotifier>
#include <QThread>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <sys/resource.h>
#include <unistd.h>

namespace
{

// Read through a volatile pointer, so that the compiler neither sees the
// null nor turns the store into a trap instruction.
int* volatile g_nowhere = nullptr;

// A real fault also under UndefinedBehaviorSanitizer, which would stop at the null first.
[[gnu::noinline, gnu::no_sanitize_undefined]] void CrashByNullDereference()
{
    *g_nowhere = 42;
}

[[gnu::noinline]] void ThrowUncaught()
{
    throw std::runtime_error("the helper threw this on purpose");
}

// Asked for its text by the handler of uncaught exceptions.
struct CrashingWhat : std::exception {
    const char* what() const noexcept override
    {
        CrashByNullDereference();
        return "unreachable";
    }
};

const char* Option(int argc, char** argv, const char* name)
{
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], name) == 0)
            return argv[i + 1];
    return nullptr;
}

bool HasOption(int argc, char** argv, const char* name)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], name) == 0)
            return true;
    return false;
}

[[gnu::noinline]] void Crash(const QByteArray& kind)
{
    if (kind == "segv") {
        CrashByNullDereference();
    } else if (kind == "abort") {
        std::abort();
    } else if (kind == "throw") {
        ThrowUncaught();
    } else if (kind == "fpe") {
        std::raise(SIGFPE);
        g_nowhere = nullptr; // not a tail call: this frame stays on the stack
    } else if (kind == "handler") {
        throw CrashingWhat();
    }
}

} // namespace

int main(int argc, char** argv)
{
    // Crashing on purpose is no reason for a core file.
    const rlimit noCore { 0, 0 };
    setrlimit(RLIMIT_CORE, &noCore);

    LogCapture log;
    Zentar::App::Application::AppContext context;
    context.createRunningMutex = false;
    Zentar::App::Application app(argc, argv, context);
    auto customization = std::make_shared<TestCustomization>();
    if (const char* version = Option(argc, argv, "--version")) {
        unsigned major = 0, minor = 0, patch = 0;
        std::sscanf(version, "%u.%u.%u", &major, &minor, &patch);
        customization->version = Zentar::Core::Version { major, minor, patch, 0 };
    } else {
        customization->version = Zentar::Core::Version { 1, 0, 0, 0 };
    }
    customization->suppressesStartupPages = true;
    app.SetCustomizationManager(customization, false);
    app.SetSettingsManager(std::make_shared<Zentar::App::SettingsManager>(
        QStringLiteral("ZentarCrashingProduct"), QStringLiteral("Zentar")));
    if (const char* threshold = Option(argc, argv, "--threshold"))
        app.SetCrashLoopThreshold(std::atoi(threshold));

    std::printf("session %s\n", app.SessionId().c_str());
    for (const auto& id : app.GetCrashedSessions()) {
        const auto report = app.GetCrashReport(id);
        std::printf("crashed %s\n", id.c_str());
        std::printf("cause %s %s\n", id.c_str(), report.Summary().c_str());
        std::printf("thread %s %llu\n", id.c_str(), static_cast<unsigned long long>(report.threadId));
        std::printf("version %s %s\n", id.c_str(), report.version.c_str());
        for (const auto& frame : report.frames)
            if (!frame.function.empty())
                std::printf("function %s %s\n", id.c_str(), frame.function.c_str());
    }
    const bool loop = app.IsInCrashLoop();
    if (loop && HasOption(argc, argv, "--safe-mode"))
        app.StartInSafeMode();
    std::printf("in-row %d\nshare %.2f\nloop %d\nsafe %d\n", app.GetCrashesInRow(), app.GetCrashFreeShare(),
        int(loop), int(app.IsSafeMode()));
    std::printf("pid %lld\n", static_cast<long long>(QCoreApplication::applicationPid()));
    app.Start();
    if (HasOption(argc, argv, "--keep-term"))
        app.SetQuitOnSignal(Zentar::App::Application::QuitSignal::Terminate, false);
    for (const auto& line : log.Lines())
        if (line.severity >= google::GLOG_WARNING)
            std::printf("log %d %s\n", int(line.severity), line.text.c_str());

    const QByteArray crash = Option(argc, argv, "--crash");
    const bool wait = HasOption(argc, argv, "--wait");
    QSocketNotifier stdinWatch(STDIN_FILENO, QSocketNotifier::Read);
    stdinWatch.setEnabled(wait);
    QObject::connect(&stdinWatch, &QSocketNotifier::activated, &app, [&] {
        char buffer[64];
        if (read(STDIN_FILENO, buffer, sizeof buffer) <= 0) {
            stdinWatch.setEnabled(false);
            app.TryToQuit();
        }
    });
    if (HasOption(argc, argv, "--slow-quit")) {
        QObject::connect(&app, &QCoreApplication::aboutToQuit, [&] {
            std::printf("quitting\n");
            std::fflush(stdout);
            // Stays until the test closes standard input or a signal ends the process.
            for (int i = 0; i < 600; ++i) {
                char buffer[64];
                if (read(STDIN_FILENO, buffer, sizeof buffer) == 0)
                    break;
                QThread::msleep(100);
            }
        });
    }
    std::printf("ready\n");
    std::fflush(stdout);

    // Out of main itself: an exception nobody catches still has the stack it
    // was thrown from (Qt's event loop would catch and rethrow it).
    if (!crash.isEmpty())
        Crash(crash);
    if (!wait)
        QTimer::singleShot(0, &app, [&] { app.TryToQuit(); });
    const int result = app.exec();
    std::printf("ended\n");
    std::fflush(stdout);
    return result;
}
