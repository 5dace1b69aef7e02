// The Win32 side of QtUtil's OS calls: removing old entries of a folder, and
// telling whether a process still runs a given executable.

#include "WinTest.h"

#include "OsUtil.h"

#include <chrono>
#include <ctime>

using namespace Zentar::WinTest;
namespace Os = Zentar::Util::Os;

namespace
{

// Sets the write time of `path` to `days` days ago.
void Age(const std::string& path, int days)
{
    const bool isDir = (GetFileAttributesW(Wide(path).c_str()) & FILE_ATTRIBUTE_DIRECTORY) != 0;
    HANDLE handle = CreateFileW(Wide(path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
        nullptr, OPEN_EXISTING, isDir ? FILE_FLAG_BACKUP_SEMANTICS : 0, nullptr);
    REQUIRE_MESSAGE(handle != INVALID_HANDLE_VALUE, "cannot open " << path);
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER t;
    t.LowPart = now.dwLowDateTime;
    t.HighPart = now.dwHighDateTime;
    t.QuadPart -= static_cast<ULONGLONG>(days) * 24 * 3600 * 10000000ULL;
    FILETIME then { t.LowPart, t.HighPart };
    REQUIRE(SetFileTime(handle, nullptr, nullptr, &then));
    CloseHandle(handle);
}

std::string MakeFile(const std::string& path, int ageDays)
{
    REQUIRE(WriteFile(path, "content"));
    if (ageDays > 0)
        Age(path, ageDays);
    return path;
}

std::string MakeDir(const std::string& path)
{
    REQUIRE(CreateDirectoryW(Wide(path).c_str(), nullptr));
    return path;
}

} // namespace

TEST_CASE("removing old entries keeps the new ones")
{
    TempDir dir;
    const std::string root = MakeDir(dir / "cache");
    const std::string oldFile = MakeFile(root + "\\old.txt", 10);
    const std::string newFile = MakeFile(root + "\\new.txt", 0);
    const std::string readOnly = MakeFile(root + "\\read-only.txt", 10);
    REQUIRE(SetFileAttributesW(Wide(readOnly).c_str(), FILE_ATTRIBUTE_READONLY));
    const std::string oldOnly = MakeDir(root + "\\old-only");
    MakeFile(oldOnly + "\\a.txt", 9);
    const std::string mixed = MakeDir(root + "\\mixed");
    const std::string mixedOld = MakeFile(mixed + "\\old.txt", 8);
    const std::string mixedNew = MakeFile(mixed + "\\new.txt", 0);
    const std::string emptyOld = MakeDir(root + "\\empty-old");
    Age(emptyOld, 30);
    const std::string emptyNew = MakeDir(root + "\\empty-new");

    std::vector<std::string> errors;
    CHECK(Os::RemoveOldEntries(root, 5, true, errors));
    CHECK(errors.empty());
    CHECK_FALSE(Exists(oldFile));
    CHECK_FALSE(Exists(readOnly));
    CHECK_FALSE(Exists(oldOnly));
    CHECK_FALSE(Exists(mixedOld));
    CHECK_FALSE(Exists(emptyOld));
    CHECK(Exists(newFile));
    CHECK(Exists(mixedNew));
    CHECK(Exists(emptyNew));
    CHECK(Exists(root)); // not empty, so kept despite removeSelf

    // Days 0: everything, the folder too; '/' separators are accepted.
    std::string slashed = root;
    for (char& c : slashed)
        if (c == '\\')
            c = '/';
    CHECK(Os::RemoveOldEntries(slashed + "/", 0, true, errors));
    CHECK(errors.empty());
    CHECK_FALSE(Exists(root));

    // Nothing there: nothing to do.
    CHECK(Os::RemoveOldEntries(root, 0, true, errors));
    // A file is not a folder.
    const std::string file = MakeFile(dir / "plain.txt", 0);
    CHECK_FALSE(Os::RemoveOldEntries(file, 0, true, errors));
    REQUIRE(errors.size() == 1);
    CHECK(errors[0].find("not a directory") != std::string::npos);
    CHECK(Exists(file));
}

TEST_CASE("a running process is known by its pid and executable")
{
    const std::string self = Narrow(ExecutablePath());
    Child child("HoldForever");
    CHECK(Os::IsProcessRunning(child.Pid(), self));
    // Windows paths: any case, either separator.
    std::string other = self;
    for (char& c : other)
        c = c == '\\' ? '/' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    CHECK(Os::IsProcessRunning(child.Pid(), other));
    // The pid runs another executable.
    CHECK_FALSE(Os::IsProcessRunning(child.Pid(), "C:\\Windows\\system32\\notepad.exe"));
    CHECK_FALSE(Os::IsProcessRunning(child.Pid(), ""));

    const int64_t started = Os::ProcessStartTimeMs(child.Pid());
    const int64_t now = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::system_clock::now().time_since_epoch())
                            .count();
    CHECK(started > now - 10 * 60 * 1000);
    CHECK(started <= now + 1000);

    const DWORD pid = child.Pid();
    child.Kill();
    CHECK_FALSE(Os::IsProcessRunning(pid, self));
    CHECK_FALSE(Os::IsProcessRunning(0, self));
    CHECK_FALSE(Os::IsProcessRunning(-5, self));
    CHECK(Os::ProcessStartTimeMs(-1) == -1);
}
