#include <Zentar/Core/EventHandlerList.h>
#include <Zentar/Core/SyncExecutePolicy.h>

#include <QtTest>

#include <functional>
#include <future>
#include <stdexcept>
#include <string>
#include <vector>

struct Observer {
    virtual ~Observer() = default;
    virtual void OnChanged(const std::string& value) = 0;
};

using List = Zentar::Core::EventHandlerList<Observer, Zentar::Core::SyncExecutePolicy>;
using Journal = std::vector<std::string>;
Journal g_journal;

// Writes "<name>:<value>" into the journal, then runs its reaction.
struct Recorder : Observer {
    explicit Recorder(std::string n)
        : name(std::move(n))
    {
    }
    void OnChanged(const std::string& value) override
    {
        g_journal.push_back(name + ":" + value);
        if (reaction)
            reaction();
    }
    std::string name;
    std::function<void()> reaction;
};

// Notifies, then hands back and clears what the observers wrote.
Journal Notify(List& list, const char* value)
{
    g_journal.clear();
    list.Notify(&Observer::OnChanged, std::string(value));
    return std::move(g_journal);
}

class TestEventHandlerList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void registrationOrderAndDuplicates()
    {
        Recorder a("a"), b("b"), c("c");
        List list;
        for (Recorder* r : { &b, &a, &b, static_cast<Recorder*>(nullptr), &c })
            list.Add(r); // b again keeps its first place; null is ignored
        QCOMPARE(list.Count(), size_t(3));
        QCOMPARE(Notify(list, "1"), Journal({ "b:1", "a:1", "c:1" }));
        // Registered twice, removed once: gone; removing the absent is no error.
        list.Remove(&b);
        list.Remove(nullptr);
        list.Remove(&b);
        QCOMPARE(Notify(list, "2"), Journal({ "a:2", "c:2" }));
    }

    void changesInsideCallbacks()
    {
        Recorder a("a"), b("b"), c("c"), late("late");
        List list;
        a.reaction = [&] {
            list.Remove(&a);
            list.Remove(&c);
            list.Add(&late);
        };
        for (Recorder* r : { &a, &b, &c })
            list.Add(r);
        // The pass calls whom it started with: c although removed, not the
        // one added meanwhile.
        QCOMPARE(Notify(list, "1"), Journal({ "a:1", "b:1", "c:1" }));
        QCOMPARE(Notify(list, "2"), Journal({ "b:2", "late:2" }));
    }

    void throwingObserverEndsThePass()
    {
        Recorder a("a"), thrower("t"), c("c");
        thrower.reaction = [] { throw std::runtime_error("observer failed"); };
        List list;
        for (Recorder* r : { &a, &thrower, &c })
            list.Add(r);
        g_journal.clear();
        QVERIFY_EXCEPTION_THROWN(list.Notify(&Observer::OnChanged, std::string("1")), std::runtime_error);
        QCOMPARE(g_journal, Journal({ "a:1", "t:1" }));
        // The locks were released: the list is usable again.
        list.Remove(&thrower);
        QCOMPARE(Notify(list, "2"), Journal({ "a:2", "c:2" }));
    }

    void registrationFromAnotherThreadDuringNotification()
    {
        Recorder blocker("blocker"), joined("joined");
        List list;
        // The callback waits for another thread to register and unregister;
        // that must not wait for the notification to end.
        blocker.reaction = [&] {
            auto other = std::async(std::launch::async, [&] {
                list.Add(&joined);
                list.Remove(&blocker);
            });
            QVERIFY2(other.wait_for(std::chrono::seconds(10)) == std::future_status::ready,
                "registration blocked by a running notification");
        };
        list.Add(&blocker);
        QCOMPARE(Notify(list, "1"), Journal({ "blocker:1" }));
        QCOMPARE(Notify(list, "2"), Journal({ "joined:2" }));
    }
};

QTEST_GUILESS_MAIN(TestEventHandlerList)
#include "tst_eventhandlerlist.moc"
