#pragma once

#include <Zentar/Core/ioPath.h>

namespace Zentar::Core
{

/// Where an installed product keeps its files, relative to its executable:
///   `<exe dir>/`                         the executable
///   `<exe dir>/resources/`               resources (themes, locales, ...)
///   `<exe dir>/resources/fonts/fonts.conf`  font configuration
class AppLocations
{
public:
    /// The locations of this process, found once.
    static const AppLocations& GetLocations();

    /// The folder of the executable.
    ioPath GetExecutableDir() const;
    /// `<exe dir>/resources`.
    ioPath GetResourcesPath() const;
    /// `<exe dir>/resources/fonts/fonts.conf`.
    ioPath GetFontConfigPath() const;

    /// The executable's own path, resolved through symbolic links.
    static ioPath ExecutablePath();

private:
    AppLocations();
    ioPath m_exeDir;
};

} // namespace Zentar::Core
