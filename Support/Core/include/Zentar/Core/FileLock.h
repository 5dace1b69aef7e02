#pragma once

#include <chrono>
#include <string>

namespace Zentar::Core
{

/// A blocking exclusive lock on a file, shared by every process. Waiters
/// wake as soon as the holder lets go, and the system drops the lock when
/// the holder dies. Used to line up writers of a shared file before they
/// take the file's own lock, whose back-off would otherwise make them sleep.
class FileLock
{
public:
    /// What a try to take the lock gave.
    enum class Attempt {
        Locked,
        Busy, // another holder has it (or had it until the time-out)
        Unavailable // the lock file cannot be opened or created
    };

    /// Takes nothing yet; the lock file (created if missing) is `path`.
    explicit FileLock(std::string path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    /// Waits until the lock is taken.
    ///
    /// False when the lock file cannot be opened; callers then go unguarded.
    bool Lock();
    /// Takes the lock if it is free.
    ///
    /// Does not wait.
    Attempt TryLock();
    /// Waits at most `timeout` for the holder to let go; a holder that is
    /// stopped (by a debugger, say) must not hang its waiters for good.
    Attempt TryLockFor(std::chrono::milliseconds timeout);
    /// Lets go; nothing happens when the lock is not held.
    void Unlock();
    /// Whether this object holds the lock.
    bool IsLocked() const { return m_handle >= 0; }
    /// The lock file.
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
    long long m_handle = -1;
};

/// Holds a FileLock for a scope.
class FileLockGuard
{
public:
    /// Waits for the lock on `path`; a lock file that cannot be opened leaves the scope unguarded.
    explicit FileLockGuard(const std::string& path)
        : m_lock(path)
    {
        m_lock.Lock();
    }

private:
    FileLock m_lock;
};

} // namespace Zentar::Core
