#include <Zentar/Core/FileLock.h>
#include <Zentar/Core/StringConv.h>

#include <windows.h>

namespace Zentar::Core {

FileLock::FileLock(std::string path) : m_path(std::move(path)) {}

FileLock::~FileLock() { Unlock(); }

bool FileLock::Lock()
{
    if (m_handle >= 0)
        return true;
    HANDLE file = CreateFileW(WstringFromUtf8(m_path).c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    OVERLAPPED whole{};
    if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole)) {
        CloseHandle(file);
        return false;
    }
    m_handle = reinterpret_cast<long long>(file);
    return true;
}

void FileLock::Unlock()
{
    if (m_handle < 0)
        return;
    // Closing the handle releases the lock.
    CloseHandle(reinterpret_cast<HANDLE>(m_handle));
    m_handle = -1;
}

} // namespace Zentar::Core
