#include <Zentar/Core/NamedLock.h>
#include <Zentar/Core/StringConv.h>

#include <windows.h>

namespace Zentar::Core {

struct NamedLock::Impl
{
    HANDLE handle = nullptr;
};

std::string NamedLock::LockDirectory() { return {}; }

NamedLock::NamedLock(std::string name) : m_name(std::move(name)), m_impl(std::make_unique<Impl>()) {}

NamedLock::~NamedLock() { Unlock(); }

bool NamedLock::TryLock()
{
    if (m_impl->handle)
        return true;
    HANDLE handle = CreateMutexW(nullptr, FALSE, WstringFromUtf8(m_name).c_str());
    if (!handle)
        return false;
    // The mutex existing already means another process holds the name.
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(handle);
        return false;
    }
    m_impl->handle = handle;
    return true;
}

void NamedLock::Unlock()
{
    if (m_impl->handle)
        CloseHandle(m_impl->handle);
    m_impl->handle = nullptr;
}

bool NamedLock::IsLocked() const { return m_impl->handle != nullptr; }

} // namespace Zentar::Core
