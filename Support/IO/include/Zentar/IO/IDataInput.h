#pragma once

#include <Zentar/Core/RefCountable.h>

#include <boost/intrusive_ptr.hpp>

#include <cstddef>

namespace Zentar::Core
{

/// A source of bytes read front to back. Travels in boost::intrusive_ptr.
class IDataInput : public Zentar::IRefCountable
{
public:
    /// Copies up to `size` bytes into `buffer` and returns how many were copied;
    /// 0 means the data has ended (or `size` was 0).
    virtual std::size_t Read(void* buffer, std::size_t size) = 0;
    /// True once every byte has been read.
    virtual bool AtEnd() const = 0;
};

/// How an IDataInput is held.
using DataInputPtr = boost::intrusive_ptr<IDataInput>;

} // namespace Zentar::Core
