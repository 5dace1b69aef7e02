#pragma once

#include "FuzzSupport.h"

#include <Zentar/IO/CommunicationChannel.h>
#include <Zentar/IO/DataInputPipe.h>
#include <Zentar/IO/DataOutputPipe.h>

#include <unistd.h>

namespace Fuzz
{

// Two real pipes around a channel under test: "feeder" writes what the
// channel reads, "sink" reads what the channel writes.
struct ChannelPipes {
    boost::intrusive_ptr<Zentar::Core::IByteDataInputEx> channelInput;
    boost::intrusive_ptr<Zentar::Core::IByteDataOutputEx> feeder;
    boost::intrusive_ptr<Zentar::Core::IByteDataOutputEx> channelOutput;
    boost::intrusive_ptr<Zentar::Core::IByteDataInputEx> sink;

    explicit ChannelPipes(const std::string& name)
    {
        using namespace Zentar::Core;
        const std::string base = name + "-" + std::to_string(getpid());
        channelInput = DataInputPipe::Create(base + "-in", true);
        feeder = DataOutputPipe::Create(base + "-in", false, 1000);
        channelOutput = DataOutputPipe::Create(base + "-out", true);
        sink = DataInputPipe::Create(base + "-out", false, 1000);
    }

    // A channel that never waits for bytes that are not already there.
    boost::intrusive_ptr<Zentar::Core::IDataChannel> NewChannel() const
    {
        auto channel = Zentar::Core::CommunicationChannel::Create(channelInput, channelOutput, false);
        channel->SetReceiveTimeout(0);
        return channel;
    }

    // Everything the channel has written so far.
    std::string Drain() const
    {
        std::string bytes;
        char buffer[4096];
        while (sink->WaitForData(0))
            bytes.append(buffer, sink->Read(buffer, sizeof buffer));
        return bytes;
    }
};

// The bytes of a frame as the writer sends them: magic, length, checked length.
inline std::string FrameHeader(size_t length)
{
    std::string header = "ZMSG";
    const uint32_t values[2] = { static_cast<uint32_t>(length), static_cast<uint32_t>(length) ^ 0xA5C3F00Fu };
    for (uint32_t value : values)
        for (int i = 0; i < 4; ++i)
            header += static_cast<char>(value >> (8 * i));
    return header;
}

} // namespace Fuzz
