#include <Zentar/Core/FileLock.h>

#include <cerrno>
#include <condition_variable>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <sys/file.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace Zentar::Core
{
namespace
{

int OpenLockFile(const std::string& path)
{
    return open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
}

int Flock(int fd, int operation)
{
    int rc;
    do {
        rc = flock(fd, operation);
    } while (rc != 0 && errno == EINTR);
    return rc;
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
    const int fd = OpenLockFile(m_path);
    if (fd < 0)
        return false;
    if (Flock(fd, LOCK_EX) != 0) {
        close(fd);
        return false;
    }
    m_handle = fd;
    return true;
}

FileLock::Attempt FileLock::TryLock()
{
    if (m_handle >= 0)
        return Attempt::Locked;
    const int fd = OpenLockFile(m_path);
    if (fd < 0)
        return Attempt::Unavailable;
    if (Flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const Attempt result = errno == EWOULDBLOCK ? Attempt::Busy : Attempt::Unavailable;
        close(fd);
        return result;
    }
    m_handle = fd;
    return Attempt::Locked;
}

FileLock::Attempt FileLock::TryLockFor(std::chrono::milliseconds timeout)
{
    const Attempt now = TryLock();
    if (now != Attempt::Busy || timeout.count() <= 0)
        return now;
    const int fd = OpenLockFile(m_path);
    if (fd < 0)
        return Attempt::Unavailable;

    // flock has no time-out, so a thread of its own waits on this descriptor.
    // Once the caller has given up, the thread closes the descriptor when its
    // wait ends, which lets go of the lock at once; if it never ends (the
    // holder stays stopped), the descriptor goes with the process.
    struct Wait {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
        bool abandoned = false;
        int rc = 0;
    };
    const auto wait = std::make_shared<Wait>();
    try {
        std::thread([wait, fd] {
            const int rc = Flock(fd, LOCK_EX);
            std::lock_guard<std::mutex> hold(wait->mutex);
            if (wait->abandoned) {
                close(fd);
                return;
            }
            wait->finished = true;
            wait->rc = rc;
            wait->done.notify_one();
        }).detach();
    } catch (const std::system_error&) {
        close(fd);
        return Attempt::Busy;
    }

    std::unique_lock<std::mutex> hold(wait->mutex);
    if (!wait->done.wait_for(hold, timeout, [&] { return wait->finished; })) {
        wait->abandoned = true;
        return Attempt::Busy;
    }
    if (wait->rc != 0) {
        close(fd);
        return Attempt::Unavailable;
    }
    m_handle = fd;
    return Attempt::Locked;
}

void FileLock::Unlock()
{
    if (m_handle < 0)
        return;
    close(static_cast<int>(m_handle));
    m_handle = -1;
}

} // namespace Zentar::Core
