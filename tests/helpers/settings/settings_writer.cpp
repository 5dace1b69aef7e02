// Applies operations to a settings store, then exits:
//   zentar_settings_writer <product> <organization> (int <key> <value> | remove <key> | get <key>)...
// "get" prints the key's text value, or <none>.
#include <Zentar/Settings/SettingsManager.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    Zentar::App::SettingsManager settings(QString::fromUtf8(argv[1]), QString::fromUtf8(argv[2]));
    for (int i = 3; i + 1 < argc; i += 2) {
        const std::string op = argv[i];
        if (op == "remove")
            settings.Remove(argv[i + 1]);
        else if (op == "get")
            std::printf("%s\n", settings.GetString(argv[i + 1], "<none>").c_str());
        else if (op == "int" && i + 2 < argc) {
            settings.SetInt(argv[i + 1], std::stoi(argv[i + 2]));
            ++i;
        } else
            return 2;
    }
    return 0;
}
