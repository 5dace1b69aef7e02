// The Win32 process layer of the application: starting through the shell,
// process handles, waits on a process and an event, the environment, named
// mutexes and window activation.

#include "WinTest.h"

#include "Platform/OsProcess.h"
#include "Platform/OsWindow.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

using namespace Zentar::WinTest;
namespace Os = Zentar::App::Os;

namespace
{

// args: exit code.
int ExitWith(const std::vector<std::string>& args)
{
    return std::atoi(args.at(0).c_str());
}
ZENTAR_WIN_CHILD(ExitWith);

// args: file. Writes the working folder into it, then waits to be killed.
int WriteWorkingFolder(const std::vector<std::string>& args)
{
    wchar_t folder[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, folder);
    if (!WriteFile(args.at(0), Narrow(folder)))
        return 2;
    Sleep(INFINITE);
    return 0;
}
ZENTAR_WIN_CHILD(WriteWorkingFolder);

std::string ReadAll(const std::string& path)
{
    std::ifstream in(std::filesystem::path(Wide(path)), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::wstring ChildParameters(const std::string& mode, const std::string& arg)
{
    return L"--child " + Wide(mode) + L" \"" + Wide(arg) + L"\"";
}

// A top-level window of this thread, destroyed with the object.
struct Window {
    HWND handle = nullptr;
    Window()
    {
        WNDCLASSW windowClass {};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"ZentarTestWindow";
        RegisterClassW(&windowClass);
        handle = CreateWindowExW(0, windowClass.lpszClassName, L"test", WS_OVERLAPPEDWINDOW, 120, 80, 400,
            300, nullptr, nullptr, windowClass.hInstance, nullptr);
        REQUIRE_MESSAGE(handle != nullptr, "CreateWindowExW failed: error " << GetLastError());
    }
    ~Window()
    {
        if (handle)
            DestroyWindow(handle);
    }
};

} // namespace

TEST_CASE("a program started through the shell: its handle, its exit and its parameters")
{
    const Os::ProcessHandle process
        = Os::StartWithShell(ExecutablePath(), L"--child ExitWith 7", L"", SW_HIDE);
    REQUIRE(process != 0);
    CHECK(Os::WaitForProcessOrEvent(process, 0, kPeerTimeoutMs) == Os::WaitResult::ProcessEnded);
    DWORD code = 0;
    CHECK(GetExitCodeProcess(reinterpret_cast<HANDLE>(process), &code));
    CHECK(code == 7);
    Os::CloseProcessHandle(process);
    // A missing program is not tried: the shell then shows an error box,
    // which nobody would close.
}

TEST_CASE("a program started through the shell runs in the folder given")
{
    TempDir dir;
    TempDir other;
    const std::string report = other / "folder.txt";
    const Os::ProcessHandle process = Os::StartWithShell(
        ExecutablePath(), ChildParameters("WriteWorkingFolder", report), Wide(dir.Path()), SW_HIDE);
    REQUIRE(process != 0);
    const Os::EventHandle never = Os::CreateManualResetEvent();
    for (int i = 0; i < 200 && !Exists(report); ++i)
        CHECK(Os::WaitForProcessOrEvent(process, never, 50) == Os::WaitResult::TimedOut);
    CHECK(ReadAll(report) == dir.Path());
    TerminateProcess(reinterpret_cast<HANDLE>(process), 1);
    CHECK(Os::WaitForProcessOrEvent(process, never, kPeerTimeoutMs) == Os::WaitResult::ProcessEnded);
    Os::CloseEvent(never);
    Os::CloseProcessHandle(process);
}

TEST_CASE("waiting on a process and an event together")
{
    Child sleeper("HoldForever");
    const Os::ProcessHandle process = Os::OpenProcess(sleeper.Pid());
    REQUIRE(process != 0);
    const Os::EventHandle event = Os::CreateManualResetEvent();
    REQUIRE(event != 0);

    CHECK(Os::WaitForProcessOrEvent(process, event, 100) == Os::WaitResult::TimedOut);
    Os::SetEvent(event);
    CHECK(Os::WaitForProcessOrEvent(process, event, 0) == Os::WaitResult::EventSet);
    CHECK(Os::WaitForProcessOrEvent(0, event) == Os::WaitResult::EventSet);
    // Manual reset: it stays set.
    CHECK(Os::WaitForProcessOrEvent(0, event, 0) == Os::WaitResult::EventSet);

    sleeper.Kill();
    // Both signalled: the process wins.
    CHECK(Os::WaitForProcessOrEvent(process, event) == Os::WaitResult::ProcessEnded);
    CHECK(Os::WaitForProcessOrEvent(0, 0, 0) == Os::WaitResult::Failed);
    Os::CloseEvent(event);
    Os::CloseProcessHandle(process);

    CHECK(Os::OpenProcess(0xFFFFFFF0u) == 0);
}

TEST_CASE("process identity, environment and named mutexes")
{
    CHECK(Os::GetCurrentProcessId() == ::GetCurrentProcessId());

    Os::PutEnvironment(L"ZENTAR_WIN_TEST_VARIABLE=ümlaut value");
    const wchar_t* value = _wgetenv(L"ZENTAR_WIN_TEST_VARIABLE");
    REQUIRE(value != nullptr);
    CHECK(Narrow(value) == "ümlaut value");

    const std::wstring name = Wide(UniqueName("{mutex}"));
    {
        const std::shared_ptr<void> mutex = Os::CreateNamedMutex(name);
        CHECK(mutex.get() != nullptr);
        HANDLE again = CreateMutexW(nullptr, FALSE, name.c_str());
        CHECK(GetLastError() == ERROR_ALREADY_EXISTS);
        CloseHandle(again);
    }
    HANDLE fresh = CreateMutexW(nullptr, FALSE, name.c_str());
    CHECK(GetLastError() != ERROR_ALREADY_EXISTS);
    CloseHandle(fresh);
    // An unusable name still gives a handle, which holds nothing.
    CHECK(Os::CreateNamedMutex(L"Global\\no\\such\\namespace").use_count() == 1);
}

TEST_CASE("activating a window")
{
    Window window;
    CHECK(Os::ActivateWindow(reinterpret_cast<Os::WindowId>(window.handle)));
    CHECK_FALSE(Os::ActivateWindow(0));
    const HWND gone = window.handle;
    DestroyWindow(window.handle);
    window.handle = nullptr;
    CHECK_FALSE(Os::ActivateWindow(reinterpret_cast<Os::WindowId>(gone)));
}
