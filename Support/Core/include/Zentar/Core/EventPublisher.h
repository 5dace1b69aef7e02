#pragma once

namespace Zentar::Core
{

/// Where observers of one kind register. Observers are not owned.
template <class Observer> class EventPublisher
{
public:
    /// Registers an observer; it must outlive its registration.
    virtual void Add(Observer* observer) = 0;
    /// Unregisters an observer.
    virtual void Remove(Observer* observer) = 0;
    virtual ~EventPublisher() = default;
};

} // namespace Zentar::Core
