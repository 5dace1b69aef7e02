#include "ChannelPipes.h"

#include <QDir>
#include <QFile>

#include <cstdio>

namespace
{

// Frames as the writer sends them, alone, in a row, cut short, among noise
// and with a broken header.
void WriteSeeds(const QString& dir)
{
    Fuzz::ChannelPipes pipes("fuzz-seeds");
    const auto channel = pipes.NewChannel();
    const auto frame = [&](const std::string& message) {
        channel->WriteText(message);
        return pipes.Drain();
    };
    const std::string closed = frame("applicationClosed");
    const std::string yes = frame("yes=4194305");
    const std::string empty = frame(std::string());
    const std::string big = frame(std::string(300, 'x'));
    std::string broken = frame("no");
    broken[9] ^= 1;

    const std::pair<const char*, std::string> seeds[] = {
        { "closed", closed },
        { "yes", yes },
        { "empty", empty },
        { "big", big },
        { "sequence", closed + yes + empty },
        { "cut", closed + yes.substr(0, 7) },
        { "noise", "ZMS" + std::string("garbage ZM") + closed + "ZMSG\x01" + yes },
        { "broken", broken + closed },
    };
    QDir().mkpath(dir);
    for (const auto& [name, bytes] : seeds)
        Fuzz::WriteFile(dir + QLatin1Char('/') + QLatin1String(name), bytes);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <seed folder>\n", argv[0]);
        return 2;
    }
    const QString dir = QDir::current().absoluteFilePath(QString::fromLocal8Bit(argv[1]));
    Fuzz::PrepareEnvironment();
    WriteSeeds(dir);
    return 0;
}
