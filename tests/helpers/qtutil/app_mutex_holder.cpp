// Locks the names given with an AppMutexLocker, prints "locked" or "busy",
// then waits until standard input closes or the process is killed.
#include <Zentar/QtUtil/AppMutexLocker.h>

#include <cstdio>
#include <iostream>

int main(int argc, char** argv)
{
    std::list<std::string> names(argv + 1, argv + argc);
    Zentar::Util::AppMutexLocker locker(names);
    const bool locked = locker.TryLockAppMutex();
    std::printf("%s\n", locked ? "locked" : "busy");
    std::fflush(stdout);
    std::string line;
    std::getline(std::cin, line);
    return locked ? 0 : 1;
}
