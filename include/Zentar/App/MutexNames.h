#pragma once

#include <Zentar/App/ZentarAppExport.h>

namespace Zentar::App
{

/// Held by every running product built on the library (see Application::AppContext).
ZENTAR_APP_EXPORT extern const char* const APPLICATION_RUNNING_MUTEX_NAME;
/// Held by the installer while it runs (see Application::CheckRunnedInstaller).
ZENTAR_APP_EXPORT extern const char* const INSTALLER_MUTEX_NAME;

} // namespace Zentar::App
