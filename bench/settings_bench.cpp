// Writes to the settings store: a Set of the value the file already holds
// (what the application does with its three start-up values at each start)
// against a Set that changes the value, which replaces and syncs the file.
// Both tell the observers. The store lives in a temporary configuration
// folder of its own.
//
//   settings_bench [--rounds N]

#include "BenchUtil.h"
#include "ChildHome.h"

#include <Zentar/Settings/SettingsManager.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

namespace
{

struct Counter : Zentar::App::ISettingsManagerObserver {
    void OnSettingChanged(Zentar::App::ISettingsManager&, const std::string&) override { ++told; }
    int told = 0;
};

// Microseconds of each of `rounds` calls of `set(i)`.
template <class Set> std::vector<double> Time(int rounds, Set set)
{
    std::vector<double> times;
    QElapsedTimer timer;
    for (int i = 0; i < rounds; ++i) {
        timer.start();
        set(i);
        times.push_back(double(timer.nsecsElapsed()) / 1000.0);
    }
    return times;
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = int(Bench::Count(argc, argv, "--rounds", 300));

    QTemporaryDir home;
    Bench::UseHome(home.path());
    QCoreApplication app(argc, argv);

    Zentar::App::SettingsManager store(QStringLiteral("Bench"), QStringLiteral("ZentarBench"));
    // A product store holds more than the three values.
    for (int i = 0; i < 50; ++i)
        store.SetString("other/key" + std::to_string(i), std::string(40, 'v'));
    Counter counter;
    store.RegisterObserver(&counter);

    const std::string path = home.path().toStdString() + "/Product/";
    const auto unchanged = Time(rounds, [&](int) { store.SetString("Path", path); });
    const auto changed = Time(rounds, [&](int i) { store.SetString("Path", path + std::to_string(i)); });
    if (counter.told != 2 * rounds) {
        std::fprintf(stderr, "observers were told %d times, expected %d\n", counter.told, 2 * rounds);
        return 1;
    }

    const double same = Bench::Median(unchanged);
    const double other = Bench::Median(changed);
    std::printf(
        "Set of an unchanged value: median %.1f us, p95 %.1f us\n", same, Bench::Percentile(unchanged, 95));
    std::printf(
        "Set of a changed value:    median %.1f us, p95 %.1f us\n", other, Bench::Percentile(changed, 95));
    const bool met = Bench::Summary("settings Set, unchanged vs changed value (us)",
        Bench::Format("%.1f", same), Bench::Format("%.1f", other), other > 0 ? same / other : 0, 0.25);
    return met ? 0 : 1;
}
