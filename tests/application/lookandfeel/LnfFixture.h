#pragma once

#include <Zentar/App/ILookAndFeelObserver.h>
#include <Zentar/App/LookAndFeelManager.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>

#include <list>
#include <memory>
#include <string>

// A look-and-feel root assembled per test from the packs and translations
// built into LNF_FIXTURE_DIR, plus files the test writes itself.
class LnfRoot
{
public:
    std::string Utf8Path() const { return m_dir.path().toStdString(); }
    QString Resources(const QString& relative) const { return m_dir.filePath("resources/" + relative); }
    bool MakeDir(const QString& to) const { return QDir().mkpath(Resources(to)); }

    // Copies fixture/<from> to resources/<to>.
    bool Copy(const QString& from, const QString& to) const
    {
        QDir().mkpath(QFileInfo(Resources(to)).absolutePath());
        return QFile::copy(LNF_FIXTURE_DIR "/" + from, Resources(to));
    }

    bool Write(const QString& to, const QByteArray& bytes) const
    {
        QDir().mkpath(QFileInfo(Resources(to)).absolutePath());
        QFile f(Resources(to));
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    }

    // themes/<id>/ with the fixture theme's description and the given packs.
    bool AddTheme(const QString& id, const QString& fixtureTheme, const QStringList& packs) const
    {
        bool ok = Copy("themes/" + fixtureTheme + "/theme.json", "themes/" + id + "/theme.json");
        for (const QString& pack : packs)
            ok = ok
                && Copy("themes/" + fixtureTheme + "/" + pack + ".rcc", "themes/" + id + "/" + pack + ".rcc");
        return ok;
    }

    // locales/<locale>/ with the fixture's translation files of that locale.
    bool AddLocale(const QString& locale, const QStringList& qmFiles = {}) const
    {
        bool ok = MakeDir("locales/" + locale);
        for (const QString& qm : qmFiles)
            ok = ok && Copy("locales/" + locale + "/" + qm + ".qm", "locales/" + locale + "/" + qm + ".qm");
        return ok;
    }

private:
    QTemporaryDir m_dir;
};

// A manager on `root`. It unloads its packs on destruction, so a failed test
// leaves no resources behind.
inline std::shared_ptr<Zentar::App::LookAndFeelManager> Manager(
    const LnfRoot& root, const QStringList& modules = {})
{
    std::list<std::string> names;
    for (const QString& m : modules)
        names.push_back(m.toStdString());
    return { new Zentar::App::LookAndFeelManager(root.Utf8Path(), "theme.json", names),
        [](Zentar::App::LookAndFeelManager* m) {
            m->SetTheme("");
            delete m;
        } };
}

// Journal of every call an observer gets, as "locale:<id>" / "theme:<id>".
class JournalObserver : public Zentar::App::ILookAndFeelObserver
{
public:
    void OnLocaleChanged(const std::string& id) override { calls << "locale:" + QString::fromStdString(id); }
    void OnThemeChanged(const std::string& id) override { calls << "theme:" + QString::fromStdString(id); }
    QStringList calls;
};
