#pragma once

#include <Zentar/Core/EventPublisher.h>

#include <boost/container/small_vector.hpp>

#include <algorithm>
#include <cstddef>
#include <functional>
#include <mutex>
#include <type_traits>
#include <vector>

namespace Zentar::Core
{

/// A list of observers that can be notified. Add and Remove are safe from any
/// thread, also while a notification runs. A notification calls the observers
/// registered when it started, in registration order, through the execute
/// policy; observers added meanwhile are first called by the next one. Both
/// locks are recursive, so a callback may add, remove or notify again on the
/// same thread. An exception thrown by an observer ends the notification.
///
/// An observer removed while a notification runs may still be called by it:
/// never destroy an observer that a running notification may reach.
template <class Observer, class ExecutePolicy>
class EventHandlerList : public virtual EventPublisher<Observer>
{
public:
    EventHandlerList() = default;
    EventHandlerList(const EventHandlerList&) = delete;
    EventHandlerList& operator=(const EventHandlerList&) = delete;

    /// Null and already registered observers are ignored.
    void Add(Observer* observer) override
    {
        if (!observer)
            return;
        std::lock_guard<std::recursive_mutex> lock(m_listMutex);
        if (std::find(m_observers.begin(), m_observers.end(), observer) == m_observers.end())
            m_observers.push_back(observer);
    }

    /// Absent observers are no error.
    void Remove(Observer* observer) override
    {
        if (!observer)
            return;
        std::lock_guard<std::recursive_mutex> lock(m_listMutex);
        const auto it = std::find(m_observers.begin(), m_observers.end(), observer);
        if (it != m_observers.end())
            m_observers.erase(it);
    }

    /// Calls (observer->*method)(args...) for each observer, copying the
    /// arguments just before each call: when an observer changes the state the
    /// arguments refer to (a nested switch), the observers after it are told
    /// the new state, not a stale one.
    template <class... Params, class... Args>
    void Notify(void (Observer::*method)(Params...), const Args&... args)
    {
        // Held inline: a notification reaches few observers and should not
        // allocate.
        boost::container::small_vector<Observer*, 16> snapshot;
        {
            std::lock_guard<std::recursive_mutex> lock(m_listMutex);
            snapshot.assign(m_observers.begin(), m_observers.end());
        }
        std::lock_guard<std::recursive_mutex> lock(m_executeMutex);
        for (Observer* observer : snapshot)
            m_policy.Execute([&] { (observer->*method)(std::decay_t<Args>(args)...); });
    }

    /// The number of observers registered.
    std::size_t Count() const
    {
        std::lock_guard<std::recursive_mutex> lock(m_listMutex);
        return m_observers.size();
    }

    /// Whether the observer is registered.
    bool Contains(const Observer* observer) const
    {
        std::lock_guard<std::recursive_mutex> lock(m_listMutex);
        return std::find(m_observers.begin(), m_observers.end(), observer) != m_observers.end();
    }

private:
    std::vector<Observer*> m_observers;
    mutable std::recursive_mutex m_listMutex;
    std::recursive_mutex m_executeMutex;
    ExecutePolicy m_policy;
};

} // namespace Zentar::Core
