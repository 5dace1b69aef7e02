#pragma once

#include <atomic>

#include <boost/intrusive_ptr.hpp>

namespace Zentar {

// Intrusive reference count of the core and I/O objects, which travel in
// boost::intrusive_ptr.
class IRefCountable
{
public:
    virtual void AddRef() const = 0;
    virtual void Release() const = 0;

protected:
    virtual ~IRefCountable() = default;
};

inline void intrusive_ptr_add_ref(const IRefCountable* p) { p->AddRef(); }
inline void intrusive_ptr_release(const IRefCountable* p) { p->Release(); }

namespace Core {

// Implements the count for a class derived from an IRefCountable interface.
template <class Base>
class RefCountImpl : public Base
{
public:
    using Base::Base;

    void AddRef() const override { m_count.fetch_add(1, std::memory_order_relaxed); }
    void Release() const override
    {
        if (m_count.fetch_sub(1, std::memory_order_acq_rel) == 1)
            delete this;
    }
    long RefCount() const { return m_count.load(std::memory_order_relaxed); }

private:
    mutable std::atomic<long> m_count{0};
};

} // namespace Core
} // namespace Zentar
