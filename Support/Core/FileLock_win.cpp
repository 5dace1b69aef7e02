#include <Zentar/Core/FileLock.h>
#include <Zentar/Core/StringConv.h>

#include <windows.h>

namespace Zentar::Core
{
namespace
{

HANDLE OpenLockFile(const std::string& path, DWORD flags)
{
    return CreateFileW(WstringFromUtf8(path).c_str(), GENERIC_READ | GENERIC_WRITE,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS, flags, nullptr);
}

} // namespace

FileLock::FileLock(std::string path)
    : m_path(std::move(path))
{
}

FileLock::~FileLock()
{
    Unlock();
}

bool FileLock::Lock()
{
    if (m_handle >= 0)
        return true;
    HANDLE file = OpenLockFile(m_path, FILE_ATTRIBUTE_NORMAL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    OVERLAPPED whole {};
    if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole)) {
        CloseHandle(file);
        return false;
    }
    m_handle = reinterpret_cast<long long>(file);
    return true;
}

FileLock::Attempt FileLock::TryLock()
{
    return TryLockFor(std::chrono::milliseconds(0));
}

FileLock::Attempt FileLock::TryLockFor(std::chrono::milliseconds timeout)
{
    if (m_handle >= 0)
        return Attempt::Locked;
    // Overlapped, so that the wait can be bounded and then cancelled.
    HANDLE file = OpenLockFile(m_path, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED);
    if (file == INVALID_HANDLE_VALUE)
        return Attempt::Unavailable;
    OVERLAPPED whole {};
    whole.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!whole.hEvent) {
        CloseHandle(file);
        return Attempt::Unavailable;
    }
    const DWORD flags = LOCKFILE_EXCLUSIVE_LOCK | (timeout.count() <= 0 ? LOCKFILE_FAIL_IMMEDIATELY : 0);
    BOOL locked = LockFileEx(file, flags, 0, MAXDWORD, MAXDWORD, &whole);
    DWORD error = locked ? ERROR_SUCCESS : GetLastError();
    if (!locked && error == ERROR_IO_PENDING) {
        if (WaitForSingleObject(whole.hEvent, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0)
            CancelIoEx(file, &whole);
        // Waits for the cancellation; the lock may still have been granted just before it.
        DWORD ignored = 0;
        locked = GetOverlappedResult(file, &whole, &ignored, TRUE);
        error = locked ? ERROR_SUCCESS : GetLastError();
    }
    CloseHandle(whole.hEvent);
    if (!locked) {
        CloseHandle(file);
        return error == ERROR_LOCK_VIOLATION || error == ERROR_OPERATION_ABORTED ? Attempt::Busy
                                                                                 : Attempt::Unavailable;
    }
    m_handle = reinterpret_cast<long long>(file);
    return Attempt::Locked;
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
