#include "LnfFixture.h"

#include <Zentar/App/LookAndFeelHandler.h>
#include <Zentar/App/LookAndFeelManager.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(std::string)

using Zentar::App::LookAndFeelHandler;
using Zentar::App::LookAndFeelManager;

// Entry texts, the checked one marked with "*", separators as "---".
QStringList Texts(const QMenu& menu)
{
    QStringList out;
    for (QAction* a : menu.actions())
        out << (a->isSeparator() ? QString("---") : (a->isChecked() ? "*" : "") + a->text());
    return out;
}

QAction* Find(const QMenu& menu, const QString& id)
{
    for (QAction* a : menu.actions())
        if (a->data().toString() == id)
            return a;
    return nullptr;
}

class TestLookAndFeelHandler : public QObject
{
    Q_OBJECT
    std::unique_ptr<LnfRoot> m_root;
    std::shared_ptr<LookAndFeelManager> m_manager;

private Q_SLOTS:
    void init()
    {
        m_root = std::make_unique<LnfRoot>();
        QVERIFY(m_root->AddTheme("Night", "Night", { "a" }) && m_root->AddTheme("Day", "Day", { "solo" })
            && m_root->AddLocale("de_DE") && m_root->AddLocale("en_US") && m_root->AddLocale("fr_FR"));
        m_manager = Manager(*m_root);
        m_manager->Initialize("en_US", "Night");
    }

    void cleanup()
    {
        m_manager.reset();
        m_root.reset();
    }

    void pickingALanguageInTheMenu()
    {
        QMenu languages, themes;
        LookAndFeelHandler handler(m_manager, &languages, &themes, nullptr);
        JournalObserver first, last;
        m_manager->RegisterObserver(&first);
        handler.SetLocaleList(m_manager->GetLocales());
        handler.SetThemeList(m_manager->GetThemes());
        m_manager->RegisterObserver(&last);
        QCOMPARE(Texts(languages), QStringList({ "Deutsch", "English", "Français", "---" }));
        QCOMPARE(Texts(themes), QStringList({ "Day", "Night" }));

        QSignalSpy locales(&handler, &LookAndFeelHandler::LocaleChanged);
        QSignalSpy themeSpy(&handler, &LookAndFeelHandler::ThemeChanged);
        languages.popup(QPoint(10, 10));
        QVERIFY(QTest::qWaitForWindowExposed(&languages));
        QAction* french = Find(languages, "fr_FR");
        QVERIFY(french);
        QTest::mouseClick(&languages, Qt::LeftButton, {}, languages.actionGeometry(french).center());

        QCOMPARE(m_manager->GetCurrentLocale(), std::string("fr_FR"));
        QCOMPARE(first.calls, QStringList({ "locale:fr_FR" }));
        QCOMPARE(last.calls, QStringList({ "locale:fr_FR" }));
        QCOMPARE(locales.count(), 1);
        QCOMPARE(locales.at(0).at(0).value<std::string>(), std::string("fr_FR"));
        QCOMPARE(themeSpy.count(), 0);
        QCOMPARE(Texts(languages), QStringList({ "Deutsch", "English", "*Français", "---" }));
        QCOMPARE(Texts(themes), QStringList({ "Jour", "Nuit" }));
        m_manager->UnregisterObserver(&first);
        m_manager->UnregisterObserver(&last);
    }

    // What the build leaves in language folders, read back; anything else
    // than a percent is no share.
    void translatedSharesBesideTheNames()
    {
        QVERIFY(m_root->Write("locales/de_DE/.translated-share", "87\n"));
        QVERIFY(m_root->Write("locales/fr_FR/.translated-share", "lots"));
        QVERIFY(m_root->Write("locales/en_US/.translated-share", "250"));
        QVERIFY(m_root->Write("locales/en_XA/.pseudo-language", ""));
        QCOMPARE(m_manager->GetTranslatedShare("de_DE"), 87);
        QCOMPARE(m_manager->GetTranslatedShare("fr_FR"), -1);
        QCOMPARE(m_manager->GetTranslatedShare("en_US"), -1);
        QCOMPARE(m_manager->GetTranslatedShare("ru_RU"), -1);
        QCOMPARE(m_manager->GetTranslatedShare(""), -1);
        QVERIFY(m_manager->IsPseudoLocale("en_XA"));
        QVERIFY(!m_manager->IsPseudoLocale("de_DE"));
        QVERIFY(!m_manager->IsPseudoLocale(""));

        QMenu languages;
        LookAndFeelHandler handler(m_manager, &languages, nullptr, nullptr);
        handler.SetLocaleList(m_manager->GetLocales());
        handler.SetLocaleShares({ { "de_DE", m_manager->GetTranslatedShare("de_DE") } });
        QCOMPARE(Texts(languages), QStringList({ "Deutsch (87 %)", "English", "Français", "---" }));
        // The names stay with the shares after a switch retranslates them.
        Find(languages, "fr_FR")->trigger();
        QCOMPARE(Texts(languages), QStringList({ "Deutsch (87 %)", "English", "*Français", "---" }));
        handler.SetLocaleShares({});
        QCOMPARE(Texts(languages), QStringList({ "Deutsch", "English", "*Français", "---" }));
    }

    void pickingAThemeInTheMenu()
    {
        QMenu themes;
        auto handler = std::make_unique<LookAndFeelHandler>(m_manager, nullptr, &themes, nullptr);
        handler->SetThemeList(m_manager->GetThemes());
        JournalObserver later;
        m_manager->RegisterObserver(&later);
        QSignalSpy themeSpy(handler.get(), &LookAndFeelHandler::ThemeChanged);
        QSignalSpy localeSpy(handler.get(), &LookAndFeelHandler::LocaleChanged);
        themes.popup(QPoint(10, 10));
        QVERIFY(QTest::qWaitForWindowExposed(&themes));
        QAction* day = Find(themes, "Day");
        QVERIFY(day);
        QTest::mouseClick(&themes, Qt::LeftButton, {}, themes.actionGeometry(day).center());

        QCOMPARE(m_manager->GetCurrentTheme(), std::string("Day"));
        QVERIFY(QFile::exists(":/solo/style.qss") && !QFile::exists(":/a/style.qss"));
        QCOMPARE(later.calls, QStringList { "theme:Day" });
        QCOMPARE(themeSpy.count(), 1);
        QCOMPARE(themeSpy.at(0).at(0).value<std::string>(), std::string("Day"));
        QCOMPARE(localeSpy.count(), 0);
        QCOMPARE(Texts(themes), QStringList({ "*Day", "Night" }));

        // A switch made elsewhere moves the check mark, and is not re-emitted.
        m_manager->SetTheme("Night");
        QCOMPARE(Texts(themes), QStringList({ "Day", "*Night" }));
        QCOMPARE(themeSpy.count(), 1);

        // Once destroyed, the handler is no longer called (ASan sees any call).
        handler.reset();
        later.calls.clear();
        m_manager->SetTheme("Day");
        m_manager->SetLocale("de_DE");
        QCOMPARE(later.calls, QStringList({ "theme:Day", "locale:de_DE" }));
        // Its entries went with it.
        QVERIFY(themes.actions().isEmpty());
        m_manager->UnregisterObserver(&later);
    }

    void unknownIdsShowAsThemselves()
    {
        QMenu languages;
        LookAndFeelHandler handler(m_manager, &languages, nullptr, nullptr);
        handler.SetLocaleList({ "de_DE", "xx_YY", "zh_TW", "pt_PT" });
        QCOMPARE(Texts(languages), QStringList({ "Deutsch", "xx_YY", "繁體中文", "pt_PT", "---" }));
    }

    void refreshAndMenuReplacement()
    {
        QMenu first, second, themes;
        first.addAction("Untouched");
        themes.addAction("Untouched");
        LookAndFeelHandler handler(m_manager, &first, &themes, nullptr);
        handler.Refresh();
        // No selection yet: both menus stay as they were.
        QCOMPARE(Texts(first), QStringList({ "Untouched" }));
        QCOMPARE(Texts(themes), QStringList({ "Untouched" }));
        handler.SetLocaleMenu(&second);
        QVERIFY(first.actions().isEmpty());
        QVERIFY(second.actions().isEmpty()); // still no language known

        m_manager->SetLocale("de_DE");
        handler.SetLocaleList(m_manager->GetLocales());
        handler.SetLocaleMenu(&first);
        QVERIFY(second.actions().isEmpty());
        QCOMPARE(Texts(first), QStringList({ "*Deutsch", "English", "Français", "---" }));

        handler.SelectTheme("Day");
        handler.SetThemeList(m_manager->GetThemes());
        handler.Refresh();
        QCOMPARE(Texts(themes), QStringList({ "*Tag", "Nacht" }));
        // Selecting does not switch the manager.
        QCOMPARE(m_manager->GetCurrentTheme(), std::string("Night"));
    }
};

// No system language matches the fixtures' languages.
static const bool g_cLanguage = qputenv("LANGUAGE", "C");
QTEST_MAIN(TestLookAndFeelHandler)

#include "tst_lookandfeelhandler.moc"
