// Measures event delivery through Application::notify against a plain
// QApplication: a storm of posted events is delivered to one receiver.
// Each measurement runs in a child process of its own (an application object
// is once per process); the two kinds take turns so that a busy machine
// slows both alike.
//
//   notify_bench [--rounds N] [--events N]
//   notify_bench --child app|qt --events N     (one measurement, in ms)

#include <Zentar/App/Application.h>

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

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

int RunChild(bool withApplication, long events, int argc, char** argv)
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

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

bool Measure(const QString& kind, long events, const QProcessEnvironment& env, std::vector<double>& out)
{
    QProcess child;
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--child"), kind, QStringLiteral("--events"), QString::number(events)});
    if (!child.waitForFinished(10 * 60 * 1000) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
        std::fprintf(stderr, "%s run failed: %s\n", qPrintable(kind), child.readAllStandardError().constData());
        return false;
    }
    bool ok = false;
    const double ms = child.readAllStandardOutput().trimmed().toDouble(&ok);
    if (!ok)
        return false;
    out.push_back(ms);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    long events = 1000000;
    int rounds = 7;
    const char* child = nullptr;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--events") == 0)
            events = std::max(1L, std::atol(argv[++i]));
        else if (std::strcmp(argv[i], "--rounds") == 0)
            rounds = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--child") == 0)
            child = argv[++i];
    }
    if (child)
        return RunChild(std::strcmp(child, "app") == 0, events, argc, argv);

    QCoreApplication parent(argc, argv);
    // The application object keeps files in the home directory; the
    // children get a home of their own.
    QTemporaryDir home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path() + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.path() + QStringLiteral("/data"));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home.path() + QStringLiteral("/cache"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());

    std::vector<double> app;
    std::vector<double> qt;
    for (int round = 0; round < rounds; ++round) {
        // Alternate which one goes first.
        const bool appFirst = round % 2 == 0;
        if (!Measure(appFirst ? QStringLiteral("app") : QStringLiteral("qt"), events, env, appFirst ? app : qt)
            || !Measure(appFirst ? QStringLiteral("qt") : QStringLiteral("app"), events, env, appFirst ? qt : app))
            return 1;
        std::printf("round %d: Application %.1f ms, QApplication %.1f ms\n", round + 1, app.back(), qt.back());
        std::fflush(stdout);
    }
    const double appMedian = Median(app);
    const double qtMedian = Median(qt);
    std::printf("%ld posted events, %d rounds\n", events, rounds);
    std::printf("median Application::notify: %.1f ms (%.1f ns/event)\n", appMedian, appMedian * 1e6 / events);
    std::printf("median QApplication::notify: %.1f ms (%.1f ns/event)\n", qtMedian, qtMedian * 1e6 / events);
    std::printf("ratio: %.3f\n", qtMedian > 0 ? appMedian / qtMedian : 0.0);
    return 0;
}
