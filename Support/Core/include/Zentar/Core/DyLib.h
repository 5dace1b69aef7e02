#pragma once

#include <string>

#include <Zentar/Core/ioPath.h>

namespace Zentar::Core
{

// A shared library loaded at run time; released when the object dies.
class DyLib
{
public:
    DyLib() = default;
    ~DyLib();
    DyLib(const DyLib&) = delete;
    DyLib& operator=(const DyLib&) = delete;

    bool Open(const Zentar::ioPath& path);
    bool IsOpen() const { return m_handle != nullptr; }
    void* GetProc(const std::string& name) const;
    void Close();

private:
    void* m_handle = nullptr;
};

} // namespace Zentar::Core
