#pragma once

#include <Zentar/Core/RefCountable.h>

#include <cstddef>
#include <string>

namespace Zentar::Core
{

/// A source of bytes.
class IByteDataInput : public Zentar::IRefCountable
{
public:
    /// Reads at least one and at most `size` bytes, waiting until some are
    /// there. Throws IOException when the source has ended or failed, so a
    /// caller never mistakes a vanished writer for an empty message.
    virtual size_t Read(void* buffer, size_t size) = 0;
};

/// A byte source that can also be waited on.
class IByteDataInputEx : public IByteDataInput
{
public:
    /// Waits up to `timeoutMs` (negative: without limit, 0: just look) for
    /// bytes; true when the next Read returns without waiting. Throws
    /// IOException when the source has ended.
    virtual bool WaitForData(int timeoutMs) = 0;
    /// Releases the underlying resource; later calls throw IOException.
    virtual void Close() = 0;
    /// The name the pipe was made or opened with.
    virtual const std::string& Name() const = 0;
};

} // namespace Zentar::Core
