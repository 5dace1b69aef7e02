// The other process of the pipe tests. Opens (or with --create makes) a pipe
// pair and then, by mode:
//   echo              sends every message back until it receives "quit"
//   raw <hex>...      writes each argument's bytes as they are, no framing
//   hold              keeps the pipes open until stdin closes
// Prints "opening", then "ready" once connected; errors go to stderr with
// exit code 3.
#include <Zentar/IO/CommunicationChannel.h>
#include <Zentar/IO/DataInputPipe.h>
#include <Zentar/IO/DataOutputPipe.h>
#include <Zentar/IO/IOException.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

using namespace Zentar::Core;

namespace
{

void Say(const char* line)
{
    std::printf("%s\n", line);
    std::fflush(stdout);
}

std::string FromHex(const std::string& hex)
{
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

void WaitForStdinToClose()
{
    std::string line;
    while (std::getline(std::cin, line)) { }
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    bool create = false;
    if (!args.empty() && args.front() == "--create") {
        create = true;
        args.erase(args.begin());
    }
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: pipe_peer [--create] mode readPipe writePipe [args]\n");
        return 2;
    }
    const std::string mode = args[0];
    try {
        Say("opening");
        if (mode == "raw") {
            auto output = DataOutputPipe::Create(args[2], create);
            Say("ready");
            for (size_t i = 3; i < args.size(); ++i) {
                const std::string bytes = FromHex(args[i]);
                output->Write(bytes.data(), bytes.size());
            }
            return 0;
        }
        auto input = DataInputPipe::Create(args[1], create);
        auto output = DataOutputPipe::Create(args[2], create);
        auto channel = CommunicationChannel::Create(input, output, true);
        Say("ready");
        if (mode == "echo") {
            for (;;) {
                const std::string message = channel->ReadText();
                if (message == "quit")
                    return 0;
                channel->WriteText(message);
            }
        } else if (mode == "hold") {
            WaitForStdinToClose();
        } else {
            std::fprintf(stderr, "unknown mode %s\n", mode.c_str());
            return 2;
        }
    } catch (const IOException& e) {
        std::fprintf(stderr, "error: %s\n", e.what());
        return 3;
    }
    return 0;
}
