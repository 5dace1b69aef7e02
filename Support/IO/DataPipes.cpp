#include "PipeEnd.h"

#include <Zentar/IO/DataInputPipe.h>
#include <Zentar/IO/DataOutputPipe.h>

namespace Zentar::Core
{
namespace
{

using Detail::PipeEnd;

class InputPipe final : public RefCountImpl<IByteDataInputEx>
{
public:
    InputPipe(const std::string& name, bool create, int timeoutMs, std::function<bool()> peerAlive)
        : m_end(name, PipeEnd::Direction::Read, create, timeoutMs)
    {
        m_end.WatchPeer(std::move(peerAlive));
    }

    size_t Read(void* buffer, size_t size) override { return m_end.Read(buffer, size, -1); }
    bool WaitForData(int timeoutMs) override { return m_end.WaitReadable(timeoutMs); }
    void Close() override { m_end.Close(); }
    const std::string& Name() const override { return m_end.Name(); }

private:
    PipeEnd m_end;
};

class OutputPipe final : public RefCountImpl<IByteDataOutputEx>
{
public:
    OutputPipe(const std::string& name, bool create, int timeoutMs, std::function<bool()> peerAlive)
        : m_end(name, PipeEnd::Direction::Write, create, timeoutMs)
    {
        m_end.WatchPeer(std::move(peerAlive));
    }

    void Write(const void* data, size_t size) override { m_end.Write(data, size); }
    void Close() override { m_end.Close(); }
    const std::string& Name() const override { return m_end.Name(); }

private:
    PipeEnd m_end;
};

} // namespace

boost::intrusive_ptr<IByteDataInputEx> DataInputPipe::Create(
    const std::string& name, bool create, int timeoutMs)
{
    return new InputPipe(name, create, timeoutMs, {});
}

boost::intrusive_ptr<IByteDataInputEx> DataInputPipe::Create(
    const std::string& name, bool create, int timeoutMs, std::function<bool()> peerAlive)
{
    return new InputPipe(name, create, timeoutMs, std::move(peerAlive));
}

boost::intrusive_ptr<IByteDataOutputEx> DataOutputPipe::Create(
    const std::string& name, bool create, int timeoutMs)
{
    return new OutputPipe(name, create, timeoutMs, {});
}

boost::intrusive_ptr<IByteDataOutputEx> DataOutputPipe::Create(
    const std::string& name, bool create, int timeoutMs, std::function<bool()> peerAlive)
{
    return new OutputPipe(name, create, timeoutMs, std::move(peerAlive));
}

} // namespace Zentar::Core
