#include "ChannelPipes.h"

#include <Zentar/IO/IOException.h>

#include <vector>

namespace
{

Fuzz::ChannelPipes* g_pipes = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    Fuzz::PrepareEnvironment();
    g_pipes = new Fuzz::ChannelPipes("fuzz-frames");
    return 0;
}

// Input: raw bytes as they come down the pipe.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string stream = Fuzz::Text(data, size);
    auto channel = g_pipes->NewChannel();
    g_pipes->feeder->Write(stream.data(), stream.size());

    // Every message must be a whole frame of the input, in input order.
    size_t cursor = 0;
    for (int index = 0; channel->WaitForMessage(0); ++index) {
        const size_t length = channel->GetMessageLength();
        // Every other message goes into a buffer too small for it.
        std::vector<char> buffer(index % 2 ? length / 2 : length);
        const size_t copied = channel->Read(buffer.data(), buffer.size());
        if (copied != buffer.size())
            Fuzz::Fail("read " + std::to_string(copied) + " bytes into a buffer of "
                + std::to_string(buffer.size()));
        const size_t at = stream.find(Fuzz::FrameHeader(length), cursor);
        if (at == std::string::npos || stream.compare(at + 12, copied, buffer.data(), copied) != 0)
            Fuzz::Fail("message " + std::to_string(index) + " of " + std::to_string(length)
                + " bytes is no frame of the input after offset " + std::to_string(cursor));
        cursor = at + 12 + length;
    }
    if (cursor > stream.size())
        Fuzz::Fail("messages reach past the input");

    // The same bytes as one message go out as one frame and come back whole.
    channel->Write(stream.data(), stream.size());
    const std::string frame = g_pipes->Drain();
    if (frame != Fuzz::FrameHeader(stream.size()) + stream)
        Fuzz::Fail("the writer sent " + std::to_string(frame.size()) + " bytes for a message of "
            + std::to_string(stream.size()));
    auto reader = g_pipes->NewChannel();
    g_pipes->feeder->Write(frame.data(), frame.size());
    if (reader->ReadText() != stream)
        Fuzz::Fail("a written message did not read back");
    return 0;
}
