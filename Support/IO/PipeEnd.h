#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

namespace Zentar::Core::Detail
{

// One end of a named pipe, over the system's primitive (a FIFO on Unix, a
// named pipe on Windows). The rendezvous rules are those documented in
// DataInputPipe.h. All failures throw IOException.
class PipeEnd
{
public:
    enum class Direction { Read, Write };

    static constexpr int DEFAULT_CREATOR_TIMEOUT_MS = 30000;
    static constexpr int DEFAULT_OPENER_TIMEOUT_MS = 10000;

    // timeoutMs < 0 picks the default for the side.
    PipeEnd(const std::string& name, Direction direction, bool create, int timeoutMs);
    ~PipeEnd();
    PipeEnd(const PipeEnd&) = delete;
    PipeEnd& operator=(const PipeEnd&) = delete;

    // Up to `size` bytes; 0 only when `timeoutMs` (>= 0) passed without data.
    size_t Read(void* buffer, size_t size, int timeoutMs);
    bool WaitReadable(int timeoutMs);
    void Write(const void* data, size_t size);
    void Close();

    const std::string& Name() const { return m_name; }

    // Whether the process meant to connect still lives (see
    // DataInputPipe::Create); empty: the time-out alone decides.
    void WatchPeer(std::function<bool()> peerAlive) { m_peerAlive = std::move(peerAlive); }

private:
    struct Private;
    std::string m_name;
    std::function<bool()> m_peerAlive;
    std::unique_ptr<Private> const d;
};

} // namespace Zentar::Core::Detail
