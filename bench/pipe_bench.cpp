// Compares the message channel over named pipes with a plain two-FIFO
// ping-pong on the bare system calls, between two processes: latency of
// 64-byte round trips (each one timed: median and p99.9) and one-way
// throughput of 1 MiB messages. Both links stay open for the whole run and
// take turns, block by block, so that a busy machine slows both alike.
//
//   pipe_bench [round trips per block] [MiB per block] [blocks]
#include "BenchUtil.h"

#include <Zentar/IO/CommunicationChannel.h>
#include <Zentar/IO/DataInputPipe.h>
#include <Zentar/IO/DataOutputPipe.h>
#include <Zentar/IO/IOException.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
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

// Messages start with their kind: 'E' is echoed, 'T' swallowed, 'L' (the last
// of a throughput block) answered with "ok", 'Q' ends the peer.
struct Link {
    virtual ~Link() = default;
    virtual void Send(const char* data, size_t size) = 0;
    virtual size_t Receive(char* data, size_t size) = 0;
};

// ---- the channel ---------------------------------------------------------

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

struct ChannelLink : Link {
    ChannelLink()
    {
        const std::string id = std::to_string(getpid());
        const std::string toPeer = "\\\\.\\pipe\\ZentarBenchIn" + id;
        const std::string fromPeer = "\\\\.\\pipe\\ZentarBenchOut" + id;
        channel = CommunicationChannel::Create(
            DataInputPipe::Create(fromPeer, true), DataOutputPipe::Create(toPeer, true), true);
        peer = fork();
        if (peer == 0)
            _exit(ChannelPeer(toPeer, fromPeer));
    }
    ~ChannelLink() override
    {
        channel->Write("Q", 1);
        waitpid(peer, nullptr, 0);
    }
    void Send(const char* data, size_t size) override { channel->Write(data, size); }
    size_t Receive(char* data, size_t size) override { return channel->Read(data, size); }

    boost::intrusive_ptr<IDataChannel> channel;
    pid_t peer = -1;
};

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

bool ReadAll(int fd, char* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = read(fd, data, size);
        if (n <= 0)
            return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

// Reads the 64-byte head of each message; a 'T' or 'L' head is followed by
// the rest of a 1 MiB message.
int RawPeer(const std::string& toPeer, const std::string& fromPeer)
{
    // Same opening order on both sides, so neither blocks the other.
    const int in = open(toPeer.c_str(), O_RDONLY);
    const int out = open(fromPeer.c_str(), O_WRONLY);
    std::vector<char> buffer(kLarge);
    while (ReadAll(in, buffer.data(), kSmall)) {
        const char kind = buffer[0];
        if (kind == 'E')
            WriteAll(out, buffer.data(), kSmall);
        else if ((kind == 'T' || kind == 'L') && !ReadAll(in, buffer.data() + kSmall, kLarge - kSmall))
            return 1;
        if (kind == 'L')
            WriteAll(out, "ok", 2);
        if (kind == 'Q')
            return 0;
    }
    return 1;
}

struct RawLink : Link {
    RawLink()
    {
        char dirTemplate[] = "/tmp/pipe_bench.XXXXXX";
        if (!mkdtemp(dirTemplate)) {
            std::perror("mkdtemp");
            std::exit(1);
        }
        dir = dirTemplate;
        mkfifo((dir + "/in").c_str(), 0600);
        mkfifo((dir + "/out").c_str(), 0600);
        peer = fork();
        if (peer == 0)
            _exit(RawPeer(dir + "/in", dir + "/out"));
        out = open((dir + "/in").c_str(), O_WRONLY);
        in = open((dir + "/out").c_str(), O_RDONLY);
        fcntl(out, F_SETPIPE_SZ, kPipeBuffer);
        fcntl(in, F_SETPIPE_SZ, kPipeBuffer);
    }
    ~RawLink() override
    {
        char quit[kSmall] = { 'Q' };
        WriteAll(out, quit, kSmall);
        close(out);
        close(in);
        waitpid(peer, nullptr, 0);
        unlink((dir + "/in").c_str());
        unlink((dir + "/out").c_str());
        rmdir(dir.c_str());
    }
    void Send(const char* data, size_t size) override { WriteAll(out, data, size); }
    // The baseline knows the size of every answer: 64 bytes or "ok".
    size_t Receive(char* data, size_t size) override
    {
        const size_t expected = size == 2 ? 2 : kSmall;
        return ReadAll(in, data, expected) ? expected : 0;
    }

    std::string dir;
    pid_t peer = -1;
    int out = -1;
    int in = -1;
};

// ---- the measurements ----------------------------------------------------

struct Samples {
    std::vector<double> roundTripMicros;
    std::vector<double> mebibytesPerSecond;
};

void RoundTrips(Link& link, int count, Samples& samples)
{
    std::vector<char> message(kSmall, 'x');
    std::vector<char> reply(kLarge);
    message[0] = 'E';
    for (int i = 0; i < count; ++i) {
        const auto start = Clock::now();
        link.Send(message.data(), kSmall);
        if (link.Receive(reply.data(), reply.size()) != kSmall) {
            std::fprintf(stderr, "wrong echo\n");
            std::exit(1);
        }
        samples.roundTripMicros.push_back(
            std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
}

void Throughput(Link& link, int megabytes, Samples& samples)
{
    std::vector<char> message(kLarge, 'x');
    char reply[2];
    const auto start = Clock::now();
    for (int i = 0; i < megabytes; ++i) {
        message[0] = i + 1 == megabytes ? 'L' : 'T';
        link.Send(message.data(), kLarge);
    }
    if (link.Receive(reply, 2) != 2) {
        std::fprintf(stderr, "no answer to a throughput block\n");
        std::exit(1);
    }
    samples.mebibytesPerSecond.push_back(
        megabytes / std::chrono::duration<double>(Clock::now() - start).count());
}

} // namespace

int main(int argc, char** argv)
{
    const int roundTrips = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2000;
    const int megabytes = argc > 2 ? std::max(1, std::atoi(argv[2])) : 64;
    const int blocks = argc > 3 ? std::max(1, std::atoi(argv[3])) : 10;
    try {
        ChannelLink channelLink;
        RawLink rawLink;
        Link* links[2] = { &channelLink, &rawLink };
        Samples channel;
        Samples raw;
        Samples* samples[2] = { &channel, &raw };
        Samples warmUp;
        for (Link* link : links)
            RoundTrips(*link, 200, warmUp);
        for (int block = 0; block < blocks; ++block) {
            for (int turn = 0; turn < 2; ++turn) {
                const int which = (block + turn) % 2;
                RoundTrips(*links[which], roundTrips, *samples[which]);
                Throughput(*links[which], megabytes, *samples[which]);
            }
        }

        const double channelMedian = Bench::Median(channel.roundTripMicros);
        const double rawMedian = Bench::Median(raw.roundTripMicros);
        const double channelTail = Bench::Percentile(channel.roundTripMicros, 99.9);
        const double rawTail = Bench::Percentile(raw.roundTripMicros, 99.9);
        const double channelRate = Bench::Median(channel.mebibytesPerSecond);
        const double rawRate = Bench::Median(raw.mebibytesPerSecond);
        std::printf(
            "%d blocks each of %d round trips of %zu bytes and %d messages of 1 MiB; pipe buffers %d KiB\n",
            blocks, roundTrips, kSmall, megabytes, kPipeBuffer / 1024);
        std::printf("round trip median: channel %.2f us, raw %.2f us\n", channelMedian, rawMedian);
        std::printf("round trip p99.9: channel %.2f us, raw %.2f us\n", channelTail, rawTail);
        std::printf("throughput median: channel %.1f MiB/s, raw %.1f MiB/s\n", channelRate, rawRate);
        Bench::Summary("pipe link, 64-byte round trip, median", Bench::Format("%.1f us", channelMedian),
            Bench::Format("%.1f us", rawMedian), channelMedian / rawMedian, 1.2);
        Bench::Summary("pipe link, 64-byte round trip, p99.9 / own median",
            Bench::Format("%.1f us", channelTail), Bench::Format("%.1f us", channelMedian),
            channelTail / channelMedian, 3.0);
        Bench::Summary("raw FIFOs, 64-byte round trip, p99.9 / own median", Bench::Format("%.1f us", rawTail),
            Bench::Format("%.1f us", rawMedian), rawTail / rawMedian, 0);
        Bench::Summary("pipe link, 1 MiB messages, throughput", Bench::Format("%.0f MiB/s", channelRate),
            Bench::Format("%.0f MiB/s", rawRate), channelRate / rawRate, 0.8, true);
    } catch (const IOException& e) {
        std::fprintf(stderr, "pipe_bench: %s\n", e.what());
        return 1;
    }
    return 0;
}
