#pragma once

#include <Zentar/App/Application.h>
#include <Zentar/App/LookAndFeelManager.h>

#include <QtCore>

// Small real pieces the links tests share: a browser that records the URLs
// it is started with, a product's links table and a look-and-feel root.
namespace LinksTest
{

inline bool WriteFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}

// A shell script that appends each argument it gets, one per line, to
// `record`. Named by BROWSER it stands in for the user's browser.
inline QString WriteRecordingBrowser(const QString& scriptPath, const QString& record)
{
    const QString body = "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\" >> '" + record + "'; done\n";
    if (!WriteFile(scriptPath, body.toUtf8()))
        return QString();
    QFile::setPermissions(
        scriptPath, QFile::permissions(scriptPath) | QFileDevice::ExeOwner | QFileDevice::ExeUser);
    return scriptPath;
}

inline QStringList ReadLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

// {"links": links}
inline bool WriteTable(const QString& path, const QJsonObject& links)
{
    return WriteFile(path, QJsonDocument(QJsonObject { { "links", links } }).toJson());
}

// A look-and-feel manager on `root` offering the given languages, set to `current`.
inline std::shared_ptr<Zentar::App::LookAndFeelManager> MakeLookAndFeel(
    const QString& root, const QStringList& locales, const std::string& current)
{
    for (const QString& id : locales)
        QDir().mkpath(root + "/resources/locales/" + id);
    auto lookAndFeel = std::make_shared<Zentar::App::LookAndFeelManager>(
        root.toStdString(), "theme.json", std::list<std::string> {});
    lookAndFeel->SetLocale(current);
    return lookAndFeel;
}

} // namespace LinksTest
