#include <Zentar/Core/DyLib.h>

#include <dlfcn.h>

namespace Zentar::Core
{

DyLib::~DyLib()
{
    Close();
}

bool DyLib::Open(const Zentar::ioPath& path)
{
    Close();
    m_handle = dlopen(path.utf8string().c_str(), RTLD_NOW | RTLD_LOCAL);
    return m_handle != nullptr;
}

void* DyLib::GetProc(const std::string& name) const
{
    return m_handle ? dlsym(m_handle, name.c_str()) : nullptr;
}

void DyLib::Close()
{
    if (m_handle)
        dlclose(m_handle);
    m_handle = nullptr;
}

} // namespace Zentar::Core
