#include "PipeEnd.h"

#include <Zentar/Core/StringConv.h>
#include <Zentar/IO/IOException.h>
#include <Zentar/IO/NamedPipe.h>

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <cwchar>
#include <vector>

namespace Zentar::Core
{
namespace
{

using Clock = std::chrono::steady_clock;

constexpr DWORD kBufferSize = 1 << 20;
constexpr DWORD kRetryMs = 10;
// How often a maker waiting for a late peer looks whether it still lives.
constexpr DWORD kPeerSliceMs = 100;
constexpr wchar_t kPrefix[] = L"\\\\.\\pipe\\";

[[noreturn]] void Fail(const std::string& message)
{
    ZENTAR_THROW(IOException, message);
}

std::string ErrorText(DWORD error)
{
    return "system error " + std::to_string(error);
}

bool IsGone(DWORD error)
{
    return error == ERROR_BROKEN_PIPE || error == ERROR_NO_DATA || error == ERROR_PIPE_NOT_CONNECTED;
}

// `doing` is "read from" or "write to".
[[noreturn]] void FailTransfer(const std::string& name, const char* doing, DWORD error)
{
    if (IsGone(error))
        Fail("the other end of the pipe " + name + " has closed");
    Fail(std::string("cannot ") + doing + " the pipe " + name + ": " + ErrorText(error));
}

// One ReadFile or WriteFile moves at most this much.
DWORD Chunk(size_t size)
{
    return static_cast<DWORD>(std::min<size_t>(size, 1u << 30));
}

std::wstring PathOf(const std::string& name)
{
    const std::wstring wide = WstringFromUtf8(name);
    const size_t length = std::wcslen(kPrefix);
    if (wide.size() > length && _wcsnicmp(wide.c_str(), kPrefix, length) == 0)
        return wide;
    return kPrefix + wide;
}

DWORD RemainingMs(Clock::time_point end)
{
    if (end == Clock::time_point::max())
        return INFINITE;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
    return left <= 0 ? 0 : static_cast<DWORD>(std::min<long long>(left, 1 << 30));
}

// Waits for an overlapped operation, cancelling it when the time runs out;
// false with `error` set when it did not complete.
bool Finish(HANDLE handle, OVERLAPPED& overlapped, DWORD timeoutMs, DWORD& transferred, DWORD& error)
{
    if (WaitForSingleObject(overlapped.hEvent, timeoutMs) != WAIT_OBJECT_0)
        CancelIo(handle);
    if (GetOverlappedResult(handle, &overlapped, &transferred, TRUE))
        return true;
    error = GetLastError();
    return false;
}

// Security for the pipes a master makes. With the default one, any local user
// could open the outbound end, read what the master sends, and take the real
// slave's place on the link; only this user and the system may open them.
class OwnerOnlySecurity
{
public:
    OwnerOnlySecurity()
    {
        HANDLE token = nullptr;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
            FailSecurity();
        DWORD size = 0;
        GetTokenInformation(token, TokenUser, nullptr, 0, &size);
        std::vector<BYTE> user(size);
        const BOOL gotUser = size > 0 && GetTokenInformation(token, TokenUser, user.data(), size, &size);
        CloseHandle(token);
        if (!gotUser)
            FailSecurity();
        const PSID userSid = reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid;
        m_userSid.assign(static_cast<BYTE*>(userSid), static_cast<BYTE*>(userSid) + GetLengthSid(userSid));

        DWORD systemSize = SECURITY_MAX_SID_SIZE;
        m_systemSid.resize(systemSize);
        if (!CreateWellKnownSid(WinLocalSystemSid, nullptr, m_systemSid.data(), &systemSize))
            FailSecurity();

        const DWORD aceBase = sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD);
        m_acl.resize(
            sizeof(ACL) + 2 * aceBase + GetLengthSid(m_userSid.data()) + GetLengthSid(m_systemSid.data()));
        PACL acl = reinterpret_cast<PACL>(m_acl.data());
        if (!InitializeAcl(acl, static_cast<DWORD>(m_acl.size()), ACL_REVISION)
            || !AddAccessAllowedAce(acl, ACL_REVISION, FILE_ALL_ACCESS, m_userSid.data())
            || !AddAccessAllowedAce(acl, ACL_REVISION, FILE_ALL_ACCESS, m_systemSid.data())
            || !InitializeSecurityDescriptor(&m_descriptor, SECURITY_DESCRIPTOR_REVISION)
            || !SetSecurityDescriptorDacl(&m_descriptor, TRUE, acl, FALSE))
            FailSecurity();
        m_attributes.nLength = sizeof(m_attributes);
        m_attributes.lpSecurityDescriptor = &m_descriptor;
        m_attributes.bInheritHandle = FALSE;
    }
    OwnerOnlySecurity(const OwnerOnlySecurity&) = delete;
    OwnerOnlySecurity& operator=(const OwnerOnlySecurity&) = delete;

    SECURITY_ATTRIBUTES* Attributes() { return &m_attributes; }

private:
    [[noreturn]] static void FailSecurity()
    {
        Fail("cannot restrict a pipe to this user: " + ErrorText(GetLastError()));
    }

    std::vector<BYTE> m_userSid;
    std::vector<BYTE> m_systemSid;
    std::vector<BYTE> m_acl;
    SECURITY_DESCRIPTOR m_descriptor {};
    SECURITY_ATTRIBUTES m_attributes {};
};

} // namespace

std::string NamedPipePath(const std::string& name)
{
    return name.empty() ? std::string() : Utf8FromWstring(PathOf(name));
}

bool NamedPipeExists(const std::string& name)
{
    if (name.empty())
        return false;
    const std::wstring path = PathOf(name);
    if (WaitNamedPipeW(path.c_str(), 1))
        return true;
    return GetLastError() != ERROR_FILE_NOT_FOUND;
}

bool RemoveNamedPipe(const std::string&)
{
    return false;
}

namespace Detail
{

struct PipeEnd::Private {
    std::string name;
    std::wstring path;
    Direction direction = Direction::Read;
    bool creator = false;
    HANDLE handle = INVALID_HANDLE_VALUE;
    HANDLE event = nullptr;
    bool connected = false;
    Clock::time_point deadline;
    int timeoutMs = 0;
    std::string pushback;

    void Create()
    {
        const DWORD access = direction == Direction::Read ? PIPE_ACCESS_INBOUND : PIPE_ACCESS_OUTBOUND;
        OwnerOnlySecurity security;
        handle = CreateNamedPipeW(path.c_str(), access | FILE_FLAG_FIRST_PIPE_INSTANCE | FILE_FLAG_OVERLAPPED,
            PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1, kBufferSize,
            kBufferSize, 0, security.Attributes());
        if (handle == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            if (error == ERROR_ACCESS_DENIED || error == ERROR_PIPE_BUSY)
                Fail("the pipe name " + name + " is already in use");
            Fail("cannot create the pipe " + name + ": " + ErrorText(error));
        }
        event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    }

    void Open()
    {
        const DWORD access = direction == Direction::Read ? GENERIC_READ : GENERIC_WRITE;
        for (;;) {
            handle
                = CreateFileW(path.c_str(), access, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
            if (handle != INVALID_HANDLE_VALUE) {
                connected = true;
                event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
                return;
            }
            const DWORD error = GetLastError();
            const DWORD left = RemainingMs(deadline);
            if (error != ERROR_PIPE_BUSY && error != ERROR_FILE_NOT_FOUND)
                Fail("cannot open the pipe " + name + ": " + ErrorText(error));
            if (left == 0)
                Fail(error == ERROR_PIPE_BUSY ? "the pipe " + name + " is held by another process"
                                              : "the pipe " + name + " does not exist");
            if (error == ERROR_PIPE_BUSY)
                WaitNamedPipeW(path.c_str(), std::min<DWORD>(left, 100));
            else
                Sleep(std::min(kRetryMs, left));
        }
    }

    // For the next operation on the pipe; Windows keeps its address until
    // the operation is finished, so it lives in the caller's frame.
    OVERLAPPED NextOverlapped() const
    {
        OVERLAPPED overlapped {};
        overlapped.hEvent = event;
        ResetEvent(event);
        return overlapped;
    }

    // The maker's side accepts its peer lazily; false when none came in time.
    // With `peerAlive`, a peer that has not come is late while its process
    // lives, whatever the bound, and missing once it has ended.
    bool Connect(DWORD timeoutMs, const std::function<bool()>& peerAlive)
    {
        if (connected)
            return true;
        const auto end = timeoutMs == INFINITE ? Clock::time_point::max()
                                               : Clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            // Asked before the wait: a peer that connected and then ended
            // before this is seen by the connect below.
            const bool alive = !peerAlive || peerAlive();
            const DWORD slice = peerAlive ? std::min(RemainingMs(end), kPeerSliceMs) : RemainingMs(end);
            if (AcceptWithin(slice))
                return true;
            if (!alive)
                Fail("the process meant to connect to the pipe " + name + " ended without connecting");
            if (!peerAlive && RemainingMs(deadline) == 0)
                Fail("no process connected to the pipe " + name + " within " + std::to_string(this->timeoutMs)
                    + " ms");
            if (RemainingMs(end) == 0)
                return false;
        }
    }

    // One ConnectNamedPipe, cancelled after `timeoutMs`.
    bool AcceptWithin(DWORD timeoutMs)
    {
        OVERLAPPED overlapped = NextOverlapped();
        if (!ConnectNamedPipe(handle, &overlapped)) {
            DWORD error = GetLastError();
            if (error == ERROR_IO_PENDING) {
                DWORD transferred = 0;
                if (!Finish(handle, overlapped, timeoutMs, transferred, error)) {
                    if (error == ERROR_OPERATION_ABORTED)
                        return false;
                    Fail("cannot accept a peer on the pipe " + name + ": " + ErrorText(error));
                }
            } else if (error != ERROR_PIPE_CONNECTED && error != ERROR_NO_DATA) {
                Fail("cannot accept a peer on the pipe " + name + ": " + ErrorText(error));
            }
        }
        connected = true;
        return true;
    }
};

} // namespace Detail

using Detail::PipeEnd;

PipeEnd::PipeEnd(const std::string& name, Direction direction, bool create, int timeoutMs)
    : m_name(name)
    , d(std::make_unique<Private>())
{
    if (name.empty())
        Fail("unusable pipe name ''");
    d->name = name;
    d->path = PathOf(name);
    d->direction = direction;
    d->creator = create;
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
    if (d->handle != INVALID_HANDLE_VALUE) {
        // The system removes the pipe with its last handle.
        CloseHandle(d->handle);
        d->handle = INVALID_HANDLE_VALUE;
    }
    if (d->event) {
        CloseHandle(d->event);
        d->event = nullptr;
    }
}

size_t PipeEnd::Read(void* buffer, size_t size, int timeoutMs)
{
    if (d->handle == INVALID_HANDLE_VALUE)
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
    // A peer that is watched may connect after the bound.
    if (!d->Connect(m_peerAlive ? RemainingMs(end) : std::min(RemainingMs(end), RemainingMs(d->deadline)),
            m_peerAlive))
        return 0;
    for (;;) {
        OVERLAPPED overlapped = d->NextOverlapped();
        DWORD transferred = 0;
        if (!ReadFile(d->handle, buffer, Chunk(size), &transferred, &overlapped)) {
            DWORD error = GetLastError();
            // Cancelled when the time ran out: nothing came.
            if (error != ERROR_IO_PENDING
                || (!Finish(d->handle, overlapped, RemainingMs(end), transferred, error)
                    && error != ERROR_OPERATION_ABORTED))
                FailTransfer(m_name, "read from", error);
        }
        if (transferred > 0 || RemainingMs(end) == 0)
            return transferred;
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
    if (d->handle == INVALID_HANDLE_VALUE)
        Fail("the pipe " + m_name + " is closed");
    if (d->direction != Direction::Write)
        Fail("the pipe " + m_name + " is not open for writing");
    if (size == 0)
        return;
    if (!d->Connect(m_peerAlive ? INFINITE : RemainingMs(d->deadline), m_peerAlive))
        Fail("no process connected to the pipe " + m_name);
    const char* p = static_cast<const char*>(data);
    size_t left = size;
    while (left > 0) {
        OVERLAPPED overlapped = d->NextOverlapped();
        DWORD transferred = 0;
        if (!WriteFile(d->handle, p, Chunk(left), &transferred, &overlapped)) {
            DWORD error = GetLastError();
            if (error != ERROR_IO_PENDING || !Finish(d->handle, overlapped, INFINITE, transferred, error))
                FailTransfer(m_name, "write to", error);
        }
        p += transferred;
        left -= transferred;
    }
}

} // namespace Zentar::Core
