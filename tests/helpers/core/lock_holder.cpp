// Takes a named lock, prints "locked" (or "busy") and waits for standard input
// to close or to be killed.
//   lock_holder NAME         the named lock NAME
//   lock_holder --file PATH  the file lock on PATH
#include <Zentar/Core/FileLock.h>
#include <Zentar/Core/NamedLock.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    bool locked = false;
    Zentar::Core::NamedLock named(argv[1]);
    Zentar::Core::FileLock file(argc > 2 ? argv[2] : "");
    if (argc > 2 && std::strcmp(argv[1], "--file") == 0)
        locked = file.TryLock() == Zentar::Core::FileLock::Attempt::Locked;
    else
        locked = named.TryLock();
    std::printf("%s\n", locked ? "locked" : "busy");
    std::fflush(stdout);
    std::string line;
    std::getline(std::cin, line);
    return locked ? 0 : 1;
}
