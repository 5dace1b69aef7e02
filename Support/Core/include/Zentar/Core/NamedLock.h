#pragma once

#include <memory>
#include <string>

namespace Zentar::Core
{

/// A lock known by name to every process of the user. On Windows it is a
/// named mutex; elsewhere an exclusive flock on a file in the user's runtime
/// directory, which the kernel drops when the holder dies.
class NamedLock
{
public:
    /// Takes nothing yet.
    explicit NamedLock(std::string name);
    ~NamedLock();
    NamedLock(const NamedLock&) = delete;
    NamedLock& operator=(const NamedLock&) = delete;

    /// Non-blocking; true when this object holds the lock afterwards.
    bool TryLock();
    /// Lets go; nothing happens when the lock is not held.
    void Unlock();
    /// Whether this object holds the lock.
    bool IsLocked() const;
    /// The name every process knows the lock by.
    const std::string& Name() const { return m_name; }

    /// Where the lock files live (created with mode 0700 on first use).
    static std::string LockDirectory();

private:
    struct Private;
    std::string m_name;
    std::unique_ptr<Private> const d;
};

} // namespace Zentar::Core
