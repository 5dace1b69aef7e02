#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// The index in the table of virtual functions that a pointer to a virtual
// member function holds on the Itanium C++ ABI (byte offset + 1), or -1 where
// pointers to members are laid out otherwise. A virtual destructor takes two
// slots there (complete and deleting).
template <class Pointer> long long VirtualSlot(Pointer pointer)
{
    struct {
        std::uintptr_t ptr;
        std::ptrdiff_t adj;
    } raw;
    if constexpr (sizeof(Pointer) != sizeof(raw)) {
        return -1;
    } else {
        std::memcpy(&raw, &pointer, sizeof(raw));
        return (raw.ptr & 1) ? static_cast<long long>((raw.ptr - 1) / sizeof(void*)) : -1;
    }
}
