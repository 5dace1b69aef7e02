#include "BrowserPlatform.h"

#include <Zentar/QtUtil/Utf8.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QStandardPaths>
#include <QTextStream>

#include <sys/utsname.h>

namespace Zentar::Browser::Platform
{

namespace
{

using Group = QHash<QString, QString>;

// The [groups] of a desktop-entry style file, each with its key/value lines.
QHash<QString, Group> ReadGroups(const QString& path)
{
    QHash<QString, Group> groups;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return groups;
    QTextStream in(&file);
    in.setCodec("UTF-8");
    Group* group = nullptr;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            group = &groups[line.mid(1, line.size() - 2)];
            continue;
        }
        const int equals = line.indexOf(QLatin1Char('='));
        if (group && equals > 0) {
            const QString key = line.left(equals).trimmed();
            if (!group->contains(key)) // the first of repeated keys counts
                group->insert(key, line.mid(equals + 1).trimmed());
        }
    }
    return groups;
}

// An XDG base-directory list: the home directory first, then the shared
// ones; relative entries are ignored, as the base-directory rules ask.
QStringList BaseDirs(const char* homeVariable, const QString& homeFallback, const char* dirsVariable,
    const QString& dirsFallback)
{
    QStringList dirs;
    QString home = qEnvironmentVariable(homeVariable);
    if (!QDir::isAbsolutePath(home))
        home = QDir::homePath() + homeFallback;
    dirs << home;
    QString shared = qEnvironmentVariable(dirsVariable);
    if (shared.isEmpty())
        shared = dirsFallback;
    for (const QString& dir : shared.split(QLatin1Char(':'), Qt::SkipEmptyParts))
        if (QDir::isAbsolutePath(dir) && !dirs.contains(dir))
            dirs << dir;
    return dirs;
}

QStringList ConfigDirs()
{
    return BaseDirs(
        "XDG_CONFIG_HOME", QStringLiteral("/.config"), "XDG_CONFIG_DIRS", QStringLiteral("/etc/xdg"));
}

QStringList DataDirs()
{
    return BaseDirs("XDG_DATA_HOME", QStringLiteral("/.local/share"), "XDG_DATA_DIRS",
        QStringLiteral("/usr/local/share:/usr/share"));
}

// The mimeapps.list files from the most to the least important: the user's
// and the system's configuration, then the user's and the system's
// applications folders; in each the current desktops' own lists first.
QStringList MimeAppsFiles()
{
    QStringList names;
    for (const QString& desktop :
        qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(QLatin1Char(':'), Qt::SkipEmptyParts))
        names << desktop.toLower() + QLatin1String("-mimeapps.list");
    names << QStringLiteral("mimeapps.list");

    QStringList files;
    for (const QString& dir : ConfigDirs())
        for (const QString& name : names)
            files << dir + QLatin1Char('/') + name;
    for (const QString& dir : DataDirs())
        for (const QString& name : names)
            files << dir + QLatin1String("/applications/") + name;
    return files;
}

QString FindDesktopFile(const QString& id)
{
    for (const QString& dir : DataDirs()) {
        const QString path = dir + QLatin1String("/applications/") + id;
        if (QFileInfo(path).isFile())
            return path;
    }
    return QString();
}

QString ExecutableFile(const QString& path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable() ? info.absoluteFilePath() : QString();
}

QString FindProgram(const QString& program)
{
    if (program.isEmpty())
        return QString();
    return QDir::isAbsolutePath(program) ? ExecutableFile(program) : QStandardPaths::findExecutable(program);
}

// The launcher a sandboxed application exports under its own id, which
// starts it as a plain program would.
QString FindExportedApp(const QString& appId)
{
    QStringList binDirs;
    for (const QString& dir : DataDirs()) {
        binDirs << dir + QLatin1String("/flatpak/exports/bin");
        // A data dir of the form <installation>/exports/share
        if (dir.endsWith(QLatin1String("/exports/share")))
            binDirs << QDir::cleanPath(dir + QLatin1String("/../bin"));
    }
    binDirs << QStringLiteral("/var/lib/flatpak/exports/bin");
    for (const QString& dir : binDirs)
        if (const QString found = ExecutableFile(dir + QLatin1Char('/') + appId); !found.isEmpty())
            return found;
    return QString();
}

bool IsFieldCode(const QString& word, const char* codes)
{
    return word.size() == 2 && word.at(0) == QLatin1Char('%') && QLatin1String(codes).contains(word.at(1));
}

// Field codes of an Exec line: the URL codes become "%s", the others go.
QStringList ExpandFieldCodes(const QStringList& words)
{
    QStringList result;
    for (const QString& word : words) {
        if (IsFieldCode(word, "uUfF"))
            result << QStringLiteral("%s");
        else if (!IsFieldCode(word, "icknNdDvm"))
            result << word;
    }
    return result;
}

// `env NAME=value... program args`: started directly with the variables
// added, so that a program that is gone fails to start instead of leaving
// env to fail quietly. With options of its own env stays the launcher.
Command FromEnvLine(const QStringList& words)
{
    Command command;
    bool plain = true;
    int at = 1;
    QStringList assignments;
    for (; at < words.size(); ++at) {
        const QString& word = words.at(at);
        if (word == QLatin1String("--")) {
            plain = false;
            ++at;
            break;
        }
        if (word.startsWith(QLatin1Char('-'))) {
            plain = false;
            if (word == QLatin1String("-u") || word == QLatin1String("--unset") || word == QLatin1String("-C")
                || word == QLatin1String("--chdir"))
                ++at; // the option's value
            continue;
        }
        if (!word.contains(QLatin1Char('=')))
            break;
        assignments << word;
    }
    const QString program = FindProgram(words.value(at));
    command.executable = Util::QStringToUtf8(program);
    if (plain) {
        command.program = command.executable;
        for (const QString& assignment : assignments)
            command.environment.push_back(Util::QStringToUtf8(assignment));
        for (const QString& word : words.mid(at + 1))
            command.arguments.push_back(Util::QStringToUtf8(word));
    } else {
        command.program = Util::QStringToUtf8(FindProgram(words.first()));
        for (const QString& word : words.mid(1))
            command.arguments.push_back(Util::QStringToUtf8(word));
    }
    return command;
}

// `flatpak run [options] APP-ID args`: flatpak starts it, and the browser is
// the application's exported launcher, or its id when it exports none.
Command FromFlatpakLine(const QStringList& words)
{
    static const QStringList kValued = { QStringLiteral("--branch"), QStringLiteral("--arch"),
        QStringLiteral("--command"), QStringLiteral("--cwd"), QStringLiteral("--runtime"),
        QStringLiteral("--runtime-version"), QStringLiteral("--commit"), QStringLiteral("--runtime-commit") };
    Command command;
    command.program = Util::QStringToUtf8(FindProgram(words.first()));
    for (const QString& word : words.mid(1))
        command.arguments.push_back(Util::QStringToUtf8(word));
    for (int at = 2; at < words.size(); ++at) {
        const QString& word = words.at(at);
        if (kValued.contains(word)) {
            ++at;
            continue;
        }
        if (word.startsWith(QLatin1Char('-')))
            continue;
        const QString exported = FindExportedApp(word);
        command.executable = Util::QStringToUtf8(exported.isEmpty() ? word : exported);
        break;
    }
    if (command.executable.empty())
        command.program.clear(); // no application named: nothing to start
    return command;
}

bool IsTrue(const QString& value)
{
    return value == QLatin1String("true");
}

// How to start the program of a desktop entry; nothing for an entry that is
// hidden, needs a terminal, or whose program is not there.
std::optional<Command> CommandOfDesktopEntry(const QString& path)
{
    const Group entry = ReadGroups(path).value(QStringLiteral("Desktop Entry"));
    if (IsTrue(entry.value(QStringLiteral("Hidden"))) || IsTrue(entry.value(QStringLiteral("Terminal"))))
        return std::nullopt;
    const QStringList words = ExpandFieldCodes(QProcess::splitCommand(entry.value(QStringLiteral("Exec"))));
    if (words.isEmpty())
        return std::nullopt;

    const QString launcher = QFileInfo(words.first()).fileName();
    Command command;
    if (launcher == QLatin1String("env")) {
        command = FromEnvLine(words);
    } else if (launcher == QLatin1String("flatpak") && words.value(1) == QLatin1String("run")) {
        command = FromFlatpakLine(words);
    } else {
        command.program = Util::QStringToUtf8(FindProgram(words.first()));
        command.executable = command.program;
        for (const QString& word : words.mid(1))
            command.arguments.push_back(Util::QStringToUtf8(word));
    }
    if (command.program.empty() || command.executable.empty())
        return std::nullopt;
    return command;
}

// The types a web browser is registered for, the most telling first.
const QStringList& BrowserTypes()
{
    static const QStringList kTypes = { QStringLiteral("x-scheme-handler/https"),
        QStringLiteral("x-scheme-handler/http"), QStringLiteral("text/html") };
    return kTypes;
}

QStringList Ids(const QHash<QString, Group>& list, const char* group, const QString& type)
{
    return list.value(QLatin1String(group)).value(type).split(QLatin1Char(';'), Qt::SkipEmptyParts);
}

} // namespace

// For each type, the defaults of all lists come before any added
// association; an application removed from a type in one list is no longer
// associated in that list and every less important one.
std::optional<Command> DesktopDefaultBrowser()
{
    QList<QHash<QString, Group>> lists;
    for (const QString& file : MimeAppsFiles())
        if (QFileInfo(file).isFile())
            lists << ReadGroups(file);

    for (const QString& type : BrowserTypes()) {
        for (const char* group : { "Default Applications", "Added Associations" }) {
            QStringList removed;
            for (const auto& list : lists) {
                removed << Ids(list, "Removed Associations", type);
                for (const QString& id : Ids(list, group, type)) {
                    if (removed.contains(id))
                        continue;
                    const QString desktopFile = FindDesktopFile(id);
                    if (desktopFile.isEmpty())
                        continue;
                    if (auto command = CommandOfDesktopEntry(desktopFile))
                        return command;
                }
            }
        }
    }
    return std::nullopt;
}

// www-browser names a text-mode browser, which needs a terminal.
std::vector<std::string> GenericBrowserPrograms()
{
    return { "x-www-browser" };
}

std::string ResolveRecordedBrowser(const std::string& recorded)
{
    // Launchers were recorded by earlier versions in place of the browser
    // they started; a text-mode browser needs a terminal.
    static const QStringList kUnfit
        = { QStringLiteral("env"), QStringLiteral("flatpak"), QStringLiteral("www-browser") };
    const QString name = Util::Utf8ToQString(recorded);
    if (name.isEmpty() || kUnfit.contains(QFileInfo(name).fileName()))
        return std::string();
    QString found = FindProgram(name);
    if (found.isEmpty() && !name.contains(QLatin1Char('/')))
        found = FindExportedApp(name);
    return Util::QStringToUtf8(found);
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
