#include <Zentar/Core/AppLocations.h>

namespace Zentar::Core
{

AppLocations::AppLocations()
    : m_exeDir(ExecutablePath().parent_path())
{
}

const AppLocations& AppLocations::GetLocations()
{
    static const AppLocations locations;
    return locations;
}

ioPath AppLocations::GetExecutableDir() const
{
    return m_exeDir;
}
ioPath AppLocations::GetResourcesPath() const
{
    return m_exeDir / "resources";
}
ioPath AppLocations::GetFontConfigPath() const
{
    return GetResourcesPath() / "fonts" / "fonts.conf";
}

} // namespace Zentar::Core
