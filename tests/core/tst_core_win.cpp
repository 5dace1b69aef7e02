// The Win32 side of Support/Core: named lock, file lock, the executable's
// location and run-time libraries, with real Windows objects and second
// processes.

#include "WinTest.h"

#include <Zentar/Core/AppLocations.h>
#include <Zentar/Core/DyLib.h>
#include <Zentar/Core/FileLock.h>
#include <Zentar/Core/NamedLock.h>

#include <chrono>
#include <thread>

using namespace Zentar::WinTest;
using Zentar::Core::FileLock;
using Zentar::Core::NamedLock;

namespace
{

// args: lock name, ready event. Holds the named lock until killed.
int HoldNamedLock(const std::vector<std::string>& args)
{
    NamedLock lock(args.at(0));
    if (!lock.TryLock())
        return 2;
    SharedEvent(args.at(1)).Set();
    Sleep(INFINITE);
    return 0;
}
ZENTAR_WIN_CHILD(HoldNamedLock);

// args: lock file, ready event, release event. Holds the file lock until the
// release event is set, then lets go and waits to be killed.
int HoldFileLock(const std::vector<std::string>& args)
{
    FileLock lock(args.at(0));
    if (!lock.Lock())
        return 2;
    SharedEvent(args.at(1)).Set();
    SharedEvent release(args.at(2));
    if (!release.Wait(INFINITE))
        return 3;
    lock.Unlock();
    Sleep(INFINITE);
    return 0;
}
ZENTAR_WIN_CHILD(HoldFileLock);

long long MsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
        .count();
}

} // namespace

TEST_CASE("a named lock is held across processes and freed when its holder is killed")
{
    const std::string name = UniqueName("{named-lock}");
    SharedEvent ready;
    Child holder("HoldNamedLock", { name, ready.Name() });
    REQUIRE_MESSAGE(ready.Wait(), "the holder did not take the lock");

    NamedLock mine(name);
    CHECK_FALSE(mine.TryLock());
    CHECK_FALSE(mine.IsLocked());

    holder.Kill();
    CHECK(mine.TryLock());
    CHECK(mine.IsLocked());

    // Held within this process too, until released.
    NamedLock other(name);
    CHECK_FALSE(other.TryLock());
    mine.Unlock();
    CHECK_FALSE(mine.IsLocked());
    CHECK(other.TryLock());
}

TEST_CASE("a file lock shuts out other processes, wakes a waiter, and dies with its holder")
{
    TempDir dir;
    const std::string path = dir / "lock";
    SharedEvent ready;
    SharedEvent release;
    Child holder("HoldFileLock", { path, ready.Name(), release.Name() });
    REQUIRE_MESSAGE(ready.Wait(), "the holder did not take the file lock");

    FileLock mine(path);
    CHECK(mine.TryLock() == FileLock::Attempt::Busy);
    CHECK_FALSE(mine.IsLocked());
    if (RunningOnWine()) {
        MESSAGE("timed file-lock waits not checked: Wine does not wait for an overlapped lock");
    } else {
        const auto start = std::chrono::steady_clock::now();
        CHECK(mine.TryLockFor(std::chrono::milliseconds(300)) == FileLock::Attempt::Busy);
        CHECK(MsSince(start) >= 250);
        CHECK_FALSE(mine.IsLocked());
    }

    // A waiter wakes when the holder lets go.
    bool locked = false;
    std::thread waiter([&] { locked = mine.Lock(); });
    release.Set();
    waiter.join();
    CHECK(locked);
    CHECK(mine.IsLocked());
    mine.Unlock();
    CHECK_FALSE(mine.IsLocked());

    // A killed holder leaves no lock behind.
    SharedEvent readyAgain;
    SharedEvent never;
    Child second("HoldFileLock", { path, readyAgain.Name(), never.Name() });
    REQUIRE(readyAgain.Wait());
    CHECK(mine.TryLock() == FileLock::Attempt::Busy);
    second.Kill();
    FileLock::Attempt attempt = mine.TryLock();
    for (int i = 0; i < 1000 && attempt == FileLock::Attempt::Busy; ++i) {
        Sleep(10);
        attempt = mine.TryLock();
    }
    CHECK(attempt == FileLock::Attempt::Locked);

    FileLock nowhere(dir / "missing\\folder\\lock");
    CHECK(nowhere.TryLock() == FileLock::Attempt::Unavailable);
    CHECK_FALSE(nowhere.Lock());
}

TEST_CASE("the executable's location")
{
    std::string expected = Narrow(ExecutablePath());
    for (char& c : expected)
        if (c == '\\')
            c = '/';
    const Zentar::ioPath path = Zentar::Core::AppLocations::ExecutablePath();
    CHECK(path.utf8string() == expected);
    CHECK(path.filename() == "zentar_win_tests.exe");

    const auto& locations = Zentar::Core::AppLocations::GetLocations();
    CHECK(locations.GetExecutableDir() == path.parent_path());
    CHECK(locations.GetResourcesPath() == path.parent_path() / "resources");
}

TEST_CASE("a run-time library: functions found by name, missing ones null")
{
    Zentar::Core::DyLib kernel;
    REQUIRE(kernel.Open("kernel32.dll"));
    CHECK(kernel.IsOpen());
    void* const found = kernel.GetProc("GetTickCount64");
    CHECK(found != nullptr);
    CHECK(found
        == reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetTickCount64")));
    CHECK(kernel.GetProc("NoSuchFunctionAnywhere") == nullptr);
    kernel.Close();
    CHECK_FALSE(kernel.IsOpen());
    CHECK(kernel.GetProc("GetTickCount64") == nullptr);

    // The DPI start-up helper's lookup.
    Zentar::Core::DyLib shcore;
    if (shcore.Open("Shcore.dll"))
        CHECK(shcore.GetProc("SetProcessDpiAwareness") != nullptr);

    Zentar::Core::DyLib missing;
    CHECK_FALSE(missing.Open("zentar-no-such-library.dll"));
    CHECK_FALSE(missing.IsOpen());
    CHECK(missing.GetProc("GetTickCount64") == nullptr);
}
