#pragma once

#include <atomic>

#include <boost/intrusive_ptr.hpp>

namespace Zentar
{

// Intrusive reference count of the core and I/O objects, which travel in
// boost::intrusive_ptr. Each operation returns the count after it; Release
// destroys the object when that count is zero. The slot order (destructor,
// AddRef, GetRefCount, Release) is part of the interface.
class IRefCountable
{
protected:
    virtual ~IRefCountable() = default;

public:
    virtual unsigned int AddRef() const = 0;
    virtual unsigned int GetRefCount() const = 0;
    virtual unsigned int Release() const = 0;
};

inline void intrusive_ptr_add_ref(const IRefCountable* p)
{
    p->AddRef();
}
inline void intrusive_ptr_release(const IRefCountable* p)
{
    p->Release();
}

namespace Core
{

// Implements the count for a class derived from an IRefCountable interface.
template <class Base> class RefCountImpl : public Base
{
public:
    using Base::Base;

    unsigned int AddRef() const override { return m_count.fetch_add(1, std::memory_order_relaxed) + 1; }
    unsigned int GetRefCount() const override { return m_count.load(std::memory_order_relaxed); }
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
