// The Win32 browser lookup: the default browser from the user's registry
// hive, and a recorded browser found on disk.

#include "WinTest.h"

#include "BrowserPlatform.h"

using namespace Zentar::WinTest;
namespace Platform = Zentar::Browser::Platform;

namespace
{

const wchar_t kAssociations[] = L"Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations\\";

void SetString(
    const std::wstring& key, const wchar_t* name, const std::wstring& value, HKEY root = HKEY_CURRENT_USER)
{
    HKEY handle = nullptr;
    REQUIRE(RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr)
        == ERROR_SUCCESS);
    const LONG result = RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
    REQUIRE(result == ERROR_SUCCESS);
}

std::wstring GetString(const std::wstring& key, const wchar_t* name)
{
    wchar_t value[512] = {};
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size)
        != ERROR_SUCCESS)
        return std::wstring();
    return value;
}

std::wstring ChoiceKey(const std::wstring& scheme)
{
    return kAssociations + scheme + L"\\UserChoice";
}

// Clears the user's choices for web links (Wine's own prefix makes one), and
// puts them back when the object dies.
struct NoChoices {
    std::wstring saved[2];
    NoChoices()
    {
        for (int i = 0; i < 2; ++i) {
            saved[i] = GetString(ChoiceKey(kSchemes[i]), L"ProgId");
            RegDeleteTreeW(HKEY_CURRENT_USER, ChoiceKey(kSchemes[i]).c_str());
        }
    }
    ~NoChoices()
    {
        for (int i = 0; i < 2; ++i) {
            RegDeleteTreeW(HKEY_CURRENT_USER, ChoiceKey(kSchemes[i]).c_str());
            if (!saved[i].empty())
                SetString(ChoiceKey(kSchemes[i]), L"ProgId", saved[i]);
        }
    }
    static constexpr const wchar_t* kSchemes[2] = { L"http", L"https" };
};

// The user's choice for a scheme and the command of its program class, both
// in the current user's hive; removed again with the object. Wine's classes
// root does not show the user's classes as Windows' does, so there the class
// goes into the classes root as well.
struct Association {
    std::wstring scheme;
    std::wstring progId = Wide(UniqueName("url"));

    Association(const wchar_t* scheme_, const std::wstring& command)
        : scheme(scheme_)
    {
        SetString(ChoiceKey(scheme), L"ProgId", progId);
        SetString(L"Software\\Classes\\" + progId + L"\\shell\\open\\command", nullptr, command);
        if (RunningOnWine())
            SetString(progId + L"\\shell\\open\\command", nullptr, command, HKEY_CLASSES_ROOT);
    }
    ~Association()
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, ChoiceKey(scheme).c_str());
        RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\Classes\\" + progId).c_str());
        if (RunningOnWine())
            RegDeleteTreeW(HKEY_CLASSES_ROOT, progId.c_str());
    }
};

} // namespace

TEST_CASE("the default browser comes from the user's URL association")
{
    NoChoices clean;
    CHECK_FALSE(Platform::DesktopDefaultBrowser().has_value());
    {
        Association http(L"http", L"\"C:\\Program Files\\Web Old\\old.exe\" \"%1\"");
        std::optional<Platform::Command> command = Platform::DesktopDefaultBrowser();
        REQUIRE(command.has_value());
        CHECK(command->program == "C:\\Program Files\\Web Old\\old.exe");

        // https first, when it is set.
        Association https(
            L"https", L"\"C:\\Program Files\\Zentar Web\\web.exe\" --new-window \"%1\" -x=%1%1");
        command = Platform::DesktopDefaultBrowser();
        REQUIRE(command.has_value());
        CHECK(command->program == "C:\\Program Files\\Zentar Web\\web.exe");
        CHECK(command->executable == command->program);
        CHECK(command->arguments == std::vector<std::string> { "--new-window", "%s", "-x=%s%s" });
        CHECK(command->environment.empty());
    }
    CHECK_FALSE(Platform::DesktopDefaultBrowser().has_value());

    // A choice whose class has no command is passed over.
    SetString(ChoiceKey(L"https"), L"ProgId", L"ZentarNoSuchClass");
    CHECK_FALSE(Platform::DesktopDefaultBrowser().has_value());
}

TEST_CASE("a recorded browser is found when it exists")
{
    const std::string self = Narrow(ExecutablePath());
    CHECK(Platform::ResolveRecordedBrowser(self) == self);
    CHECK(Platform::ResolveRecordedBrowser("").empty());
    CHECK(Platform::ResolveRecordedBrowser("C:\\zentar\\no-such-browser.exe").empty());
    TempDir dir;
    CHECK(Platform::ResolveRecordedBrowser(dir.Path()).empty());
    CHECK(Platform::UserAgentPlatform().find("Windows") != std::string::npos);
    CHECK(Platform::GenericBrowserPrograms().empty());
}
