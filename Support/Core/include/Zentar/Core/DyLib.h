#pragma once

#include <string>

#include <Zentar/Core/ioPath.h>

namespace Zentar::Core
{

/// A shared library loaded at run time; released when the object dies.
class DyLib
{
public:
    DyLib() = default;
    ~DyLib();
    DyLib(const DyLib&) = delete;
    DyLib& operator=(const DyLib&) = delete;

    /// Loads the library, closing one opened before; false when it cannot be loaded.
    bool Open(const Zentar::ioPath& path);
    /// Whether a library is loaded.
    bool IsOpen() const { return m_handle != nullptr; }
    /// The address of an exported symbol; null when it is missing or nothing is loaded.
    void* GetProc(const std::string& name) const;
    /// Unloads the library; nothing happens when none is loaded.
    void Close();

private:
    void* m_handle = nullptr;
};

} // namespace Zentar::Core
