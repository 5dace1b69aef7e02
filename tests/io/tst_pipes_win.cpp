// The Win32 pipe ends and the message channel over them, between this
// program and a second process of it.

#include "WinTest.h"

#include "PipeEnd.h"

#include <Zentar/IO/CommunicationChannel.h>
#include <Zentar/IO/DataInputPipe.h>
#include <Zentar/IO/DataOutputPipe.h>
#include <Zentar/IO/IOException.h>
#include <Zentar/IO/NamedPipe.h>

#include <aclapi.h>

#include <chrono>
#include <memory>
#include <thread>

using namespace Zentar::WinTest;
using namespace Zentar::Core;
using Detail::PipeEnd;

namespace
{

using Clock = std::chrono::steady_clock;

long long MsSince(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

std::string PipeName(const std::string& what)
{
    return "\\\\.\\pipe\\" + UniqueName(what);
}

// A message whose bytes tell its size and place, so a reordered, cut or
// mixed-up message cannot pass for another.
std::string Message(size_t size, char tag)
{
    std::string text(size, tag);
    for (size_t i = 0; i < size; i += 251)
        text[i] = static_cast<char>(i / 251);
    return text;
}

// Collects what a channel writes.
class Capture final : public RefCountImpl<IByteDataOutput>
{
public:
    void Write(const void* data, size_t size) override { bytes.append(static_cast<const char*>(data), size); }
    std::string bytes;
};

// The slave's side of a link: opens the two pipes the master made.
boost::intrusive_ptr<IDataChannel> OpenPeerChannel(const std::string& toPeer, const std::string& fromPeer)
{
    auto input = DataInputPipe::Create(toPeer, false);
    auto output = DataOutputPipe::Create(fromPeer, false);
    return CommunicationChannel::Create(input, output, true);
}

// args: master's outbound pipe, master's inbound pipe. Sends back every
// message until "bye".
int EchoPeer(const std::vector<std::string>& args)
{
    try {
        auto channel = OpenPeerChannel(args.at(0), args.at(1));
        for (;;) {
            const std::string text = channel->ReadText();
            if (text == "bye")
                return 0;
            channel->WriteText(text);
        }
    } catch (const IOException& e) {
        std::fprintf(stderr, "echo peer: %s\n", e.what());
        return 1;
    }
}
ZENTAR_WIN_CHILD(EchoPeer);

// args: the two pipes, ready event. Sends the first half of a 1 MiB message
// and waits to be killed.
int HalfMessagePeer(const std::vector<std::string>& args)
{
    auto input = DataInputPipe::Create(args.at(0), false);
    auto output = DataOutputPipe::Create(args.at(1), false);
    boost::intrusive_ptr<Capture> frame(new Capture);
    CommunicationChannel::Create(input, frame, true)->WriteText(Message(1 << 20, 'h'));
    output->Write(frame->bytes.data(), frame->bytes.size() / 2);
    SharedEvent(args.at(2)).Set();
    Sleep(INFINITE);
    return 0;
}
ZENTAR_WIN_CHILD(HalfMessagePeer);

// args: the pipe to open for writing, ready event. Connects and stays silent.
int SilentPeer(const std::vector<std::string>& args)
{
    auto output = DataOutputPipe::Create(args.at(0), false);
    SharedEvent(args.at(1)).Set();
    Sleep(INFINITE);
    return 0;
}
ZENTAR_WIN_CHILD(SilentPeer);

// Ends without touching any pipe.
int NeverConnects(const std::vector<std::string>&)
{
    return 0;
}
ZENTAR_WIN_CHILD(NeverConnects);

// The master's side: makes both pipes, then starts the peer in `mode`.
struct Link {
    std::string toPeerName = PipeName("to-peer");
    std::string fromPeerName = PipeName("from-peer");
    boost::intrusive_ptr<IByteDataOutputEx> toPeer = DataOutputPipe::Create(toPeerName, true);
    boost::intrusive_ptr<IByteDataInputEx> fromPeer = DataInputPipe::Create(fromPeerName, true);
    boost::intrusive_ptr<IDataChannel> channel = CommunicationChannel::Create(fromPeer, toPeer, true);
};

std::vector<BYTE> CurrentUserSid()
{
    HANDLE token = nullptr;
    REQUIRE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> user(size);
    REQUIRE(GetTokenInformation(token, TokenUser, user.data(), size, &size));
    CloseHandle(token);
    const PSID sid = reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid;
    return std::vector<BYTE>(static_cast<BYTE*>(sid), static_cast<BYTE*>(sid) + GetLengthSid(sid));
}

// The pipe's access rules, read back through a handle of its own.
void CheckOnlyUserAndSystem(const std::string& name)
{
    CAPTURE(name);
    HANDLE handle = CreateFileW(Wide(name).c_str(), READ_CONTROL, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    REQUIRE_MESSAGE(handle != INVALID_HANDLE_VALUE, "cannot open the pipe: error " << GetLastError());
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const DWORD result = GetSecurityInfo(
        handle, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl, nullptr, &descriptor);
    CloseHandle(handle);
    REQUIRE(result == ERROR_SUCCESS);
    REQUIRE_MESSAGE(dacl != nullptr, "a null access list lets everyone in");

    std::vector<BYTE> user = CurrentUserSid();
    BYTE system[SECURITY_MAX_SID_SIZE];
    DWORD systemSize = sizeof system;
    REQUIRE(CreateWellKnownSid(WinLocalSystemSid, nullptr, system, &systemSize));

    CHECK(dacl->AceCount == 2);
    bool userAllowed = false;
    bool systemAllowed = false;
    for (WORD i = 0; i < dacl->AceCount; ++i) {
        void* entry = nullptr;
        REQUIRE(GetAce(dacl, i, &entry));
        const auto* ace = static_cast<ACCESS_ALLOWED_ACE*>(entry);
        CAPTURE(i);
        REQUIRE(ace->Header.AceType == ACCESS_ALLOWED_ACE_TYPE);
        const PSID sid = const_cast<DWORD*>(&ace->SidStart);
        const bool isUser = EqualSid(sid, user.data()) != FALSE;
        const bool isSystem = EqualSid(sid, system) != FALSE;
        CHECK_MESSAGE((isUser || isSystem), "entry " << i << " grants someone else");
        userAllowed = userAllowed || (isUser && (ace->Mask & FILE_GENERIC_READ) == FILE_GENERIC_READ);
        systemAllowed = systemAllowed || isSystem;
    }
    CHECK(userAllowed);
    CHECK(systemAllowed);
    LocalFree(descriptor);
}

} // namespace

TEST_CASE("messages of 64 bytes and 1 MiB go both ways in order between two processes")
{
    Link link;
    Child peer("EchoPeer", { link.toPeerName, link.fromPeerName });

    const std::vector<std::string> messages
        = { Message(64, 'a'), Message(1 << 20, 'b'), Message(64, 'c'), std::string(), Message(1 << 20, 'd') };
    // All out first, so that both directions carry data at the same time.
    std::thread sender([&] {
        for (const std::string& message : messages)
            link.channel->WriteText(message);
    });
    for (size_t i = 0; i < messages.size(); ++i) {
        CAPTURE(i);
        const std::string back = link.channel->ReadText();
        CHECK(back.size() == messages[i].size());
        CHECK(back == messages[i]);
    }
    sender.join();

    link.channel->WriteText("bye");
    DWORD code = 1;
    CHECK(peer.WaitExit(kPeerTimeoutMs, &code));
    CHECK(code == 0);
    // The peer's ends are gone: reading tells so at once.
    CHECK_THROWS_AS(link.channel->ReadText(), IOException);
}

TEST_CASE("a peer killed mid-message gives an error on the other side within 1 s")
{
    Link link;
    SharedEvent ready;
    Child peer("HalfMessagePeer", { link.toPeerName, link.fromPeerName, ready.Name() });
    REQUIRE_MESSAGE(ready.Wait(), "the peer did not send");

    Clock::time_point killed;
    std::thread killer([&] {
        killed = Clock::now();
        peer.Kill();
    });
    std::string error;
    try {
        link.channel->ReadText();
    } catch (const IOException& e) {
        error = e.what();
    }
    killer.join();
    CHECK_MESSAGE(!error.empty(), "a cut message was read as whole");
    CHECK(MsSince(killed) < 1000);
    // And no later read or write hangs either.
    CHECK_THROWS_AS(link.channel->ReadText(), IOException);
    CHECK_THROWS_AS(link.channel->WriteText(Message(64, 'w')), IOException);
}

TEST_CASE("a read with a time-out times out, and fails once the writer is gone")
{
    const std::string name = PipeName("timed");
    PipeEnd reader(name, PipeEnd::Direction::Read, true, -1);
    SharedEvent ready;
    Child peer("SilentPeer", { name, ready.Name() });
    REQUIRE(ready.Wait());

    char buffer[16];
    auto start = Clock::now();
    CHECK(reader.Read(buffer, sizeof buffer, 300) == 0);
    const long long waited = MsSince(start);
    CHECK(waited >= 250);
    CHECK(waited < 5000);
    start = Clock::now();
    CHECK(reader.Read(buffer, sizeof buffer, 0) == 0);
    CHECK_FALSE(reader.WaitReadable(50));
    CHECK(MsSince(start) < 2000);

    peer.Kill();
    CHECK_THROWS_AS(reader.Read(buffer, sizeof buffer, 1000), IOException);
}

TEST_CASE("the ends: names, rendezvous and failures")
{
    const std::string name = PipeName("ends");
    CHECK_FALSE(NamedPipeExists(name));
    CHECK(NamedPipePath(UniqueName("short")).rfind("\\\\.\\pipe\\", 0) == 0);
    CHECK(NamedPipePath("").empty());

    auto start = Clock::now();
    CHECK_THROWS_AS(DataInputPipe::Create(name, false, 200), IOException);
    CHECK(MsSince(start) >= 150);

    {
        PipeEnd maker(name, PipeEnd::Direction::Write, true, -1);
        CHECK(NamedPipeExists(name));
        CHECK_THROWS_AS(PipeEnd(name, PipeEnd::Direction::Read, true, -1), IOException);

        PipeEnd opener(name, PipeEnd::Direction::Read, false, 1000);
        maker.Write("ping", 4);
        char buffer[8] = {};
        CHECK(opener.Read(buffer, sizeof buffer, 5000) == 4);
        CHECK(std::string(buffer, 4) == "ping");
        CHECK_THROWS_AS(opener.Write("x", 1), IOException);
        CHECK_THROWS_AS(maker.Read(buffer, 1, 0), IOException);
        // Only one peer per pipe.
        CHECK_THROWS_AS(PipeEnd(name, PipeEnd::Direction::Read, false, 100), IOException);
    }
    CHECK_FALSE(NamedPipeExists(name));
    CHECK_THROWS_AS(PipeEnd("", PipeEnd::Direction::Read, true, -1), IOException);
}

TEST_CASE("the pipes grant only the current user and the system")
{
    Link link;
    CheckOnlyUserAndSystem(link.toPeerName);
    CheckOnlyUserAndSystem(link.fromPeerName);
}

TEST_CASE("a master waits past its bound for a peer that lives, and fails at once for one that died")
{
    constexpr int kBoundMs = 100;
    SUBCASE("a peer started after the bound still connects")
    {
        std::unique_ptr<Child> peer;
        // Not started yet counts as on its way.
        const auto alive = [&] { return !peer || WaitForSingleObject(peer->Process(), 0) == WAIT_TIMEOUT; };
        const std::string toPeerName = PipeName("late-to");
        const std::string fromPeerName = PipeName("late-from");
        auto toPeer = DataOutputPipe::Create(toPeerName, true, kBoundMs, alive);
        auto fromPeer = DataInputPipe::Create(fromPeerName, true, kBoundMs, alive);
        auto channel = CommunicationChannel::Create(fromPeer, toPeer, true);

        // Three bounds without a peer: no data yet, and no failure.
        const auto start = Clock::now();
        CHECK_FALSE(fromPeer->WaitForData(3 * kBoundMs));
        CHECK(MsSince(start) >= 2 * kBoundMs);

        peer = std::make_unique<Child>("EchoPeer", std::vector<std::string> { toPeerName, fromPeerName });
        channel->WriteText("late, but here");
        CHECK(channel->ReadText() == "late, but here");
        channel->WriteText("bye");
        DWORD code = 1;
        CHECK(peer->WaitExit(kPeerTimeoutMs, &code));
        CHECK(code == 0);
    }
    SUBCASE("a peer that ended without connecting fails a wait, whatever the bound")
    {
        Child peer("NeverConnects");
        const auto alive = [&] { return WaitForSingleObject(peer.Process(), 0) == WAIT_TIMEOUT; };
        REQUIRE(peer.WaitExit(kPeerTimeoutMs));
        // The default bound of 30 s is not waited out.
        auto toPeer = DataOutputPipe::Create(PipeName("dead-to"), true, -1, alive);
        const auto start = Clock::now();
        CHECK_THROWS_WITH_AS(
            toPeer->Write("x", 1), doctest::Contains("ended without connecting"), IOException);
        CHECK(MsSince(start) < 1000);
    }
    SUBCASE("a peer that dies while the master waits fails the wait promptly")
    {
        Child peer("HoldForever");
        const auto alive = [&] { return WaitForSingleObject(peer.Process(), 0) == WAIT_TIMEOUT; };
        auto fromPeer = DataInputPipe::Create(PipeName("dying-from"), true, -1, alive);
        // Before or during the read: either way the read ends with the death.
        Clock::time_point killed;
        std::thread killer([&] {
            killed = Clock::now();
            peer.Kill();
        });
        char buffer[8];
        std::string error;
        try {
            fromPeer->Read(buffer, sizeof buffer);
        } catch (const IOException& e) {
            error = e.what();
        }
        killer.join();
        CHECK_MESSAGE(error.find("ended without connecting") != std::string::npos, error);
        CHECK(MsSince(killed) < 1000);
    }
}
