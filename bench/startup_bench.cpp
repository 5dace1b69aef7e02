// Start-up of a small product on the application object (customization,
// settings stores, a theme of two packs, one language, one main window)
// against a bare QApplication process showing the same window, and against a
// QApplication that gives the window the same look by hand (the composed
// stylesheet read from a file, the translation installed). Every launch is a
// whole process, timed from its start to its exit; the child also says when
// its window was first painted. Launches of the three kinds take turns, under
// Xvfb and offscreen; then batches of simultaneous launches under Xvfb.
//
//   startup_bench [--rounds N] [--parallel N] [--batches N]
//   startup_bench --child app|qt|styled --launched-at NS     (one launch)

#include "BenchProduct.h"
#include "BenchUtil.h"
#include "BenchWindow.h"
#include "ChildHome.h"

#include <Zentar/App/Application.h>
#include <Zentar/Settings/SettingsManager.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>

#include <cstring>
#include <ctime>
#include <memory>

namespace
{

constexpr int kWidgets = 40;
const char* const kKinds[] = { "app", "qt", "styled" };
constexpr int kKindCount = 3;
const char* const kLanguage = "de_DE";
const std::list<std::string> kModules { "base", "widgets", "bench" };

QString StyleSheetFile()
{
    return qEnvironmentVariable("HOME") + QStringLiteral("/bench-look.qss");
}

int64_t MonotonicNanos()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// Prints the time of the window's first paint and quits.
class FirstPaint : public QObject
{
public:
    explicit FirstPaint(int64_t launchedAt)
        : m_launchedAt(launchedAt)
    {
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            std::printf("first-paint %.3f\n", double(MonotonicNanos() - m_launchedAt) / 1e6);
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    int64_t m_launchedAt;
    bool m_seen = false;
};

int RunChild(const char* kind, int64_t launchedAt, int argc, char** argv)
{
    FirstPaint firstPaint(launchedAt);
    if (std::strcmp(kind, "app") != 0) {
        QApplication app(argc, argv);
        QTranslator translator;
        if (std::strcmp(kind, "styled") == 0) {
            QFile styleSheet(StyleSheetFile());
            if (!styleSheet.open(QIODevice::ReadOnly)
                || !translator.load(
                    QStringLiteral(BENCH_STARTUP_ROOT "/resources/locales/de_DE/bench_de_DE.qm")))
                return 2;
            QCoreApplication::installTranslator(&translator);
            app.setStyleSheet(QString::fromUtf8(styleSheet.readAll()));
        }
        BenchWindow window(kWidgets);
        window.installEventFilter(&firstPaint);
        window.show();
        return app.exec();
    }

    Zentar::App::Application app(argc, argv);
    app.SetCustomizationManager(std::make_shared<BenchCustomization>(), true);
    app.SetSettingsManager(std::make_shared<Zentar::App::SettingsManager>(
        QStringLiteral("ZentarBench"), QStringLiteral("Zentar")));
    app.SetProductSettingsManager(std::make_shared<Zentar::App::SettingsManager>(
        QStringLiteral("ZentarBenchProduct"), QStringLiteral("Zentar")));
    auto manager
        = std::make_shared<Zentar::App::LookAndFeelManager>(BENCH_STARTUP_ROOT, "theme.json", kModules);
    StyleSheetSetter setter(*manager);
    manager->Initialize(kLanguage, "Plain");
    app.SetLookAndFeel(manager);
    BenchWindow window(kWidgets);
    app.SetMainWindow(&window);
    bool started = false;
    QObject::connect(&app, &Zentar::App::Application::ApplicationStarted, [&started] { started = true; });
    app.Start();
    // A launch that silently lost its language or theme would look fast.
    if (!started || window.SampleText() != QStringLiteral("Öffnen") || app.styleSheet().isEmpty()) {
        std::fprintf(stderr, "start-up incomplete: started %d, text [%s], stylesheet %d chars\n", started,
            qPrintable(window.SampleText()), int(app.styleSheet().size()));
        return 2;
    }
    window.installEventFilter(&firstPaint);
    window.show();
    return app.exec();
}

// Launches to exit and to first paint, in ms.
struct Launches {
    std::vector<double> total;
    std::vector<double> firstPaint;
};

// Starts `count` children at once; false when one of them failed.
bool LaunchTogether(const char* kind, int count, const QProcessEnvironment& env, Launches& out)
{
    std::vector<std::unique_ptr<QProcess>> children;
    std::vector<QElapsedTimer> timers(count);
    int running = count;
    bool ok = true;
    QEventLoop loop;
    for (int i = 0; i < count; ++i) {
        children.push_back(std::make_unique<QProcess>());
        QProcess* child = children.back().get();
        child->setProcessEnvironment(env);
        QObject::connect(child, qOverload<int, QProcess::ExitStatus>(&QProcess::finished),
            [&, i, child](int code, QProcess::ExitStatus status) {
                const double total = double(timers[i].nsecsElapsed()) / 1e6;
                const QByteArray output = child->readAllStandardOutput();
                const int at = output.indexOf("first-paint ");
                if (code != 0 || status != QProcess::NormalExit || at < 0) {
                    std::fprintf(stderr, "%s launch failed (%d): %s\n", kind, code,
                        child->readAllStandardError().constData());
                    ok = false;
                } else {
                    out.total.push_back(total);
                    out.firstPaint.push_back(output.mid(at + 12).trimmed().toDouble());
                }
                if (--running == 0)
                    loop.quit();
            });
    }
    for (int i = 0; i < count; ++i) {
        timers[i].start();
        children[i]->start(QCoreApplication::applicationFilePath(),
            { QStringLiteral("--child"), QString::fromLatin1(kind), QStringLiteral("--launched-at"),
                QString::number(MonotonicNanos()) });
    }
    QTimer::singleShot(120000, &loop, [&] {
        ok = false;
        loop.quit();
    });
    loop.exec();
    return ok;
}

// Takes turns over the kinds, `count` launches at once, `rounds` times.
bool TakeTurns(int rounds, int count, const QProcessEnvironment& env, Launches (&out)[kKindCount])
{
    for (int round = 0; round < rounds; ++round)
        for (int k = 0; k < kKindCount; ++k) {
            const int kind = (round + k) % kKindCount;
            if (!LaunchTogether(kKinds[kind], count, env, out[kind]))
                return false;
        }
    return true;
}

// library[i] / baseline[i]: the launches of one round (or one batch) took
// turns, so each pair saw the same machine.
std::vector<double> RoundRatios(const std::vector<double>& library, const std::vector<double>& baseline)
{
    std::vector<double> ratios;
    for (size_t i = 0; i < std::min(library.size(), baseline.size()); ++i)
        ratios.push_back(library[i] / baseline[i]);
    return ratios;
}

void Report(const std::string& what, const std::vector<double>& library, const std::vector<double>& bare,
    const std::vector<double>& styled, double bareGoal, double styledGoal)
{
    const double l = Bench::Median(library);
    const double b = Bench::Median(bare);
    const double s = Bench::Median(styled);
    std::printf("%s: library %.1f ms, bare %.1f ms, same look by hand %.1f ms\n", what.c_str(), l, b, s);
    Bench::Summary(what + ", vs bare QApplication", Bench::Format("%.1f ms", l), Bench::Format("%.1f ms", b),
        l / b, bareGoal, false, Bench::Spread(RoundRatios(library, bare)));
    Bench::Summary(what + ", vs QApplication with the same look", Bench::Format("%.1f ms", l),
        Bench::Format("%.1f ms", s), l / s, styledGoal, false, Bench::Spread(RoundRatios(library, styled)));
}

// The p99 of each batch of `perBatch` simultaneous launches.
std::vector<double> BatchP99(const std::vector<double>& launches, int perBatch)
{
    std::vector<double> p99;
    for (size_t at = 0; at + size_t(perBatch) <= launches.size(); at += size_t(perBatch))
        p99.push_back(Bench::Percentile(
            std::vector<double>(launches.begin() + long(at), launches.begin() + long(at) + perBatch), 99));
    return p99;
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = int(Bench::Count(argc, argv, "--rounds", 20));
    const int parallel = int(Bench::Count(argc, argv, "--parallel", 8));
    const int batches = int(Bench::Count(argc, argv, "--batches", 5));
    const char* child = Bench::Option(argc, argv, "--child");
    const char* launched = Bench::Option(argc, argv, "--launched-at");
    const int64_t launchedAt = launched ? std::atoll(launched) : 0;
    if (child)
        return RunChild(child, launchedAt, argc, argv);

    QCoreApplication parent(argc, argv);
    QTemporaryDir home;
    QProcessEnvironment env = Bench::ChildEnvironment(home.path());
    {
        // The stylesheet the product composes, for the launches that apply it by hand.
        Zentar::App::LookAndFeelManager manager(BENCH_STARTUP_ROOT, "theme.json", kModules);
        manager.Initialize(kLanguage, "Plain");
        QFile file(home.path() + QStringLiteral("/bench-look.qss"));
        if (!file.open(QIODevice::WriteOnly) || file.write(manager.GetUnitedStylesheet().c_str()) <= 0)
            return 1;
    }

    // A display server of our own; it picks a free display and names it.
    QProcess xvfb;
    xvfb.start(QStringLiteral("Xvfb"),
        { QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
            QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"),
            QStringLiteral("1280x1024x24") });
    QByteArray display;
    while (!display.endsWith('\n') && xvfb.waitForReadyRead(10000))
        display += xvfb.readAllStandardOutput();
    if (display.trimmed().isEmpty()) {
        std::fprintf(stderr, "Xvfb did not start: %s\n", xvfb.readAllStandardError().constData());
        return 1;
    }
    QProcessEnvironment xcb = env;
    xcb.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    xcb.insert(QStringLiteral("DISPLAY"), QLatin1Char(':') + QString::fromLatin1(display.trimmed()));
    QProcessEnvironment offscreen = env;
    offscreen.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));

    // Index 0 is the library, 1 the bare process, 2 the same look by hand.
    Launches warmUp[kKindCount];
    Launches single[kKindCount];
    Launches singleOffscreen[kKindCount];
    Launches together[kKindCount];
    const bool ok = TakeTurns(1, 1, xcb, warmUp) && TakeTurns(rounds, 1, xcb, single)
        && TakeTurns(rounds, 1, offscreen, singleOffscreen) && TakeTurns(batches, parallel, xcb, together);
    xvfb.terminate();
    xvfb.waitForFinished(5000);
    if (!ok)
        return 1;

    std::printf("%d launches of each kind alone, %d batches of %d simultaneous launches\n", rounds, batches,
        parallel);
    Report("start-up to exit, Xvfb", single[0].total, single[1].total, single[2].total, 1.10, 1.03);
    Report("start-up to first paint, Xvfb", single[0].firstPaint, single[1].firstPaint, single[2].firstPaint,
        0, 0);
    Report("start-up to exit, offscreen", singleOffscreen[0].total, singleOffscreen[1].total,
        singleOffscreen[2].total, 0, 1.03);
    const std::string what = std::to_string(parallel) + " simultaneous launches, Xvfb";
    const char* const names[] = { "library", "bare QApplication", "same look by hand" };
    double p99[kKindCount];
    std::vector<double> batchP99[kKindCount];
    for (int k = 0; k < kKindCount; ++k) {
        p99[k] = Bench::Percentile(together[k].total, 99);
        batchP99[k] = BatchP99(together[k].total, parallel);
    }
    Bench::Summary(what + ", p99, library vs bare QApplication", Bench::Format("%.1f ms", p99[0]),
        Bench::Format("%.1f ms", p99[1]), p99[0] / p99[1], 1.05, false,
        Bench::Spread(RoundRatios(batchP99[0], batchP99[1])));
    Bench::Summary(what + ", p99, library vs the same look by hand", Bench::Format("%.1f ms", p99[0]),
        Bench::Format("%.1f ms", p99[2]), p99[0] / p99[2], 0, false,
        Bench::Spread(RoundRatios(batchP99[0], batchP99[2])));
    for (int k = 0; k < kKindCount; ++k) {
        const double alone = Bench::Median(single[k].total);
        Bench::Summary(what + ", p99 / median alone, " + names[k], Bench::Format("%.1f ms", p99[k]),
            Bench::Format("%.1f ms", alone), p99[k] / alone, 0);
    }
    return 0;
}
