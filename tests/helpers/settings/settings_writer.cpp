// Applies operations to a settings store, then exits:
//   zentar_settings_writer <product> <organization>
//       (int <key> <value> | remove <key> | get <key> | gets <key> <count>)...
// "get" prints the key's text value, or <none>; "gets" reads the key <count>
// times and prints nothing. The store is made under an application object and,
// for "gets", observed, as in a product, so that it watches its file.
#include <Zentar/Settings/SettingsManager.h>

#include <QCoreApplication>

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    QCoreApplication app(argc, argv);
    Zentar::App::SettingsManager settings(QString::fromUtf8(argv[1]), QString::fromUtf8(argv[2]));
    struct : Zentar::App::ISettingsManagerObserver {
        void OnSettingChanged(Zentar::App::ISettingsManager&, const std::string&) override { }
    } observer;
    for (int i = 3; i + 1 < argc; i += 2) {
        const std::string op = argv[i];
        if (op == "remove")
            settings.Remove(argv[i + 1]);
        else if (op == "get")
            std::printf("%s\n", settings.GetString(argv[i + 1], "<none>").c_str());
        else if ((op == "int" || op == "gets") && i + 2 < argc) {
            const int value = std::stoi(argv[i + 2]);
            if (op == "int")
                settings.SetInt(argv[i + 1], value);
            else {
                // Observed, as a product's store is, so that it watches its file.
                settings.RegisterObserver(&observer);
                for (int n = 0; n < value; ++n)
                    settings.GetString(argv[i + 1], std::string());
            }
            ++i;
        } else
            return 2;
    }
    return 0;
}
