#pragma once

#include <stdexcept>
#include <type_traits>
#include <utility>

namespace Zentar::Links
{

/// A pointer that is checked once, where it is handed over, instead of at
/// every use: building one from an empty pointer throws std::logic_error.
template <typename Pointer> class NotNull
{
public:
    /// Takes `pointer`; throws std::logic_error "NotNull can not initialized by null" when it is empty.
    template <typename Other, typename = std::enable_if_t<std::is_convertible_v<Other&&, Pointer>>>
    NotNull(Other&& pointer)
        : m_pointer(std::forward<Other>(pointer))
    {
        if (!m_pointer)
            throw std::logic_error("NotNull can not initialized by null");
    }

    //!@{
    /// The pointer, never empty, and what it points to.
    const Pointer& Get() const { return m_pointer; }
    operator const Pointer&() const { return m_pointer; }
    auto operator->() const { return &*m_pointer; }
    auto& operator*() const { return *m_pointer; }
    //!@}

private:
    Pointer m_pointer;
};

} // namespace Zentar::Links
