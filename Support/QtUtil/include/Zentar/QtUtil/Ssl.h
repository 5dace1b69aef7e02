#pragma once

namespace Zentar::Util
{

//!@{
/// Whether connections use SSL unless told otherwise; process-wide, true at
/// start. Safe from any thread.
void SetDefaultSslUsage(bool useSsl);
bool GetDefaultSslUsage();
//!@}

} // namespace Zentar::Util
