#pragma once

#include <Zentar/App/ZentarAppExport.h>
#include <Zentar/Core/ioPath.h>

namespace Zentar::App
{

// Process-wide settings that Qt reads when the application object is built:
// call these in main() before constructing Application.

// Chooses the DPI policy. "ZENTAR_DPI_POLICY"="NOSCALE" keeps the defaults;
// otherwise the system scales the process as a bitmap where it can, and Qt
// scales the interface itself where it cannot.
ZENTAR_APP_EXPORT void HighDpiFix();
ZENTAR_APP_EXPORT void UseDesktopOpenGL();

ZENTAR_APP_EXPORT Zentar::ioPath GetPathToResources();
ZENTAR_APP_EXPORT Zentar::ioPath GetPathToFontConfigFile();

} // namespace Zentar::App
