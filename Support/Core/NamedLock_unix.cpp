#include <Zentar/Core/NamedLock.h>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Zentar::Core
{

struct NamedLock::Private {
    int fd = -1;
};

std::string NamedLock::LockDirectory()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string base;
    if (runtime && *runtime) {
        base = runtime;
    } else {
        const char* tmp = std::getenv("TMPDIR");
        base = (tmp && *tmp) ? tmp : "/tmp";
    }
    std::string dir = base + "/zentar-locks-" + std::to_string(getuid());
    if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST)
        return base;
    return dir;
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
    if (d->fd >= 0)
        return true;
    // Names are opaque to callers; keep them usable as one file name.
    std::string fileName = m_name;
    for (char& c : fileName)
        if (c == '/' || c == '\\')
            c = '_';
    const std::string path = LockDirectory() + "/" + fileName + ".lock";
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return false;
    }
    d->fd = fd;
    return true;
}

void NamedLock::Unlock()
{
    if (d->fd < 0)
        return;
    // The file stays: removing it would race with another process that has
    // just opened it and is about to lock it.
    close(d->fd);
    d->fd = -1;
}

bool NamedLock::IsLocked() const
{
    return d->fd >= 0;
}

} // namespace Zentar::Core
