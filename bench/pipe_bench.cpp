// Compares the message channel over named pipes with a plain two-FIFO
// ping-pong on the bare system calls, in the same run and between two
// processes: round-trip latency of small messages and one-way throughput of
// 1 MiB messages.
//
//   pipe_bench [round trips] [MiB]
#include <Zentar/IO/CommunicationChannel.h>
#include <Zentar/IO/DataInputPipe.h>
#include <Zentar/IO/DataOutputPipe.h>
#include <Zentar/IO/IOException.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace Zentar::Core;
using Clock = std::chrono::steady_clock;

namespace
{

constexpr size_t kSmall = 64;
constexpr size_t kLarge = size_t(1) << 20;
// The channel's pipes hold this much; the baseline gets the same.
constexpr int kPipeBuffer = 1 << 20;

struct Result {
    double roundTripMicros = 0;
    double mebibytesPerSecond = 0;
};

double Seconds(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// ---- the channel ---------------------------------------------------------

// Peer: echoes 'E' messages, swallows 'T', answers 'L' and leaves on 'Q'.
int ChannelPeer(const std::string& toPeer, const std::string& fromPeer)
{
    try {
        auto channel = CommunicationChannel::Create(
            DataInputPipe::Create(toPeer, false), DataOutputPipe::Create(fromPeer, false), true);
        std::vector<char> buffer(kLarge);
        for (;;) {
            const size_t length = channel->Read(buffer.data(), buffer.size());
            const char kind = length ? buffer[0] : 'Q';
            if (kind == 'E')
                channel->Write(buffer.data(), length);
            else if (kind == 'L')
                channel->Write("ok", 2);
            else if (kind == 'Q')
                return 0;
        }
    } catch (const IOException& e) {
        std::fprintf(stderr, "channel peer: %s\n", e.what());
        return 1;
    }
}

Result MeasureChannel(int roundTrips, int megabytes)
{
    const std::string id = std::to_string(getpid());
    const std::string toPeer = "\\\\.\\pipe\\ZentarBenchIn" + id;
    const std::string fromPeer = "\\\\.\\pipe\\ZentarBenchOut" + id;
    auto channel = CommunicationChannel::Create(
        DataInputPipe::Create(fromPeer, true), DataOutputPipe::Create(toPeer, true), true);
    const pid_t peer = fork();
    if (peer == 0)
        _exit(ChannelPeer(toPeer, fromPeer));

    Result result;
    std::vector<char> message(kLarge, 'x');
    std::vector<char> reply(kLarge);
    message[0] = 'E';
    for (int i = 0; i < 100; ++i) {
        channel->Write(message.data(), kSmall);
        channel->Read(reply.data(), reply.size());
    }
    auto start = Clock::now();
    for (int i = 0; i < roundTrips; ++i) {
        channel->Write(message.data(), kSmall);
        if (channel->Read(reply.data(), reply.size()) != kSmall) {
            std::fprintf(stderr, "channel: wrong echo\n");
            std::exit(1);
        }
    }
    result.roundTripMicros = Seconds(start) * 1e6 / roundTrips;

    start = Clock::now();
    for (int i = 0; i < megabytes; ++i) {
        message[0] = i + 1 == megabytes ? 'L' : 'T';
        channel->Write(message.data(), kLarge);
    }
    channel->Read(reply.data(), reply.size());
    result.mebibytesPerSecond = megabytes / Seconds(start);

    channel->Write("Q", 1);
    waitpid(peer, nullptr, 0);
    return result;
}

// ---- the baseline: two FIFOs, blocking reads and writes ------------------

void WriteAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n <= 0) {
            std::perror("write");
            std::exit(1);
        }
        data += n;
        size -= size_t(n);
    }
}

void ReadAll(int fd, char* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = read(fd, data, size);
        if (n <= 0) {
            std::perror("read");
            std::exit(1);
        }
        data += n;
        size -= size_t(n);
    }
}

Result MeasureRaw(int roundTrips, int megabytes)
{
    char dirTemplate[] = "/tmp/pipe_bench.XXXXXX";
    const char* dir = mkdtemp(dirTemplate);
    if (!dir) {
        std::perror("mkdtemp");
        std::exit(1);
    }
    const std::string toPeer = std::string(dir) + "/in";
    const std::string fromPeer = std::string(dir) + "/out";
    mkfifo(toPeer.c_str(), 0600);
    mkfifo(fromPeer.c_str(), 0600);
    const int warmUp = 100;

    const pid_t peer = fork();
    if (peer == 0) {
        // Same opening order on both sides, so neither blocks the other.
        const int in = open(toPeer.c_str(), O_RDONLY);
        const int out = open(fromPeer.c_str(), O_WRONLY);
        std::vector<char> buffer(kLarge);
        for (int i = 0; i < warmUp + roundTrips; ++i) {
            ReadAll(in, buffer.data(), kSmall);
            WriteAll(out, buffer.data(), kSmall);
        }
        for (int i = 0; i < megabytes; ++i)
            ReadAll(in, buffer.data(), kLarge);
        WriteAll(out, "ok", 2);
        _exit(0);
    }
    const int out = open(toPeer.c_str(), O_WRONLY);
    const int in = open(fromPeer.c_str(), O_RDONLY);
    fcntl(out, F_SETPIPE_SZ, kPipeBuffer);
    fcntl(in, F_SETPIPE_SZ, kPipeBuffer);

    Result result;
    std::vector<char> message(kLarge, 'x');
    std::vector<char> reply(kLarge);
    for (int i = 0; i < warmUp; ++i) {
        WriteAll(out, message.data(), kSmall);
        ReadAll(in, reply.data(), kSmall);
    }
    auto start = Clock::now();
    for (int i = 0; i < roundTrips; ++i) {
        WriteAll(out, message.data(), kSmall);
        ReadAll(in, reply.data(), kSmall);
    }
    result.roundTripMicros = Seconds(start) * 1e6 / roundTrips;

    start = Clock::now();
    for (int i = 0; i < megabytes; ++i)
        WriteAll(out, message.data(), kLarge);
    ReadAll(in, reply.data(), 2);
    result.mebibytesPerSecond = megabytes / Seconds(start);

    close(out);
    close(in);
    waitpid(peer, nullptr, 0);
    unlink(toPeer.c_str());
    unlink(fromPeer.c_str());
    rmdir(dir);
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    const int roundTrips = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20000;
    const int megabytes = argc > 2 ? std::max(1, std::atoi(argv[2])) : 512;
    try {
        const Result raw = MeasureRaw(roundTrips, megabytes);
        const Result channel = MeasureChannel(roundTrips, megabytes);
        std::printf("%d round trips of %zu-byte messages, %d messages of 1 MiB, pipe buffers of %d KiB\n\n",
            roundTrips, kSmall, megabytes, kPipeBuffer / 1024);
        std::printf("%-22s %12s %12s %10s\n", "", "channel", "raw FIFOs", "ratio");
        std::printf("%-22s %12.2f %12.2f %10.2f   (channel / raw; above 1 is slower)\n", "round trip (us)",
            channel.roundTripMicros, raw.roundTripMicros, channel.roundTripMicros / raw.roundTripMicros);
        std::printf("%-22s %12.1f %12.1f %10.2f   (channel / raw; below 1 is slower)\n", "throughput (MiB/s)",
            channel.mebibytesPerSecond, raw.mebibytesPerSecond,
            channel.mebibytesPerSecond / raw.mebibytesPerSecond);
    } catch (const IOException& e) {
        std::fprintf(stderr, "pipe_bench: %s\n", e.what());
        return 1;
    }
    return 0;
}
