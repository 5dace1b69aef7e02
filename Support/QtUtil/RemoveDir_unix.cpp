#include "OsUtil.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Zentar::Util::Os
{

namespace
{

struct Cleaner {
    bool removeAll;
    time_t limit; // entries modified before this go
    std::vector<std::string>& errors;
    bool ok = true;

    void Fail(const std::string& path, int error)
    {
        errors.push_back(path + ": " + std::strerror(error));
        ok = false;
    }

    bool IsOld(const struct stat& st) const { return removeAll || st.st_mtime < limit; }

    // Cleans the open directory `fd` (which it closes); returns whether it is
    // empty afterwards and, in `removedAny`, whether anything was removed.
    bool Clean(int fd, const std::string& path, bool& removedAny)
    {
        DIR* dir = fdopendir(fd);
        if (!dir) {
            Fail(path, errno);
            close(fd);
            return false;
        }
        bool empty = true;
        removedAny = false;
        while (struct dirent* entry = readdir(dir)) {
            const char* name = entry->d_name;
            if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
                continue;
            const std::string entryPath = path + "/" + name;
            struct stat st;
            if (fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
                if (errno != ENOENT) {
                    Fail(entryPath, errno);
                    empty = false;
                }
                continue;
            }
            if (S_ISDIR(st.st_mode)) {
                // O_NOFOLLOW: the directory may have been swapped for a link
                // since fstatat looked at it.
                const int sub = openat(fd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
                if (sub < 0) {
                    Fail(entryPath, errno);
                    empty = false;
                    continue;
                }
                bool removedInside = false;
                const bool subEmpty = Clean(sub, entryPath, removedInside);
                if (subEmpty && (removedInside || IsOld(st))) {
                    if (unlinkat(fd, name, AT_REMOVEDIR) == 0) {
                        removedAny = true;
                        continue;
                    }
                    Fail(entryPath, errno);
                }
                empty = false;
                continue;
            }
            if (!IsOld(st)) {
                empty = false;
                continue;
            }
            if (unlinkat(fd, name, 0) == 0 || errno == ENOENT) {
                removedAny = true;
            } else {
                Fail(entryPath, errno);
                empty = false;
            }
        }
        closedir(dir);
        return empty;
    }
};

} // namespace

bool RemoveOldEntries(
    const std::string& pathUtf8, int days, bool removeSelf, std::vector<std::string>& errors)
{
    const int fd = open(pathUtf8.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return true;
        if (errno == ENOTDIR || errno == ELOOP)
            errors.push_back(pathUtf8 + ": not a directory (symbolic links are not followed)");
        else
            errors.push_back(pathUtf8 + ": " + std::strerror(errno));
        return false;
    }
    Cleaner cleaner { days <= 0, std::time(nullptr) - time_t(days) * 24 * 60 * 60, errors };
    bool removedAny = false;
    const bool empty = cleaner.Clean(fd, pathUtf8, removedAny);
    if (removeSelf && empty && rmdir(pathUtf8.c_str()) != 0)
        cleaner.Fail(pathUtf8, errno);
    return cleaner.ok;
}

} // namespace Zentar::Util::Os
