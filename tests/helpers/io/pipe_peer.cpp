// The other process of the pipe tests: opens the pipe pair made by the test
// (args: mode readPipe writePipe) and then, by mode:
//   echo              sends every message back until it receives "quit"
//   raw <hex>...      writes each argument's bytes as they are, no framing
// Prints "opening" first; errors exit with code 3.
#include <Zentar/IO/CommunicationChannel.h>
#include <Zentar/IO/DataInputPipe.h>
#include <Zentar/IO/DataOutputPipe.h>
#include <Zentar/IO/IOException.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace Zentar::Core;

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() < 3)
        return 2;
    try {
        std::puts("opening");
        std::fflush(stdout);
        if (args[0] == "raw") {
            auto output = DataOutputPipe::Create(args[2], false);
            for (size_t i = 3; i < args.size(); ++i) {
                std::string bytes;
                for (size_t j = 0; j + 1 < args[i].size(); j += 2)
                    bytes += static_cast<char>(std::stoi(args[i].substr(j, 2), nullptr, 16));
                output->Write(bytes.data(), bytes.size());
            }
            return 0;
        }
        auto channel = CommunicationChannel::Create(
            DataInputPipe::Create(args[1], false), DataOutputPipe::Create(args[2], false), true);
        for (std::string message; (message = channel->ReadText()) != "quit";)
            channel->WriteText(message);
    } catch (const IOException& e) {
        std::fprintf(stderr, "error: %s\n", e.what());
        return 3;
    }
    return 0;
}
