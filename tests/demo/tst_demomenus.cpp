#include "DemoLookAndFeel.h"
#include "DemoWindow.h"
#include "TestCustomization.h"

#include <Zentar/App/Application.h>
#include <Zentar/App/LookAndFeelManager.h>
#include <Zentar/Settings/SettingsManager.h>

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QtTest>

using Zentar::App::Application;

QAction* Entry(QMenu* menu, const QString& id)
{
    for (QAction* a : menu->actions())
        if (a->data().toString() == id)
            return a;
    return nullptr;
}

// The demo's Language and Theme menus switch the running product, and its
// window follows.
class TestDemoMenus : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void switchingFromTheMenus()
    {
        auto* app = qobject_cast<Application*>(QCoreApplication::instance());
        DemoWindow window(*app);
        window.AddPage(new QWidget, QT_TRANSLATE_NOOP("QObject", "Dialogs"));
        auto manager = InstallDemoLookAndFeel(*app, window.menuBar(), "en_US", "Dark", DEMO_ROOT_DIR, false);
        QCOMPARE(app->GetLookAndFeel(), std::static_pointer_cast<Zentar::App::ILookAndFeelManager>(manager));
        QMenu* languages = window.menuBar()->findChild<QMenu*>("languageMenu");
        QMenu* themes = window.menuBar()->findChild<QMenu*>("themeMenu");
        QVERIFY(languages && themes);
        QCOMPARE(languages->title(), QString("&Language"));
        QVERIFY(Entry(languages, "en_US")->isChecked());
        QVERIFY(Entry(themes, "Dark")->isChecked());
        QVERIFY(app->styleSheet().contains("#1e2026"));
        QVERIFY(app->styleSheet().contains("padding: 6px 18px;"));
        // Testers' pseudo-language and shares only on request.
        QVERIFY(!Entry(languages, "en_XA"));
        QCOMPARE(Entry(languages, "de_DE")->text(), QString("Deutsch"));

        Entry(languages, "de_DE")->trigger();
        QCOMPARE(manager->GetCurrentLocale(), std::string("de_DE"));
        // German paddings at once, without a theme switch.
        QVERIFY(app->styleSheet().contains("padding: 6px 12px;"));
        QVERIFY(!app->styleSheet().contains("padding: 6px 18px;"));
        QCOMPARE(languages->title(), QString("&Sprache"));
        QCOMPARE(themes->title(), QString("&Design"));
        QCOMPARE(Entry(themes, "Light")->text(), QString("Hell"));
        // The window retranslates on the LanguageChange Qt posts, feature tabs included.
        QTRY_COMPARE(window.Tabs()->tabText(0), QString("Übersicht"));
        QCOMPARE(window.Tabs()->tabText(1), QString("Dialoge"));

        Entry(themes, "Light")->trigger();
        QCOMPARE(manager->GetCurrentTheme(), std::string("Light"));
        QVERIFY(app->styleSheet().contains("#eef0f3"));
        QVERIFY(!app->styleSheet().contains("#1e2026"));
        // Per-language variables of the theme follow the language.
        QVERIFY(app->styleSheet().contains("padding: 6px 12px;"));
        manager->SetTheme("");
    }

    void testerSeesPseudoLanguageAndShares()
    {
        auto* app = qobject_cast<Application*>(QCoreApplication::instance());
        DemoWindow window(*app);
        auto manager = InstallDemoLookAndFeel(*app, window.menuBar(), "en_XA", "Light", DEMO_ROOT_DIR, true);
        QMenu* languages = window.menuBar()->findChild<QMenu*>("languageMenu");
        QVERIFY(Entry(languages, "en_XA")->isChecked());
        // Every translatable text in brackets, accelerators kept.
        QCOMPARE(languages->title(), QString::fromUtf8("[&Láñĝûáĝé ··]"));
        QCOMPARE(Entry(languages, "de_DE")->text(),
            QString("Deutsch (%1 %)").arg(manager->GetTranslatedShare("de_DE")));
        QVERIFY(manager->GetTranslatedShare("de_DE") >= 90);
        // The source language and the pseudo-language are not counted.
        QCOMPARE(Entry(languages, "en_US")->text(), QString("English"));
        QCOMPARE(Entry(languages, "en_XA")->text(), QString("en_XA"));
        manager->SetTheme("");
    }
};

int main(int argc, char** argv)
{
    qputenv("LANGUAGE", "C");
    Application::AppContext context;
    context.createRunningMutex = false;
    Application app(argc, argv, context);
    // The window shows the launch type, which needs a product and its settings.
    app.SetCustomizationManager(std::make_shared<TestCustomization>(), false);
    app.SetSettingsManager(std::make_shared<Zentar::App::SettingsManager>(
        QStringLiteral("DemoMenus"), QStringLiteral("Zentar")));
    TestDemoMenus test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_demomenus.moc"
