#pragma once

#include <QString>

namespace Zentar::Util
{

/// "64" or "32": the pointer size of this build.
QString AppBits();

} // namespace Zentar::Util
