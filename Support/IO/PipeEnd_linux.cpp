#include "PipeEnd.h"

#include <Zentar/IO/IOException.h>
#include <Zentar/IO/NamedPipe.h>

#include <glog/logging.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <strings.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace Zentar::Core
{
namespace
{

using Clock = std::chrono::steady_clock;

// A FIFO does not wake a poller when its writer goes away before the reader
// came, so waits are cut into slices and the peer re-checked after each.
constexpr int kSliceMs = 100;
// Pause between attempts while the other side is not there yet.
constexpr int kRetryMs = 10;
// Large enough for a 1 MiB message to pass in one write when the system allows it.
constexpr int kPipeBufferSize = 1 << 20;
constexpr size_t kMaxLeafLength = 200;

std::string ErrorText(int error)
{
    return std::error_code(error, std::generic_category()).message();
}

[[noreturn]] void Fail(const std::string& message)
{
    ZENTAR_THROW(IOException, message);
}

std::string RuntimeBase()
{
    for (const char* variable : { "XDG_RUNTIME_DIR", "TMPDIR" }) {
        const char* value = std::getenv(variable);
        if (value && *value)
            return value;
    }
    return "/tmp";
}

std::string PipeDirectory()
{
    return RuntimeBase() + "/zentar-pipes-" + std::to_string(getuid());
}

std::string EnsurePipeDirectory()
{
    const std::string dir = PipeDirectory();
    if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST)
        Fail("cannot create the pipe directory " + dir + ": " + ErrorText(errno));
    struct stat st {
    };
    if (lstat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid())
        Fail("the pipe directory " + dir + " is not a directory of this user");
    if ((st.st_mode & 077) != 0 && chmod(dir.c_str(), 0700) != 0)
        Fail("cannot make the pipe directory " + dir + " private: " + ErrorText(errno));
    return dir;
}

// "\\.\pipe\Name" -> "Name"; separators left in the rest cannot reach
// another directory.
std::string LeafOf(const std::string& name)
{
    std::string leaf = name;
    for (const char* prefix : { "\\\\.\\pipe\\", "//./pipe/" }) {
        const size_t length = std::strlen(prefix);
        if (leaf.size() >= length && strncasecmp(leaf.c_str(), prefix, length) == 0) {
            leaf.erase(0, length);
            break;
        }
    }
    std::replace(leaf.begin(), leaf.end(), '/', '_');
    std::replace(leaf.begin(), leaf.end(), '\\', '_');
    if (leaf.empty() || leaf == "." || leaf == ".." || leaf.size() > kMaxLeafLength
        || leaf.find('\0') != std::string::npos)
        return {};
    return leaf;
}

int RemainingMs(Clock::time_point end)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
    return left <= 0 ? 0 : static_cast<int>(std::min<long long>(left, 1 << 30));
}

short WaitFor(int fd, short events, int timeoutMs)
{
    pollfd p { fd, events, 0 };
    while (poll(&p, 1, timeoutMs) < 0) {
        if (errno != EINTR)
            return POLLERR;
    }
    return p.revents;
}

void Pause(int ms)
{
    poll(nullptr, 0, ms);
}

bool IsFifo(int fd)
{
    struct stat st {
    };
    return fstat(fd, &st) == 0 && S_ISFIFO(st.st_mode);
}

// Writing to a pipe without reader raises SIGPIPE, which would end the
// process; it is blocked on this thread for the write, and what a failed
// write raised is taken before the mask is restored.
class SigPipeGuard
{
public:
    SigPipeGuard()
    {
        sigemptyset(&m_set);
        sigaddset(&m_set, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &m_set, &m_previous);
    }
    ~SigPipeGuard() { pthread_sigmask(SIG_SETMASK, &m_previous, nullptr); }

    void Swallow()
    {
        if (sigismember(&m_previous, SIGPIPE) == 1)
            return;
        const timespec zero { 0, 0 };
        sigtimedwait(&m_set, nullptr, &zero);
    }

private:
    sigset_t m_set;
    sigset_t m_previous;
};

void SetBlocking(int fd, bool blocking)
{
    const int flags = fcntl(fd, F_GETFL);
    if (flags >= 0)
        fcntl(fd, F_SETFL, blocking ? (flags & ~O_NONBLOCK) : (flags | O_NONBLOCK));
}

} // namespace

std::string NamedPipePath(const std::string& name)
{
    const std::string leaf = LeafOf(name);
    return leaf.empty() ? std::string() : PipeDirectory() + "/" + leaf;
}

bool NamedPipeExists(const std::string& name)
{
    const std::string path = NamedPipePath(name);
    struct stat st {
    };
    return !path.empty() && lstat(path.c_str(), &st) == 0;
}

bool RemoveNamedPipe(const std::string& name)
{
    const std::string path = NamedPipePath(name);
    struct stat st {
    };
    return !path.empty() && lstat(path.c_str(), &st) == 0 && S_ISFIFO(st.st_mode)
        && unlink(path.c_str()) == 0;
}

namespace Detail
{

struct PipeEnd::Private {
    std::string name;
    std::string path;
    Direction direction = Direction::Read;
    bool creator = false;
    int fd = -1;
    dev_t dev = 0;
    ino_t ino = 0;
    // The peer has been seen at the other end; from then on its absence
    // means it has gone.
    bool connected = false;
    // Until when the peer may take to connect.
    Clock::time_point deadline;
    int timeoutMs = 0;
    // Bytes taken while looking for data, handed out before new ones.
    std::string pushback;

    void Remember(int descriptor)
    {
        struct stat st {
        };
        fstat(descriptor, &st);
        dev = st.st_dev;
        ino = st.st_ino;
    }

    bool PathIsOurs() const
    {
        struct stat st {
        };
        return lstat(path.c_str(), &st) == 0 && st.st_dev == dev && st.st_ino == ino;
    }

    // Only our own FIFO: the name may already belong to a newer pipe.
    void UnlinkIfOurs() const
    {
        if (PathIsOurs())
            unlink(path.c_str());
    }

    void Create();
    void Open();
    void PeerMissing(const std::function<bool()>& peerAlive);
    // For a peer that has not connected: true while it may still come.
    bool PeerMayCome(const std::function<bool()>& peerAlive) const;
    [[noreturn]] void FailNoPeer(const std::function<bool()>& peerAlive) const;
};

void PipeEnd::Private::Create()
{
    if (mkfifo(path.c_str(), 0600) != 0) {
        const int error = errno;
        if (error == EEXIST)
            Fail("the pipe name " + name + " is already in use");
        Fail("cannot create the pipe " + name + ": " + ErrorText(error));
    }
    int error = 0;
    if (direction == Direction::Read) {
        fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        error = errno;
    } else {
        // A FIFO opens for writing only while it has a reader; lend it one
        // for the moment, so the maker never waits for its peer here.
        const int lent = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        fd = lent < 0 ? -1 : open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        error = errno;
        if (lent >= 0)
            close(lent);
    }
    if (fd < 0) {
        unlink(path.c_str());
        Fail("cannot open the pipe " + name + ": " + ErrorText(error));
    }
    Remember(fd);
    fcntl(fd, F_SETPIPE_SZ, kPipeBufferSize);
    // Opened without blocking; used blocking: a blocking read or write
    // returns at once when the other end goes, on every kernel.
    SetBlocking(fd, true);
}

void PipeEnd::Private::Open()
{
    for (;;) {
        int error = 0;
        if (direction == Direction::Read) {
            fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
            error = fd < 0 ? errno : 0;
            if (fd >= 0 && IsFifo(fd)) {
                // An empty FIFO reads as end of file while it has no writer
                // and as "try again" while it has one.
                char probe[4096];
                ssize_t n;
                while ((n = read(fd, probe, sizeof probe)) < 0 && errno == EINTR) { }
                if (n > 0) {
                    pushback.assign(probe, static_cast<size_t>(n));
                    connected = true;
                } else if (n < 0 && errno == EAGAIN) {
                    connected = true;
                } else {
                    error = n == 0 ? ENXIO : errno;
                    close(fd);
                    fd = -1;
                }
            }
        } else {
            fd = open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            error = fd < 0 ? errno : 0;
            connected = fd >= 0;
        }
        if (fd >= 0 && !IsFifo(fd)) {
            close(fd);
            fd = -1;
            Fail("the pipe " + name + " is not a pipe");
        }
        if (connected) {
            Remember(fd);
            SetBlocking(fd, true);
            // Both ends are open now; the name has served its purpose.
            UnlinkIfOurs();
            return;
        }
        if (error != ENOENT && error != ENXIO && error != EINTR)
            Fail("cannot open the pipe " + name + ": " + ErrorText(error));
        if (Clock::now() >= deadline) {
            if (error == ENXIO) {
                // Its maker opens its end right after making it; a pipe
                // still without it after the whole wait has been abandoned.
                struct stat st {
                };
                if (lstat(path.c_str(), &st) == 0 && S_ISFIFO(st.st_mode) && unlink(path.c_str()) == 0)
                    LOG(WARNING) << "Removed the abandoned pipe " << name;
                Fail("no process holds the other end of the pipe " + name);
            }
            Fail("the pipe " + name + " does not exist");
        }
        Pause(std::min(kRetryMs, RemainingMs(deadline)));
    }
}

bool PipeEnd::Private::PeerMayCome(const std::function<bool()>& peerAlive) const
{
    return peerAlive ? peerAlive() : Clock::now() < deadline;
}

void PipeEnd::Private::FailNoPeer(const std::function<bool()>& peerAlive) const
{
    if (peerAlive)
        Fail("the process meant to connect to the pipe " + name + " ended without connecting");
    Fail("no process connected to the pipe " + name + " within " + std::to_string(timeoutMs) + " ms");
}

// No writer at the moment: decide whether it has gone or is yet to come.
void PipeEnd::Private::PeerMissing(const std::function<bool()>& peerAlive)
{
    if (!connected) {
        // The opener removes the name when it connects, and a writer that
        // came and went leaves a hang-up behind.
        if (!PathIsOurs() || (WaitFor(fd, 0, 0) & POLLHUP))
            connected = true;
        else if (!PeerMayCome(peerAlive))
            FailNoPeer(peerAlive);
        else
            return;
    }
    Fail("the other end of the pipe " + name + " has closed");
}

} // namespace Detail

using Detail::PipeEnd;

PipeEnd::PipeEnd(const std::string& name, Direction direction, bool create, int timeoutMs)
    : m_name(name)
    , d(std::make_unique<Private>())
{
    d->name = name;
    d->direction = direction;
    d->creator = create;
    const std::string leaf = LeafOf(name);
    if (leaf.empty())
        Fail("unusable pipe name '" + name + "'");
    d->path = EnsurePipeDirectory() + "/" + leaf;
    d->timeoutMs
        = timeoutMs >= 0 ? timeoutMs : (create ? DEFAULT_CREATOR_TIMEOUT_MS : DEFAULT_OPENER_TIMEOUT_MS);
    d->deadline = Clock::now() + std::chrono::milliseconds(d->timeoutMs);
    if (create)
        d->Create();
    else
        d->Open();
}

PipeEnd::~PipeEnd()
{
    Close();
}

void PipeEnd::Close()
{
    if (d->fd < 0)
        return;
    close(d->fd);
    d->fd = -1;
    d->UnlinkIfOurs();
}

size_t PipeEnd::Read(void* buffer, size_t size, int timeoutMs)
{
    if (d->fd < 0)
        Fail("the pipe " + m_name + " is closed");
    if (d->direction != Direction::Read)
        Fail("the pipe " + m_name + " is not open for reading");
    if (size == 0)
        return 0;
    if (!d->pushback.empty()) {
        const size_t n = std::min(size, d->pushback.size());
        std::memcpy(buffer, d->pushback.data(), n);
        d->pushback.erase(0, n);
        return n;
    }
    const auto end
        = timeoutMs < 0 ? Clock::time_point::max() : Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (timeoutMs >= 0 || !d->connected) {
            // Timed waits, and waits for a peer yet to come, go in slices:
            // a writer that leaves does not always wake a poller.
            int wait = kSliceMs;
            if (timeoutMs >= 0)
                wait = std::min(wait, RemainingMs(end));
            if (!(WaitFor(d->fd, POLLIN, wait) & (POLLIN | POLLHUP | POLLERR))) {
                // Nothing came: look without waiting whether the writer is there.
                SetBlocking(d->fd, false);
                const ssize_t n = read(d->fd, buffer, size);
                const int error = errno;
                SetBlocking(d->fd, true);
                if (n > 0) {
                    d->connected = true;
                    return static_cast<size_t>(n);
                }
                if (n < 0 && error == EAGAIN)
                    d->connected = true;
                else if (n == 0)
                    d->PeerMissing(m_peerAlive);
                else if (error != EINTR)
                    Fail("cannot read from the pipe " + m_name + ": " + ErrorText(error));
                if (timeoutMs >= 0 && RemainingMs(end) == 0)
                    return 0;
                continue;
            }
        }
        // Blocks until bytes come, or returns 0 once no writer is left.
        const ssize_t n = read(d->fd, buffer, size);
        if (n > 0) {
            d->connected = true;
            return static_cast<size_t>(n);
        }
        if (n < 0 && errno != EINTR)
            Fail("cannot read from the pipe " + m_name + ": " + ErrorText(errno));
        if (n == 0)
            d->PeerMissing(m_peerAlive);
    }
}

bool PipeEnd::WaitReadable(int timeoutMs)
{
    if (!d->pushback.empty())
        return true;
    char probe[4096];
    const size_t n = Read(probe, sizeof probe, timeoutMs);
    d->pushback.assign(probe, n);
    return n > 0;
}

void PipeEnd::Write(const void* data, size_t size)
{
    if (d->fd < 0)
        Fail("the pipe " + m_name + " is closed");
    if (d->direction != Direction::Write)
        Fail("the pipe " + m_name + " is not open for writing");
    SigPipeGuard guard;
    const char* p = static_cast<const char*>(data);
    size_t left = size;
    while (left > 0) {
        const ssize_t n = write(d->fd, p, left);
        if (n > 0) {
            d->connected = true;
            p += n;
            left -= static_cast<size_t>(n);
            continue;
        }
        const int error = n < 0 ? errno : EIO;
        if (error == EINTR)
            continue;
        if (error != EPIPE)
            Fail("cannot write to the pipe " + m_name + ": " + ErrorText(error));
        guard.Swallow();
        // Without a reader: gone, or (for the maker) not come yet.
        if (d->connected || (d->creator && !d->PathIsOurs()))
            Fail("the other end of the pipe " + m_name + " has closed");
        if (!d->PeerMayCome(m_peerAlive))
            d->FailNoPeer(m_peerAlive);
        Pause(m_peerAlive ? kRetryMs : std::min(kRetryMs, RemainingMs(d->deadline)));
    }
}

} // namespace Zentar::Core
