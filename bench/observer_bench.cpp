// Notifies ten observers through the core observer list and through a plain
// loop over a vector of the same observers under a recursive mutex. Batches
// of notifications take turns (list, loop, list, ...) and the medians of the
// batches are compared.
//
//   observer_bench [--rounds N] [--notifications N]

#include "BenchUtil.h"

#include <Zentar/Core/EventHandlerList.h>
#include <Zentar/Core/SyncExecutePolicy.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

namespace
{

using Clock = std::chrono::steady_clock;
constexpr int kObservers = 10;

struct Observer {
    virtual ~Observer() = default;
    virtual void OnChanged(const std::string& value) = 0;
};

// Does what a typical observer does: remembers the new value.
struct Remembering : Observer {
    void OnChanged(const std::string& value) override
    {
        last = value;
        ++calls;
    }
    std::string last;
    long calls = 0;
};

class PlainList
{
public:
    void Add(Observer* observer)
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        m_observers.push_back(observer);
    }
    void Notify(const std::string& value)
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        for (Observer* observer : m_observers)
            observer->OnChanged(value);
    }

private:
    std::vector<Observer*> m_observers;
    std::recursive_mutex m_mutex;
};

template <class Body> double NanosPerCall(long calls, Body body)
{
    const auto start = Clock::now();
    for (long i = 0; i < calls; ++i)
        body(i);
    return std::chrono::duration<double, std::nano>(Clock::now() - start).count() / calls;
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = int(Bench::Count(argc, argv, "--rounds", 21));
    const long notifications = Bench::Count(argc, argv, "--notifications", 200000);

    std::vector<Remembering> observers(kObservers);
    Zentar::Core::EventHandlerList<Observer, Zentar::Core::SyncExecutePolicy> list;
    PlainList plain;
    for (Remembering& observer : observers) {
        list.Add(&observer);
        plain.Add(&observer);
    }
    // Locale ids as the look-and-feel manager sends them.
    const std::string values[2] = { "en_US", "de_DE" };

    std::vector<double> listNanos;
    std::vector<double> plainNanos;
    const auto runList = [&] {
        listNanos.push_back(
            NanosPerCall(notifications, [&](long i) { list.Notify(&Observer::OnChanged, values[i & 1]); }));
    };
    const auto runPlain = [&] {
        plainNanos.push_back(NanosPerCall(notifications, [&](long i) { plain.Notify(values[i & 1]); }));
    };
    runList();
    runPlain();
    listNanos.clear();
    plainNanos.clear();
    for (int round = 0; round < rounds; ++round) {
        if (round % 2 == 0) {
            runList();
            runPlain();
        } else {
            runPlain();
            runList();
        }
    }

    const long expected = 2 * (1 + long(rounds)) * notifications;
    for (const Remembering& observer : observers) {
        if (observer.calls != expected) {
            std::fprintf(
                stderr, "an observer was called %ld times, expected %ld\n", observer.calls, expected);
            return 1;
        }
    }
    const double listMedian = Bench::Median(listNanos);
    const double plainMedian = Bench::Median(plainNanos);
    std::printf(
        "%d observers, %ld notifications per batch, %d batches each\n", kObservers, notifications, rounds);
    std::printf("median EventHandlerList::Notify: %.1f ns\n", listMedian);
    std::printf("median plain loop under recursive_mutex: %.1f ns\n", plainMedian);
    std::printf("ratio: %.3f\n", listMedian / plainMedian);
    Bench::Summary("observer list, 10 observers notified", Bench::Format("%.0f ns", listMedian),
        Bench::Format("%.0f ns", plainMedian), listMedian / plainMedian, 1.2);
    return 0;
}
