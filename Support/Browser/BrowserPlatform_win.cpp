#include "BrowserPlatform.h"

#include <Zentar/Core/StringConv.h>

#include <windows.h>

#include <shellapi.h> // needs windows.h first

namespace Zentar::Browser::Platform
{

namespace
{

std::wstring RegistryString(HKEY root, const std::wstring& key, const wchar_t* value)
{
    DWORD size = 0;
    if (RegGetValueW(root, key.c_str(), value, RRF_RT_REG_SZ, nullptr, nullptr, &size) != ERROR_SUCCESS
        || size == 0)
        return std::wstring();
    std::wstring text(size / sizeof(wchar_t), L'\0');
    if (RegGetValueW(root, key.c_str(), value, RRF_RT_REG_SZ, nullptr, &text[0], &size) != ERROR_SUCCESS)
        return std::wstring();
    text.resize(wcsnlen(text.c_str(), text.size()));
    return text;
}

} // namespace

std::optional<Command> DesktopDefaultBrowser()
{
    for (const wchar_t* scheme : { L"https", L"http" }) {
        const std::wstring progId = RegistryString(HKEY_CURRENT_USER,
            std::wstring(L"Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations\\") + scheme
                + L"\\UserChoice",
            L"ProgId");
        if (progId.empty())
            continue;
        const std::wstring line
            = RegistryString(HKEY_CLASSES_ROOT, progId + L"\\shell\\open\\command", nullptr);
        int count = 0;
        LPWSTR* words = line.empty() ? nullptr : CommandLineToArgvW(line.c_str(), &count);
        if (!words)
            continue;
        Command command;
        for (int i = 0; i < count; ++i) {
            std::string word = Core::Utf8FromWstring(words[i]);
            if (i == 0) {
                command.program = word;
                continue;
            }
            for (std::size_t at = word.find("%1"); at != std::string::npos; at = word.find("%1", at))
                word.replace(at, 2, "%s");
            command.arguments.push_back(word);
        }
        LocalFree(words);
        command.executable = command.program;
        if (!command.program.empty())
            return command;
    }
    return std::nullopt;
}

std::vector<std::string> GenericBrowserPrograms()
{
    return {};
}

std::string ResolveRecordedBrowser(const std::string& recorded)
{
    if (recorded.empty())
        return std::string();
    wchar_t found[MAX_PATH] = {};
    const DWORD length
        = SearchPathW(nullptr, Core::WstringFromUtf8(recorded).c_str(), L".exe", MAX_PATH, found, nullptr);
    if (length == 0 || length >= MAX_PATH)
        return std::string();
    const DWORD attributes = GetFileAttributesW(found);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::string();
    return Core::Utf8FromWstring(found);
}

bool OpenWithDesktop(const std::string& url)
{
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", Core::WstringFromUtf8(url).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

std::string UserAgentPlatform()
{
    return "Windows NT 10.0; Win64; x64";
}

} // namespace Zentar::Browser::Platform
