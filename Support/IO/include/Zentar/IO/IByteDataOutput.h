#pragma once

#include <Zentar/Core/RefCountable.h>

#include <cstddef>
#include <string>

namespace Zentar::Core
{

/// A sink of bytes.
class IByteDataOutput : public Zentar::IRefCountable
{
public:
    /// Writes all `size` bytes, waiting for room when needed; throws
    /// IOException when the sink is gone (then only part may have been written).
    virtual void Write(const void* data, size_t size) = 0;
};

/// A byte sink that can be closed.
class IByteDataOutputEx : public IByteDataOutput
{
public:
    /// Releases the underlying resource; later calls throw IOException.
    virtual void Close() = 0;
    /// The name the pipe was made or opened with.
    virtual const std::string& Name() const = 0;
};

} // namespace Zentar::Core
