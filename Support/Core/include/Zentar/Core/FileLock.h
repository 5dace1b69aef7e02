#pragma once

#include <chrono>
#include <string>

namespace Zentar::Core
{

// A blocking exclusive lock on a file, shared by every process. Waiters
// wake as soon as the holder lets go, and the system drops the lock when
// the holder dies. Used to line up writers of a shared file before they
// take the file's own lock, whose back-off would otherwise make them sleep.
class FileLock
{
public:
    enum class Attempt {
        Locked,
        Busy, // another holder has it (or had it until the time-out)
        Unavailable // the lock file cannot be opened or created
    };

    explicit FileLock(std::string path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // False when the lock file cannot be opened; callers then go unguarded.
    bool Lock();
    // Does not wait.
    Attempt TryLock();
    // Waits at most `timeout` for the holder to let go; a holder that is
    // stopped (by a debugger, say) must not hang its waiters for good.
    Attempt TryLockFor(std::chrono::milliseconds timeout);
    void Unlock();
    bool IsLocked() const { return m_handle >= 0; }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
    long long m_handle = -1;
};

// Holds a FileLock for a scope.
class FileLockGuard
{
public:
    explicit FileLockGuard(const std::string& path)
        : m_lock(path)
    {
        m_lock.Lock();
    }

private:
    FileLock m_lock;
};

} // namespace Zentar::Core
