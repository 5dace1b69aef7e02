#pragma once

// What the cases of the Windows test program share: second processes of the
// same program, named events to hand-shake with them, and temporary folders.

#include <doctest/doctest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace Zentar::WinTest
{

// How long a hand-shake with a second process may take before a case fails.
constexpr DWORD kPeerTimeoutMs = 20000;

// A mode of this program run as a second process (`--child <name> args...`);
// its return value is the process's exit code.
using ChildMain = int (*)(const std::vector<std::string>& args);

struct ChildMode {
    ChildMode(const char* name, ChildMain main);
};

// Registers `function` (a ChildMain) as the child mode of its name.
#define ZENTAR_WIN_CHILD(function)                                                                           \
    static const ::Zentar::WinTest::ChildMode function##Mode(#function, function)

int RunChild(const std::string& name, const std::vector<std::string>& args);

std::wstring Wide(const std::string& utf8);
std::string Narrow(const std::wstring& wide);

// Whether this runs under Wine, for the few calls where Wine differs from
// Windows; a case that leaves a check out says so.
bool RunningOnWine();

// A name no other case or run uses: "zentar-test-<pid>-<run>-<n>-<what>".
std::string UniqueName(const std::string& what);

// This program's own path, with backslashes.
std::wstring ExecutablePath();

// This program run in another mode as a second process, started with
// CreateProcessW and killed with TerminateProcess when the object dies.
class Child
{
public:
    Child(const std::string& mode, const std::vector<std::string>& args = {});
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    HANDLE Process() const { return m_info.hProcess; }
    DWORD Pid() const { return m_info.dwProcessId; }
    // Kills the process and waits until it is gone.
    void Kill();
    // True when the process ended within `timeoutMs`; its exit code in `code`.
    bool WaitExit(DWORD timeoutMs, DWORD* code = nullptr);

private:
    PROCESS_INFORMATION m_info {};
};

// A named manual-reset event, made by the test and opened by a child.
class SharedEvent
{
public:
    SharedEvent(); // a new event with a unique name
    explicit SharedEvent(const std::string& name); // opens an existing one
    ~SharedEvent();
    SharedEvent(const SharedEvent&) = delete;
    SharedEvent& operator=(const SharedEvent&) = delete;

    const std::string& Name() const { return m_name; }
    HANDLE Handle() const { return m_handle; }
    void Set() { SetEvent(m_handle); }
    bool Wait(DWORD timeoutMs = kPeerTimeoutMs)
    {
        return WaitForSingleObject(m_handle, timeoutMs) == WAIT_OBJECT_0;
    }

private:
    std::string m_name;
    HANDLE m_handle = nullptr;
};

// A fresh folder under the temporary folder, removed with its content when
// the object dies. Paths are UTF-8 with backslashes.
class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "\\" + name; }

private:
    std::string m_path;
};

// Writes `content` to a new file; false when that failed.
bool WriteFile(const std::string& path, const std::string& content);
bool Exists(const std::string& path);

} // namespace Zentar::WinTest
