// Takes a named lock, prints "locked" (or "busy") and waits for standard input
// to close or to be killed.
#include <Zentar/Core/NamedLock.h>

#include <cstdio>
#include <iostream>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    Zentar::Core::NamedLock lock(argv[1]);
    const bool locked = lock.TryLock();
    std::printf("%s\n", locked ? "locked" : "busy");
    std::fflush(stdout);
    std::string line;
    std::getline(std::cin, line);
    return locked ? 0 : 1;
}
