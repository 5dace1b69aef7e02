#include "OsUtil.h"

#include <Zentar/Core/StringConv.h>

#include <windows.h>

namespace Zentar::Util::Os
{

namespace
{

std::string ErrorText(const std::wstring& path, DWORD error)
{
    return Core::Utf8FromWstring(path) + ": error " + std::to_string(error);
}

uint64_t Ticks(const FILETIME& time)
{
    return (uint64_t(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

struct Cleaner {
    bool removeAll;
    uint64_t limit; // entries written before this (100 ns ticks) go
    std::vector<std::string>& errors;
    bool ok = true;

    void Fail(const std::wstring& path, DWORD error)
    {
        errors.push_back(ErrorText(path, error));
        ok = false;
    }

    bool IsOld(const WIN32_FIND_DATAW& data) const
    {
        return removeAll || Ticks(data.ftLastWriteTime) < limit;
    }

    bool DeleteEntry(const std::wstring& path, const WIN32_FIND_DATAW& data)
    {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
            SetFileAttributesW(path.c_str(), data.dwFileAttributes & ~DWORD(FILE_ATTRIBUTE_READONLY));
        // A link to a directory (or a junction) is removed as a directory
        // entry; the directory it points to is not touched.
        const bool isDir = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (isDir ? RemoveDirectoryW(path.c_str()) : DeleteFileW(path.c_str()))
            return true;
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return true;
        Fail(path, error);
        return false;
    }

    // Returns whether `path` is empty afterwards and, in `removedAny`,
    // whether anything was removed from it.
    bool Clean(const std::wstring& path, bool& removedAny)
    {
        removedAny = false;
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileExW(
            (path + L"\\*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0);
        if (find == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_NOT_FOUND)
                return true;
            Fail(path, error);
            return false;
        }
        bool empty = true;
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring entryPath = path + L"\\" + name;
            const bool isLink = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
            const bool isDir = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            if (isDir && !isLink) {
                bool removedInside = false;
                if (Clean(entryPath, removedInside) && (removedInside || IsOld(data))) {
                    if (RemoveDirectoryW(entryPath.c_str())) {
                        removedAny = true;
                        continue;
                    }
                    Fail(entryPath, GetLastError());
                }
                empty = false;
                continue;
            }
            if (IsOld(data) && DeleteEntry(entryPath, data))
                removedAny = true;
            else
                empty = false;
        } while (FindNextFileW(find, &data));
        FindClose(find);
        return empty;
    }
};

} // namespace

bool RemoveOldEntries(
    const std::string& pathUtf8, int days, bool removeSelf, std::vector<std::string>& errors)
{
    std::wstring path = Core::WstringFromUtf8(pathUtf8);
    for (wchar_t& c : path)
        if (c == L'/')
            c = L'\\';
    while (path.size() > 1 && path.back() == L'\\')
        path.pop_back();

    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return true;
        errors.push_back(ErrorText(path, error));
        return false;
    }
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) || (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        errors.push_back(Core::Utf8FromWstring(path) + ": not a directory (symbolic links are not followed)");
        return false;
    }

    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const uint64_t span = uint64_t(days > 0 ? days : 0) * 24 * 60 * 60 * 10000000ULL;
    Cleaner cleaner { days <= 0, Ticks(now) - span, errors };
    bool removedAny = false;
    const bool empty = cleaner.Clean(path, removedAny);
    if (removeSelf && empty && !RemoveDirectoryW(path.c_str()))
        cleaner.Fail(path, GetLastError());
    return cleaner.ok;
}

} // namespace Zentar::Util::Os
