#pragma once

// For the interfaces of this library, which one side of the shared library
// implements and the other calls. Their vtables and typeinfo are emitted
// wherever they are used; where the shared library hides its symbols they
// must stay visible, or dynamic_cast and exceptions would see two types.
// Windows needs nothing: a class with only inline members is neither
// exported nor imported.
#if defined(_WIN32) || !defined(__GNUC__)
#define ZENTAR_INTERFACE_VISIBLE
#else
#define ZENTAR_INTERFACE_VISIBLE __attribute__((visibility("default")))
#endif
