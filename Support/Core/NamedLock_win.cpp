#include <Zentar/Core/NamedLock.h>
#include <Zentar/Core/StringConv.h>

#include <windows.h>

namespace Zentar::Core
{

struct NamedLock::Private {
    HANDLE handle = nullptr;
};

std::string NamedLock::LockDirectory()
{
    return {};
}

NamedLock::NamedLock(std::string name)
    : m_name(std::move(name))
    , d(std::make_unique<Private>())
{
}

NamedLock::~NamedLock()
{
    Unlock();
}

bool NamedLock::TryLock()
{
    if (d->handle)
        return true;
    HANDLE handle = CreateMutexW(nullptr, FALSE, WstringFromUtf8(m_name).c_str());
    if (!handle)
        return false;
    // The mutex existing already means another process holds the name.
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(handle);
        return false;
    }
    d->handle = handle;
    return true;
}

void NamedLock::Unlock()
{
    if (d->handle)
        CloseHandle(d->handle);
    d->handle = nullptr;
}

bool NamedLock::IsLocked() const
{
    return d->handle != nullptr;
}

} // namespace Zentar::Core
