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

// A browser found, and how to start it; "%s" in an argument stands for the URL.
struct Candidate {
    QString executable; // the browser itself: what Path() names
    AbstractPreferredBrowser::Launch launch;
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

Candidate Plain(const QString& program, const QStringList& arguments = {})
{
    return { program, { program, arguments, {} } };
}

// BROWSER holds commands separated by ':', tried in their order.
void AddFromBrowserVariable(QList<Candidate>& candidates)
{
    const QString value = qEnvironmentVariable("BROWSER");
    for (const QString& entry : value.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        QStringList words = QProcess::splitCommand(entry);
        if (words.isEmpty())
            continue;
        const QString program = Resolve(words.takeFirst());
        if (!program.isEmpty())
            candidates << Plain(program, words);
    }
}

void AddDesktopDefault(QList<Candidate>& candidates)
{
    const auto desktop = Platform::DesktopDefaultBrowser();
    if (!desktop)
        return;
    Candidate candidate;
    candidate.executable = Util::Utf8ToQString(desktop->executable);
    candidate.launch.program = Util::Utf8ToQString(desktop->program);
    for (const std::string& argument : desktop->arguments)
        candidate.launch.arguments << Util::Utf8ToQString(argument);
    for (const std::string& assignment : desktop->environment)
        candidate.launch.environment << Util::Utf8ToQString(assignment);
    candidates << candidate;
}

// Every browser that can be started, the preferred one first. A browser is
// listed once, where it ranks highest.
QList<Candidate> FindBrowsers(const AbstractPreferredBrowser::PreferredBrowserContext& context)
{
    QList<Candidate> found;
    AddFromBrowserVariable(found);
    AddDesktopDefault(found);
    for (const QString& recorded : { context.installerBrowser, context.previousBrowser }) {
        const QString program
            = Util::Utf8ToQString(Platform::ResolveRecordedBrowser(Util::QStringToUtf8(recorded)));
        if (!program.isEmpty())
            found << Plain(program);
    }
    for (const std::string& generic : Platform::GenericBrowserPrograms()) {
        const QString program = Resolve(Util::Utf8ToQString(generic));
        if (!program.isEmpty())
            found << Plain(program);
    }

    QList<Candidate> unique;
    QStringList seen;
    for (const Candidate& candidate : found) {
        if (seen.contains(candidate.executable))
            continue;
        seen << candidate.executable;
        unique << candidate;
    }
    return unique;
}

// "firefox" for /usr/bin/firefox, C:\...\firefox.exe and the sandboxed
// application org.mozilla.firefox alike.
QString BrowserName(const QString& executable)
{
    QString name = QFileInfo(executable).fileName();
    if (name.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive))
        name.chop(4);
    return name.count(QLatin1Char('.')) >= 2 ? name.mid(name.lastIndexOf(QLatin1Char('.')) + 1) : name;
}

} // namespace

PreferredBrowser::PreferredBrowser() = default;
PreferredBrowser::~PreferredBrowser() = default;

QString PreferredBrowser::Path() const
{
    const QList<Candidate> browsers = FindBrowsers(Context());
    return browsers.isEmpty() ? QString() : browsers.first().executable;
}

QString PreferredBrowser::UserAgent() const
{
    const PreferredBrowserContext context = Context();
    QString agent = QStringLiteral("Mozilla/5.0 (") + Util::Utf8ToQString(Platform::UserAgentPlatform());
    if (!context.locale.isEmpty())
        agent += QStringLiteral("; ") + QString(context.locale).replace(QLatin1Char('_'), QLatin1Char('-'));
    agent += QLatin1Char(')');
    const QList<Candidate> browsers = FindBrowsers(context);
    if (!browsers.isEmpty())
        agent += QLatin1Char(' ') + BrowserName(browsers.first().executable);
    return agent;
}

QList<AbstractPreferredBrowser::Launch> PreferredBrowser::OpenCommands(const QUrl& url) const
{
    const QString text = url.toString(QUrl::FullyEncoded);
    QList<Launch> launches;
    for (const Candidate& browser : FindBrowsers(Context())) {
        Launch launch { browser.launch.program, {}, browser.launch.environment };
        bool placed = false;
        for (QString argument : browser.launch.arguments) {
            if (argument.contains(QLatin1String("%s"))) {
                argument.replace(QLatin1String("%s"), text);
                placed = true;
            }
            launch.arguments << argument.replace(QLatin1String("%%"), QLatin1String("%"));
        }
        if (!placed)
            launch.arguments << text;
        launches << launch;
    }
    return launches;
}

} // namespace Zentar::Browser
