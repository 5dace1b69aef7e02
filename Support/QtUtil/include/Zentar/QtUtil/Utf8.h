#pragma once

#include <QString>

#include <string>

namespace Zentar::Util
{

//!@{
/// Conversions between UTF-8 `std::string` and QString.
/// Invalid UTF-8 sequences become U+FFFD.
QString Utf8ToQString(const std::string& s);
std::string QStringToUtf8(const QString& s);
//!@}

} // namespace Zentar::Util
