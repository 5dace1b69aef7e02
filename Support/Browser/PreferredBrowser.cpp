#include <Zentar/Browser/PreferredBrowser.h>

#include "BrowserPlatform.h"

#include <Zentar/QtUtil/Utf8.h>

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace Zentar::Browser
{

namespace
{

// A program and its arguments, "%s" standing for the URL.
struct BrowserCommand {
    QString program;
    QStringList arguments;
};

// An absolute path to an executable file, or a program found on PATH.
QString Resolve(const QString& program)
{
    if (program.isEmpty())
        return QString();
    const QFileInfo info(program);
    if (info.isAbsolute())
        return info.isFile() && info.isExecutable() ? info.absoluteFilePath() : QString();
    return QStandardPaths::findExecutable(program);
}

// BROWSER holds commands separated by ':'; the first one that exists wins.
std::optional<BrowserCommand> FromBrowserVariable()
{
    const QString value = qEnvironmentVariable("BROWSER");
    for (const QString& entry : value.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        QStringList words = QProcess::splitCommand(entry);
        if (words.isEmpty())
            continue;
        const QString program = Resolve(words.takeFirst());
        if (!program.isEmpty())
            return BrowserCommand { program, words };
    }
    return std::nullopt;
}

std::optional<BrowserCommand> FindBrowser(const AbstractPreferredBrowser::PreferredBrowserContext& context)
{
    if (auto command = FromBrowserVariable())
        return command;
    if (const auto desktop = Platform::DesktopDefaultBrowser()) {
        BrowserCommand command { Resolve(Util::Utf8ToQString(desktop->program)), {} };
        for (const std::string& argument : desktop->arguments)
            command.arguments << Util::Utf8ToQString(argument);
        if (!command.program.isEmpty())
            return command;
    }
    for (const QString& recorded : { context.installerBrowser, context.previousBrowser }) {
        const QString program = Resolve(recorded);
        if (!program.isEmpty())
            return BrowserCommand { program, {} };
    }
    for (const std::string& generic : Platform::GenericBrowserPrograms()) {
        const QString program = Resolve(Util::Utf8ToQString(generic));
        if (!program.isEmpty())
            return BrowserCommand { program, {} };
    }
    return std::nullopt;
}

} // namespace

PreferredBrowser::PreferredBrowser() = default;
PreferredBrowser::~PreferredBrowser() = default;

QString PreferredBrowser::Path() const
{
    const auto command = FindBrowser(Context());
    return command ? command->program : QString();
}

QString PreferredBrowser::UserAgent() const
{
    const PreferredBrowserContext context = Context();
    QString agent = QStringLiteral("Mozilla/5.0 (") + Util::Utf8ToQString(Platform::UserAgentPlatform());
    if (!context.locale.isEmpty())
        agent += QStringLiteral("; ") + QString(context.locale).replace(QLatin1Char('_'), QLatin1Char('-'));
    agent += QLatin1Char(')');
    if (const auto command = FindBrowser(context))
        agent += QLatin1Char(' ') + QFileInfo(command->program).completeBaseName();
    return agent;
}

QStringList PreferredBrowser::OpenCommand(const QUrl& url) const
{
    const auto command = FindBrowser(Context());
    if (!command)
        return {};
    const QString text = url.toString(QUrl::FullyEncoded);
    QStringList result { command->program };
    bool placed = false;
    for (QString argument : command->arguments) {
        if (argument.contains(QLatin1String("%s"))) {
            argument.replace(QLatin1String("%s"), text);
            placed = true;
        }
        result << argument.replace(QLatin1String("%%"), QLatin1String("%"));
    }
    if (!placed)
        result << text;
    return result;
}

} // namespace Zentar::Browser
