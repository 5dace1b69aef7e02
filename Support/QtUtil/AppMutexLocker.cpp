#include <Zentar/QtUtil/AppMutexLocker.h>

#include <Zentar/Core/NamedLock.h>

namespace Zentar::Util
{

AppMutexLocker::AppMutexLocker(const std::list<std::string>& names)
{
    for (const std::string& name : names)
        m_locks.push_back(std::make_unique<Core::NamedLock>(name));
}

AppMutexLocker::~AppMutexLocker()
{
    Release();
}

bool AppMutexLocker::TryLockAppMutex()
{
    for (const auto& lock : m_locks) {
        if (!lock->TryLock()) {
            Release();
            return false;
        }
    }
    m_locked = true;
    return true;
}

void AppMutexLocker::Release()
{
    for (const auto& lock : m_locks)
        lock->Unlock();
    m_locked = false;
}

bool AppMutexLocker::IsLocked() const
{
    return m_locked;
}

} // namespace Zentar::Util
