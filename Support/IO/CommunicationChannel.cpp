#include <Zentar/IO/CommunicationChannel.h>
#include <Zentar/IO/IOException.h>

#include "IOLog.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <vector>

namespace Zentar::Core
{
namespace
{

using Clock = std::chrono::steady_clock;

constexpr unsigned char kMagic[4] = { 'Z', 'M', 'S', 'G' };
constexpr size_t kHeaderSize = 12;
constexpr uint32_t kCheckMask = 0xA5C3F00Fu;
constexpr size_t kReadChunk = 64 * 1024;
// Messages up to this size go out in one write, header included, so a
// reader rarely sees a header without its payload.
constexpr size_t kSingleWriteLimit = 64 * 1024;
// A receive buffer grown beyond this by a big message is given back once empty.
constexpr size_t kKeptBufferSize = 1 << 20;
// Messages from this size on go straight into a reader's buffer that holds
// them, not through the receive buffer.
constexpr size_t kDirectReadSize = kSingleWriteLimit;

void PutU32(unsigned char* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}

uint32_t GetU32(const unsigned char* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

int RemainingMs(Clock::time_point end)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
    return left <= 0 ? 0 : static_cast<int>(std::min<long long>(left, 1 << 30));
}

class Channel final : public RefCountImpl<IDataChannel>
{
public:
    Channel(boost::intrusive_ptr<IByteDataInput> input, boost::intrusive_ptr<IByteDataOutput> output,
        bool waitWithoutLimit)
        : m_input(std::move(input))
        , m_inputEx(dynamic_cast<IByteDataInputEx*>(m_input.get()))
        , m_output(std::move(output))
        , m_receiveTimeout(waitWithoutLimit ? -1 : CommunicationChannel::BOUNDED_RECEIVE_TIMEOUT_MS)
    {
    }

    void Write(const void* data, size_t size) override
    {
        if (size > CommunicationChannel::MAX_MESSAGE_SIZE)
            ZENTAR_THROW(IOException,
                "a message of " + std::to_string(size) + " bytes is larger than a channel carries");
        std::lock_guard<std::mutex> lock(m_writeMutex);
        if (!m_writeError.empty())
            ZENTAR_THROW(IOException, m_writeError);
        unsigned char header[kHeaderSize];
        std::memcpy(header, kMagic, 4);
        PutU32(header + 4, static_cast<uint32_t>(size));
        PutU32(header + 8, static_cast<uint32_t>(size) ^ kCheckMask);
        try {
            if (size <= kSingleWriteLimit) {
                m_writeBuffer.assign(header, header + kHeaderSize);
                m_writeBuffer.insert(m_writeBuffer.end(), static_cast<const unsigned char*>(data),
                    static_cast<const unsigned char*>(data) + size);
                m_output->Write(m_writeBuffer.data(), m_writeBuffer.size());
            } else {
                m_output->Write(header, kHeaderSize);
                m_output->Write(data, size);
            }
        } catch (const IOException& e) {
            // Part of the frame may be out; nothing may follow it.
            m_writeError = std::string("the channel can no longer send: ") + e.what();
            throw;
        }
    }

    size_t GetMessageLength() override
    {
        std::lock_guard<std::mutex> lock(m_readMutex);
        WaitForFrameOrThrow();
        return m_frameLength;
    }

    size_t Read(void* buffer, size_t size) override
    {
        std::lock_guard<std::mutex> lock(m_readMutex);
        size_t length = 0;
        if (size >= kDirectReadSize && m_receiveTimeout < 0
            && ReadDirect(static_cast<unsigned char*>(buffer), size, &length))
            return length;
        WaitForFrameOrThrow();
        const size_t copied = std::min(size, m_frameLength);
        if (copied > 0)
            std::memcpy(buffer, &m_buffer[m_begin + kHeaderSize], copied);
        if (copied < m_frameLength)
            LOG(WARNING) << "Dropped " << (m_frameLength - copied) << " bytes of a " << m_frameLength
                         << "-byte message read into a " << size << "-byte buffer";
        m_begin += kHeaderSize + m_frameLength;
        m_frameLength = 0;
        if (m_begin == m_end) {
            m_begin = m_end = 0;
            if (m_buffer.size() > kKeptBufferSize)
                std::vector<unsigned char>().swap(m_buffer);
        }
        return copied;
    }

    bool WaitForMessage(int timeoutMs) override
    {
        std::lock_guard<std::mutex> lock(m_readMutex);
        return WaitForFrame(timeoutMs);
    }

    void SetReceiveTimeout(int timeoutMs) override { m_receiveTimeout = timeoutMs; }
    int GetReceiveTimeout() const override { return m_receiveTimeout; }

private:
    // Once the header of a big message is in, reads the rest of it from the
    // input into `buffer`, saving a copy. Only for unbounded waits: a time-out
    // would leave a message half read. False, having read no payload, when
    // the message is small, larger than `size` or already buffered whole.
    bool ReadDirect(unsigned char* buffer, size_t size, size_t* length)
    {
        while (!FrameReady()) {
            if (m_frameKnown)
                break;
            if (!m_readError.empty())
                ZENTAR_THROW(IOException, m_readError);
            Fill(-1);
        }
        if (m_end - m_begin >= kHeaderSize + m_frameLength || m_frameLength < kDirectReadSize
            || m_frameLength > size)
            return false;
        // The frame is incomplete, so every buffered byte after the header is its.
        size_t received = m_end - m_begin - kHeaderSize;
        std::memcpy(buffer, &m_buffer[m_begin + kHeaderSize], received);
        const size_t frameLength = m_frameLength;
        m_begin = m_end = 0;
        m_frameKnown = false;
        m_frameLength = 0;
        try {
            while (received < frameLength)
                received += m_input->Read(buffer + received, frameLength - received);
        } catch (const IOException& e) {
            m_readError = e.what();
            LOG(ERROR) << "Dropped " << (kHeaderSize + received)
                       << " bytes of an incomplete message: " << m_readError;
            throw;
        }
        *length = frameLength;
        return true;
    }

    void WaitForFrameOrThrow()
    {
        const int timeout = m_receiveTimeout;
        if (!WaitForFrame(timeout))
            ZENTAR_THROW(
                IOException, "no message arrived on the channel within " + std::to_string(timeout) + " ms");
    }

    bool WaitForFrame(int timeoutMs)
    {
        const auto end
            = timeoutMs < 0 ? Clock::time_point::max() : Clock::now() + std::chrono::milliseconds(timeoutMs);
        while (!FrameReady()) {
            if (!m_readError.empty())
                ZENTAR_THROW(IOException, m_readError);
            if (!Fill(timeoutMs < 0 ? -1 : RemainingMs(end)))
                return false;
        }
        return true;
    }

    // Reads what the input has; false when nothing came within the time-out.
    bool Fill(int timeoutMs)
    {
        try {
            if (timeoutMs >= 0 && m_inputEx && !m_inputEx->WaitForData(timeoutMs))
                return false;
            size_t want = kReadChunk;
            if (m_frameKnown)
                want = std::max(want, kHeaderSize + m_frameLength - (m_end - m_begin));
            Reserve(want);
            m_end += m_input->Read(&m_buffer[m_end], want);
            return true;
        } catch (const IOException& e) {
            m_readError = e.what();
            if (m_skipped > 0)
                LOG(ERROR) << "Skipped " << m_skipped << " bytes on the channel that did not form a message";
            m_skipped = 0;
            if (m_end > m_begin)
                LOG(ERROR) << "Dropped " << (m_end - m_begin)
                           << " bytes of an incomplete message: " << m_readError;
            throw;
        }
    }

    void Reserve(size_t want)
    {
        if (m_buffer.size() - m_end >= want)
            return;
        if (m_begin > 0) {
            std::memmove(m_buffer.data(), m_buffer.data() + m_begin, m_end - m_begin);
            m_end -= m_begin;
            m_begin = 0;
        }
        if (m_buffer.size() - m_end < want)
            m_buffer.resize(m_end + want);
    }

    // True when a whole frame starts at m_begin; bytes that cannot start one
    // are skipped and reported.
    bool FrameReady()
    {
        for (;;) {
            m_frameKnown = false;
            const size_t available = m_end - m_begin;
            if (available == 0)
                return false;
            const unsigned char* head = m_buffer.data() + m_begin;
            if (std::memcmp(head, kMagic, std::min<size_t>(available, 4)) != 0) {
                Skip();
                continue;
            }
            if (available < kHeaderSize)
                return false;
            const uint32_t length = GetU32(head + 4);
            if ((GetU32(head + 8) ^ kCheckMask) != length
                || length > CommunicationChannel::MAX_MESSAGE_SIZE) {
                Skip();
                continue;
            }
            if (m_skipped > 0) {
                LOG(ERROR) << "Skipped " << m_skipped << " bytes on the channel that did not form a message";
                m_skipped = 0;
            }
            m_frameKnown = true;
            m_frameLength = length;
            return available >= kHeaderSize + length;
        }
    }

    // Moves m_begin to the next place where a header may start.
    void Skip()
    {
        const unsigned char* first = m_buffer.data() + m_begin + 1;
        const unsigned char* last = m_buffer.data() + m_end;
        const unsigned char* found = std::search(first, last, kMagic, kMagic + 4);
        if (found == last) {
            // Keep a tail that may be the beginning of the next header.
            found = std::max(first, last - 3);
            while (found < last && std::memcmp(found, kMagic, static_cast<size_t>(last - found)) != 0)
                ++found;
        }
        const size_t skipped = static_cast<size_t>(found - (m_buffer.data() + m_begin));
        m_skipped += skipped;
        m_begin += skipped;
        if (m_begin == m_end)
            m_begin = m_end = 0;
    }

    boost::intrusive_ptr<IByteDataInput> m_input;
    IByteDataInputEx* m_inputEx;
    boost::intrusive_ptr<IByteDataOutput> m_output;
    std::atomic<int> m_receiveTimeout;

    std::mutex m_writeMutex;
    std::vector<unsigned char> m_writeBuffer;
    std::string m_writeError;

    std::mutex m_readMutex;
    std::vector<unsigned char> m_buffer;
    size_t m_begin = 0;
    size_t m_end = 0;
    bool m_frameKnown = false;
    size_t m_frameLength = 0;
    size_t m_skipped = 0;
    std::string m_readError;
};

} // namespace

boost::intrusive_ptr<IDataChannel> CommunicationChannel::Create(boost::intrusive_ptr<IByteDataInput> input,
    boost::intrusive_ptr<IByteDataOutput> output, bool waitWithoutLimit)
{
    if (!input || !output)
        ZENTAR_THROW(IOException, "a channel needs both an input and an output");
    return new Channel(std::move(input), std::move(output), waitWithoutLimit);
}

} // namespace Zentar::Core
