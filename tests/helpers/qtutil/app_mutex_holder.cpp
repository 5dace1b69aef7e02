// Locks the names given, prints "locked" or "busy", then waits until
// standard input closes or the process is killed.
#include <Zentar/QtUtil/AppMutexLocker.h>

#include <iostream>

int main(int argc, char** argv)
{
    Zentar::Util::AppMutexLocker locker(std::list<std::string>(argv + 1, argv + argc));
    const bool locked = locker.TryLockAppMutex();
    std::cout << (locked ? "locked" : "busy") << std::endl;
    std::string line;
    std::getline(std::cin, line);
    return locked ? 0 : 1;
}
