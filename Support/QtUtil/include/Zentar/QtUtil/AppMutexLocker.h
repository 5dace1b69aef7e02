#pragma once

#include <list>
#include <memory>
#include <string>
#include <vector>

namespace Zentar::Core
{
class NamedLock;
}

namespace Zentar::Util
{

/// Holds a set of named locks that every process of the user sees (an
/// installer or application running), all of them or none.
class AppMutexLocker
{
public:
    /// Takes nothing yet.
    explicit AppMutexLocker(const std::list<std::string>& names);
    ~AppMutexLocker();
    AppMutexLocker(const AppMutexLocker&) = delete;
    AppMutexLocker& operator=(const AppMutexLocker&) = delete;

    /// Non-blocking. True when every name is held afterwards (an empty list
    /// is trivially held); on failure none is held.
    bool TryLockAppMutex();
    /// Lets go of every lock held; nothing happens when none is.
    void Release();
    /// Whether every lock is held.
    bool IsLocked() const;

private:
    std::vector<std::unique_ptr<Core::NamedLock>> m_locks;
    bool m_locked = false;
};

} // namespace Zentar::Util
