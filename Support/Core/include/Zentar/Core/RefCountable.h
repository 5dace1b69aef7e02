#pragma once

#include <atomic>

#include <boost/intrusive_ptr.hpp>

namespace Zentar
{

/// Intrusive reference count of the core and I/O objects, which travel in
/// boost::intrusive_ptr. Each operation returns the count after it; Release
/// destroys the object when that count is zero. The slot order (destructor,
/// AddRef, GetRefCount, Release) is part of the interface.
class IRefCountable
{
protected:
    virtual ~IRefCountable() = default;

public:
    /// Adds a reference; safe from any thread.
    virtual unsigned int AddRef() const = 0;
    /// The count now.
    virtual unsigned int GetRefCount() const = 0;
    /// Drops a reference; the last one destroys the object.
    virtual unsigned int Release() const = 0;
};

/// What `boost::intrusive_ptr` calls to add a reference.
inline void intrusive_ptr_add_ref(const IRefCountable* p)
{
    p->AddRef();
}
/// What `boost::intrusive_ptr` calls to drop a reference.
inline void intrusive_ptr_release(const IRefCountable* p)
{
    p->Release();
}

namespace Core
{

/// Implements the count for a class derived from an IRefCountable interface.
/// The count starts at zero: hand a new object to an intrusive_ptr at once.
template <class Base> class RefCountImpl : public Base
{
public:
    using Base::Base;

    /// Adds a reference; safe from any thread.
    unsigned int AddRef() const override { return m_count.fetch_add(1, std::memory_order_relaxed) + 1; }
    /// The count now.
    unsigned int GetRefCount() const override { return m_count.load(std::memory_order_relaxed); }
    /// Drops a reference and deletes the object at zero.
    unsigned int Release() const override
    {
        const unsigned int count = m_count.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if (count == 0)
            delete this;
        return count;
    }

private:
    mutable std::atomic<unsigned int> m_count { 0 };
};

} // namespace Core
} // namespace Zentar
