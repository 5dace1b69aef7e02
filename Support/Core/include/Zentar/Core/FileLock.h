#pragma once

#include <string>

namespace Zentar::Core {

// A blocking exclusive lock on a file, shared by every process. Waiters
// wake as soon as the holder lets go, and the system drops the lock when
// the holder dies. Used to line up writers of a shared file before they
// take the file's own lock, whose back-off would otherwise make them sleep.
class FileLock
{
public:
    explicit FileLock(std::string path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // False when the lock file cannot be opened; callers then go unguarded.
    bool Lock();
    void Unlock();

private:
    std::string m_path;
    long long m_handle = -1;
};

// Holds a FileLock for a scope.
class FileLockGuard
{
public:
    explicit FileLockGuard(const std::string& path) : m_lock(path) { m_lock.Lock(); }

private:
    FileLock m_lock;
};

} // namespace Zentar::Core
