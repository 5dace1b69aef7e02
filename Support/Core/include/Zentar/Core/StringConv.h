#pragma once

#include <string>

namespace Zentar::Core
{

//!@{
/// UTF-8 <-> wide strings (UTF-16 on Windows, UTF-32 elsewhere). Invalid input
/// sequences become U+FFFD.
std::wstring WstringFromUtf8(const std::string& utf8);
std::string Utf8FromWstring(const std::wstring& wide);
//!@}

} // namespace Zentar::Core
