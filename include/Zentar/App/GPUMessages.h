#pragma once

#include <Zentar/App/ZentarAppExport.h>

#include <QString>

namespace Zentar
{
// Defined in <Zentar/Links/URLKeys.h>.
enum class URLKeys : int;
} // namespace Zentar

/// \file
/// Messages about the graphics driver.

//!@{
/// Rich-text messages for a product whose hardware video acceleration is not
/// available, each ending in a link to the page that `key` stands for. The
/// link is styled with the application's "linkStyle" property when it is set.
ZENTAR_APP_EXPORT QString GetGPUNeedSetupDriverMessage(const Zentar::URLKeys& key);
ZENTAR_APP_EXPORT QString GetGPUUnsupportedDriverMessage(const Zentar::URLKeys& key);
//!@}
