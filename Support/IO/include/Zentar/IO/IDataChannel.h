#pragma once

#include <Zentar/Core/RefCountable.h>

#include <cstddef>
#include <string>

namespace Zentar::Core
{

/// A two-way link that carries whole messages: what one side writes in one
/// call, the other side reads in one piece, never split or merged.
class IDataChannel : public Zentar::IRefCountable
{
public:
    /// Sends one message (empty ones included). Throws IOException when the
    /// peer is gone or the message is larger than the channel carries.
    virtual void Write(const void* data, size_t size) = 0;

    /// Length of the next incoming message, waiting until it has arrived
    /// whole (for as long as the channel's receive time-out allows). Throws
    /// IOException when the time-out passes or the peer is gone.
    virtual size_t GetMessageLength() = 0;

    /// Moves the next message into `buffer` and returns its length. A buffer
    /// shorter than the message gets its beginning; the rest is dropped.
    /// Throws IOException as GetMessageLength does.
    virtual size_t Read(void* buffer, size_t size) = 0;

    /// True when a whole message is waiting; waits up to `timeoutMs`
    /// (negative: without limit, 0: just look).
    virtual bool WaitForMessage(int timeoutMs) = 0;

    /// How long GetMessageLength and Read wait for a message before they
    /// throw IOException; negative means without limit.
    virtual void SetReceiveTimeout(int timeoutMs) = 0;
    /// The receive time-out in milliseconds; negative means without limit.
    virtual int GetReceiveTimeout() const = 0;

    // Text conveniences over the calls above.
    /// Sends the bytes of `text` as one message.
    void WriteText(const std::string& text) { Write(text.data(), text.size()); }
    /// The next message as text; throws as Read does.
    std::string ReadText()
    {
        std::string text(GetMessageLength(), '\0');
        text.resize(Read(text.data(), text.size()));
        return text;
    }
};

} // namespace Zentar::Core
