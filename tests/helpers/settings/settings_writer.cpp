// Opens a settings store and applies the operations given on the command
// line, then exits:
//   zentar_settings_writer <product> <organization> (<type> <key> <value> | remove <key>)...
// with <type> one of string, int, int64, double, bool, bytes (hex).
#include <Zentar/Settings/SettingsManager.h>

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    Zentar::App::SettingsManager settings(QString::fromUtf8(argv[1]), QString::fromUtf8(argv[2]));
    for (int i = 3; i < argc;) {
        const std::string op = argv[i];
        if (op == "remove" && i + 1 < argc) {
            settings.Remove(argv[i + 1]);
            i += 2;
            continue;
        }
        if (i + 2 >= argc)
            return 2;
        const std::string key = argv[i + 1];
        const std::string value = argv[i + 2];
        if (op == "string")
            settings.SetString(key, value);
        else if (op == "int")
            settings.SetInt(key, std::stoi(value));
        else if (op == "int64")
            settings.SetInt64(key, std::stoll(value));
        else if (op == "double")
            settings.SetDouble(key, std::stod(value));
        else if (op == "bool")
            settings.SetBool(key, value == "true");
        else if (op == "bytes") {
            const QByteArray bytes = QByteArray::fromHex(QByteArray::fromStdString(value));
            settings.SetByteArray(key, std::vector<unsigned char>(bytes.begin(), bytes.end()));
        } else
            return 2;
        i += 3;
    }
    std::puts("done");
    return 0;
}
