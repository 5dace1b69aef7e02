#include <Zentar/Core/AppLocations.h>
#include <Zentar/Core/StringConv.h>

#include <string>
#include <windows.h>

namespace Zentar::Core
{

ioPath AppLocations::ExecutablePath()
{
    std::wstring buffer(32768, L'\0');
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0)
        return {};
    buffer.resize(n);
    std::string utf8 = Utf8FromWstring(buffer);
    for (char& c : utf8)
        if (c == '\\')
            c = '/';
    return ioPath(utf8);
}

} // namespace Zentar::Core
