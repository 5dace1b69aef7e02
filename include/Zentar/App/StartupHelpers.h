#pragma once

#include <Zentar/App/ZentarAppExport.h>
#include <Zentar/Core/ioPath.h>

namespace Zentar::App
{

// Process-wide settings that Qt reads when the application object is built:
// call these in main() before constructing Application.

/// Chooses the DPI policy. "ZENTAR_DPI_POLICY"="NOSCALE" keeps the defaults;
/// otherwise the system scales the process as a bitmap where it can, and Qt
/// scales the interface itself where it cannot.
ZENTAR_APP_EXPORT void HighDpiFix();
/// Has Qt use the desktop's OpenGL driver (Qt::AA_UseDesktopOpenGL).
ZENTAR_APP_EXPORT void UseDesktopOpenGL();

/// The product's resources folder, `<executable dir>/resources`.
ZENTAR_APP_EXPORT Zentar::ioPath GetPathToResources();
/// The font configuration, `<executable dir>/resources/fonts/fonts.conf`.
ZENTAR_APP_EXPORT Zentar::ioPath GetPathToFontConfigFile();

} // namespace Zentar::App
