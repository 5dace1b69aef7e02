#include <Zentar/Core/FileLock.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace Zentar::Core {

FileLock::FileLock(std::string path) : m_path(std::move(path)) {}

FileLock::~FileLock() { Unlock(); }

bool FileLock::Lock()
{
    if (m_handle >= 0)
        return true;
    const int fd = open(m_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    int rc;
    do {
        rc = flock(fd, LOCK_EX);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        close(fd);
        return false;
    }
    m_handle = fd;
    return true;
}

void FileLock::Unlock()
{
    if (m_handle < 0)
        return;
    close(static_cast<int>(m_handle));
    m_handle = -1;
}

} // namespace Zentar::Core
