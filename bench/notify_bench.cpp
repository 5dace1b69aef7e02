// Measures event delivery through Application::notify against a plain
// QApplication. The instructions of a run of sent events are counted under
// callgrind, only inside the sending loop; the wall time of a storm of posted
// events delivered to one receiver is measured in turns (a busy machine slows
// both alike). Each measurement runs in a child process of its own: an
// application object is once per process.
//
//   notify_bench [--rounds N] [--events N] [--sends N]
//   notify_bench --child app|qt --events N     (posted events, prints ms)
//   notify_bench --child app|qt --sends N      (sent events, run under callgrind)

#include "BenchUtil.h"
#include "ChildHome.h"

#include <Zentar/App/Application.h>

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

class Sink : public QObject
{
public:
    long delivered = 0;
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::User) {
            ++delivered;
            return true;
        }
        return QObject::event(e);
    }
};

// Callgrind counts inside this function only (--toggle-collect).
__attribute__((noinline)) void BenchSendEvents(QObject* receiver, long count)
{
    QEvent event(QEvent::User);
    for (long i = 0; i < count; ++i)
        QCoreApplication::sendEvent(receiver, &event);
}

namespace
{

int RunChild(bool withApplication, long events, long sends, int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QApplication> app;
    if (withApplication) {
        Zentar::App::Application::AppContext context;
        context.createRunningMutex = false;
        app = std::make_unique<Zentar::App::Application>(argc, argv, context);
    } else {
        app = std::make_unique<QApplication>(argc, argv);
    }

    Sink sink;
    if (sends > 0) {
        BenchSendEvents(&sink, sends);
        return sink.delivered == sends ? 0 : 1;
    }
    for (long i = 0; i < events; ++i)
        QCoreApplication::postEvent(&sink, new QEvent(QEvent::User));
    QElapsedTimer timer;
    timer.start();
    QCoreApplication::sendPostedEvents(&sink, QEvent::User);
    const double ms = timer.nsecsElapsed() / 1e6;
    if (sink.delivered != events) {
        std::fprintf(stderr, "delivered %ld of %ld events\n", sink.delivered, events);
        return 1;
    }
    std::printf("%.3f\n", ms);
    return 0;
}

bool Measure(const QString& kind, long events, const QProcessEnvironment& env, std::vector<double>& out)
{
    QProcess child;
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
        { QStringLiteral("--child"), kind, QStringLiteral("--events"), QString::number(events) });
    if (!child.waitForFinished(10 * 60 * 1000) || child.exitStatus() != QProcess::NormalExit
        || child.exitCode() != 0) {
        std::fprintf(
            stderr, "%s run failed: %s\n", qPrintable(kind), child.readAllStandardError().constData());
        return false;
    }
    bool ok = false;
    const double ms = child.readAllStandardOutput().trimmed().toDouble(&ok);
    if (!ok)
        return false;
    out.push_back(ms);
    return true;
}

// Instructions callgrind counted inside BenchSendEvents; 0 when it failed.
double CountInstructions(
    const QString& kind, long sends, const QProcessEnvironment& env, const QString& outDir)
{
    QProcess child;
    child.setProcessEnvironment(env);
    child.start(QStringLiteral("valgrind"),
        { QStringLiteral("--tool=callgrind"), QStringLiteral("--collect-atstart=no"),
            QStringLiteral("--toggle-collect=BenchSendEvents*"),
            QStringLiteral("--callgrind-out-file=") + outDir + QLatin1Char('/') + kind
                + QStringLiteral(".out"),
            QCoreApplication::applicationFilePath(), QStringLiteral("--child"), kind,
            QStringLiteral("--sends"), QString::number(sends) });
    const bool finished = child.waitForFinished(10 * 60 * 1000);
    const QString log = QString::fromLocal8Bit(child.readAllStandardError());
    const auto match = QRegularExpression(QStringLiteral("Collected : (\\d+)")).match(log);
    if (!finished || child.exitCode() != 0 || !match.hasMatch()) {
        std::fprintf(stderr, "callgrind run of %s failed: %s\n", qPrintable(kind), qPrintable(log));
        return 0;
    }
    return match.captured(1).toDouble();
}

} // namespace

int main(int argc, char** argv)
{
    const long events = Bench::Count(argc, argv, "--events", 5000000);
    const long sends = Bench::Count(argc, argv, "--sends", 100000);
    const int rounds = int(Bench::Count(argc, argv, "--rounds", 7));
    const char* child = Bench::Option(argc, argv, "--child");
    const bool childSends = Bench::Option(argc, argv, "--sends") != nullptr;
    if (child)
        return RunChild(std::strcmp(child, "app") == 0, events, childSends ? sends : 0, argc, argv);

    QCoreApplication parent(argc, argv);
    QTemporaryDir home;
    QProcessEnvironment env = Bench::ChildEnvironment(home.path());

    if (QStandardPaths::findExecutable(QStringLiteral("valgrind")).isEmpty()) {
        std::printf("valgrind not found: no instruction counts\n");
    } else {
        const double appInstructions = CountInstructions(QStringLiteral("app"), sends, env, home.path());
        const double qtInstructions = CountInstructions(QStringLiteral("qt"), sends, env, home.path());
        if (appInstructions <= 0 || qtInstructions <= 0)
            return 1;
        std::printf("%ld sent events under callgrind: Application %.0f instructions (%.1f per event), "
                    "QApplication %.0f (%.1f per event)\n",
            sends, appInstructions, appInstructions / sends, qtInstructions, qtInstructions / sends);
        Bench::Summary("Application::notify, " + std::to_string(sends / 1000) + "k sendEvent, instructions",
            Bench::Format("%.1f/event", appInstructions / sends),
            Bench::Format("%.1f/event", qtInstructions / sends), appInstructions / qtInstructions, 1.03);
    }

    std::vector<double> app;
    std::vector<double> qt;
    for (int round = 0; round < rounds; ++round) {
        // Alternate which one goes first.
        const bool appFirst = round % 2 == 0;
        if (!Measure(
                appFirst ? QStringLiteral("app") : QStringLiteral("qt"), events, env, appFirst ? app : qt)
            || !Measure(
                appFirst ? QStringLiteral("qt") : QStringLiteral("app"), events, env, appFirst ? qt : app))
            return 1;
        std::printf(
            "round %d: Application %.1f ms, QApplication %.1f ms\n", round + 1, app.back(), qt.back());
        std::fflush(stdout);
    }
    const double appMedian = Bench::Median(app);
    const double qtMedian = Bench::Median(qt);
    std::printf("%ld posted events, %d rounds\n", events, rounds);
    std::printf("median Application::notify: %.1f ms (%.1f ns/event)\n", appMedian, appMedian * 1e6 / events);
    std::printf("median QApplication::notify: %.1f ms (%.1f ns/event)\n", qtMedian, qtMedian * 1e6 / events);
    std::printf("ratio: %.3f\n", qtMedian > 0 ? appMedian / qtMedian : 0.0);
    Bench::Summary("Application::notify, " + std::to_string(events / 1000000) + "M posted events, wall",
        Bench::Format("%.1f ms", appMedian), Bench::Format("%.1f ms", qtMedian), appMedian / qtMedian, 1.05);
    return 0;
}
