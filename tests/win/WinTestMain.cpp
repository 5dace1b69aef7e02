#define DOCTEST_CONFIG_IMPLEMENT
#include "WinTest.h"

#include <Zentar/Core/StringConv.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>

namespace Zentar::WinTest
{
namespace
{

std::map<std::string, ChildMain>& Modes()
{
    static std::map<std::string, ChildMain> modes;
    return modes;
}

std::wstring Quoted(const std::wstring& word)
{
    return word.find_first_of(L" \t") == std::wstring::npos ? word : L"\"" + word + L"\"";
}

// Stays until killed.
int HoldForever(const std::vector<std::string>&)
{
    Sleep(INFINITE);
    return 0;
}
ZENTAR_WIN_CHILD(HoldForever);

} // namespace

ChildMode::ChildMode(const char* name, ChildMain main)
{
    Modes()[name] = main;
}

int RunChild(const std::string& name, const std::vector<std::string>& args)
{
    const auto found = Modes().find(name);
    if (found == Modes().end()) {
        std::fprintf(stderr, "no child mode %s\n", name.c_str());
        return 120;
    }
    return found->second(args);
}

std::wstring Wide(const std::string& utf8)
{
    return Core::WstringFromUtf8(utf8);
}

std::string Narrow(const std::wstring& wide)
{
    return Core::Utf8FromWstring(wide);
}

bool RunningOnWine()
{
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

std::string UniqueName(const std::string& what)
{
    // Wine hands out the same few process ids run after run, so the start
    // time tells runs apart.
    static const unsigned long long run = GetTickCount64();
    static std::atomic<int> counter { 0 };
    return "zentar-test-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(run) + "-"
        + std::to_string(++counter) + "-" + what;
}

std::wstring ExecutablePath()
{
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path;
}

Child::Child(const std::string& mode, const std::vector<std::string>& args)
{
    std::wstring line = Quoted(ExecutablePath()) + L" --child " + Wide(mode);
    for (const std::string& arg : args)
        line += L" " + Quoted(Wide(arg));
    STARTUPINFOW startup {};
    startup.cb = sizeof(startup);
    REQUIRE_MESSAGE(
        CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &m_info),
        "CreateProcessW failed for mode " << mode << ": error " << GetLastError());
}

Child::~Child()
{
    if (!m_info.hProcess)
        return;
    Kill();
    CloseHandle(m_info.hThread);
    CloseHandle(m_info.hProcess);
}

void Child::Kill()
{
    TerminateProcess(m_info.hProcess, 99);
    WaitForSingleObject(m_info.hProcess, kPeerTimeoutMs);
}

bool Child::WaitExit(DWORD timeoutMs, DWORD* code)
{
    if (WaitForSingleObject(m_info.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return false;
    if (code)
        GetExitCodeProcess(m_info.hProcess, code);
    return true;
}

SharedEvent::SharedEvent()
    : m_name(UniqueName("event"))
    , m_handle(CreateEventW(nullptr, TRUE, FALSE, Wide(m_name).c_str()))
{
    REQUIRE_MESSAGE(m_handle != nullptr, "CreateEventW failed: error " << GetLastError());
}

SharedEvent::SharedEvent(const std::string& name)
    : m_name(name)
    , m_handle(OpenEventW(EVENT_MODIFY_STATE | SYNCHRONIZE, FALSE, Wide(name).c_str()))
{
}

SharedEvent::~SharedEvent()
{
    if (m_handle)
        CloseHandle(m_handle);
}

TempDir::TempDir()
{
    wchar_t base[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, base);
    m_path = Narrow(base) + UniqueName("dir");
    REQUIRE_MESSAGE(CreateDirectoryW(Wide(m_path).c_str(), nullptr),
        "cannot create " << m_path << ": error " << GetLastError());
}

TempDir::~TempDir()
{
    // A killed child may keep its working folder a moment longer.
    const std::filesystem::path path(Wide(m_path));
    std::error_code error;
    for (int i = 0; i < 500; ++i) {
        std::filesystem::remove_all(path, error);
        if (!error)
            return;
        Sleep(10);
    }
    MESSAGE("cannot remove " << m_path << ": " << error.message());
}

bool WriteFile(const std::string& path, const std::string& content)
{
    std::ofstream out(std::filesystem::path(Wide(path)), std::ios::binary);
    out << content;
    return static_cast<bool>(out);
}

bool Exists(const std::string& path)
{
    return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace Zentar::WinTest

// `--child <mode> args...` runs a mode for a case in another process; any
// other command line runs the cases (doctest's options apply).
int main(int argc, char** argv)
{
    if (argc >= 3 && std::string(argv[1]) == "--child")
        return Zentar::WinTest::RunChild(argv[2], std::vector<std::string>(argv + 3, argv + argc));
    doctest::Context context(argc, argv);
    return context.run();
}
