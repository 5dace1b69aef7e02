#include "BrowserPlatform.h"

#include <Zentar/QtUtil/Utf8.h>

#include <QDir>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QStandardPaths>
#include <QTextStream>

#include <sys/utsname.h>

namespace Zentar::Browser::Platform
{

namespace
{

// Key/value lines of one [group] of a desktop-entry style file.
QHash<QString, QString> ReadGroup(const QString& path, const QString& group)
{
    QHash<QString, QString> values;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return values;
    QTextStream in(&file);
    in.setCodec("UTF-8");
    bool inGroup = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            inGroup = line == QLatin1Char('[') + group + QLatin1Char(']');
            continue;
        }
        const int equals = line.indexOf(QLatin1Char('='));
        if (inGroup && equals > 0) {
            const QString key = line.left(equals).trimmed();
            if (!values.contains(key)) // the first of repeated keys counts
                values.insert(key, line.mid(equals + 1).trimmed());
        }
    }
    return values;
}

// The mimeapps.list files in the order the desktop reads them.
QStringList MimeAppsFiles()
{
    QStringList desktops;
    for (const QString& desktop :
        qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(QLatin1Char(':'), Qt::SkipEmptyParts))
        desktops << desktop.toLower() + QLatin1String("-mimeapps.list");
    desktops << QStringLiteral("mimeapps.list");

    QStringList files;
    for (const QString& dir : QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation))
        for (const QString& name : desktops)
            files << QDir(dir).filePath(name);
    for (const QString& dir : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        for (const QString& name : desktops)
            files << QDir(dir).filePath(QStringLiteral("applications/") + name);
    return files;
}

QString FindDesktopFile(const QString& id)
{
    return QStandardPaths::locate(QStandardPaths::GenericDataLocation, QStringLiteral("applications/") + id);
}

// The Exec line of a desktop entry, its field codes turned into "%s".
std::optional<Command> CommandOfDesktopEntry(const QString& path)
{
    const QString exec = ReadGroup(path, QStringLiteral("Desktop Entry")).value(QStringLiteral("Exec"));
    QStringList words = QProcess::splitCommand(exec);
    if (words.isEmpty())
        return std::nullopt;
    Command command { Util::QStringToUtf8(words.takeFirst()), {} };
    for (const QString& word : words) {
        if (word == QLatin1String("%u") || word == QLatin1String("%U") || word == QLatin1String("%f")
            || word == QLatin1String("%F")) {
            command.arguments.push_back("%s");
        } else if (word == QLatin1String("%i") || word == QLatin1String("%c")
            || word == QLatin1String("%k")) {
            continue;
        } else {
            command.arguments.push_back(Util::QStringToUtf8(word));
        }
    }
    return command;
}

} // namespace

std::optional<Command> DesktopDefaultBrowser()
{
    for (const QString& scheme :
        { QStringLiteral("x-scheme-handler/https"), QStringLiteral("x-scheme-handler/http") }) {
        for (const QString& list : MimeAppsFiles()) {
            const QString ids = ReadGroup(list, QStringLiteral("Default Applications")).value(scheme);
            for (const QString& id : ids.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
                const QString desktopFile = FindDesktopFile(id);
                if (desktopFile.isEmpty())
                    continue;
                if (auto command = CommandOfDesktopEntry(desktopFile))
                    return command;
            }
        }
    }
    return std::nullopt;
}

std::vector<std::string> GenericBrowserPrograms()
{
    return { "x-www-browser", "www-browser" };
}

bool OpenWithDesktop(const std::string& url)
{
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    return !opener.isEmpty() && QProcess::startDetached(opener, { Util::Utf8ToQString(url) });
}

std::string UserAgentPlatform()
{
    utsname names {};
    return std::string("X11; Linux ") + (uname(&names) == 0 ? names.machine : "x86_64");
}

} // namespace Zentar::Browser::Platform
