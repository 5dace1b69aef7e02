#include <Zentar/Core/DyLib.h>
#include <Zentar/Core/StringConv.h>

#include <windows.h>

namespace Zentar::Core
{

DyLib::~DyLib()
{
    Close();
}

bool DyLib::Open(const Zentar::ioPath& path)
{
    Close();
    m_handle = LoadLibraryW(WstringFromUtf8(path.utf8string()).c_str());
    return m_handle != nullptr;
}

void* DyLib::GetProc(const std::string& name) const
{
    if (!m_handle)
        return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(m_handle), name.c_str()));
}

void DyLib::Close()
{
    if (m_handle)
        FreeLibrary(static_cast<HMODULE>(m_handle));
    m_handle = nullptr;
}

} // namespace Zentar::Core
