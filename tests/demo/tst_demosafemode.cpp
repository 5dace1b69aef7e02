#include "DemoLookAndFeel.h"
#include "DemoSafeMode.h"
#include "TestCustomization.h"

#include <Zentar/App/Application.h>
#include <Zentar/App/LookAndFeelManager.h>
#include <Zentar/Settings/SettingsManager.h>

#include <QAbstractButton>
#include <QMainWindow>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

using Zentar::App::Application;

namespace
{

Application& App()
{
    return *qobject_cast<Application*>(QCoreApplication::instance());
}

// The crash count as the product store keeps it, for the runs before this one.
void SetCrashesInRow(int crashes)
{
    App().GetProductSettingsManager()->SetInt("crashTracking/crashesInRow", crashes);
}

// Answers the safe-mode question, once it shows, with `button`; records its text.
void AnswerWhenAsked(QMessageBox::StandardButton button, QString* text)
{
    QTimer::singleShot(0, [=] {
        QMessageBox* box = nullptr;
        QTRY_VERIFY((box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())));
        *text = box->text();
        box->button(button)->click();
    });
}

} // namespace

// After a crash loop the demo asks once whether to start with default
// settings; yes starts the library's safe mode.
class TestDemoSafeMode : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void noQuestionWithoutACrashLoop()
    {
        SetCrashesInRow(2);
        QVERIFY(!OfferDemoSafeMode(App()));
        QVERIFY(!App().IsSafeMode());
    }

    void declined()
    {
        SetCrashesInRow(3);
        QString text;
        AnswerWhenAsked(QMessageBox::No, &text);
        QVERIFY(!OfferDemoSafeMode(App()));
        QCOMPARE(
            text, QStringLiteral("Zentar Demo closed unexpectedly 3 times. Start with default settings?"));
        QVERIFY(!App().IsSafeMode());
    }

    void acceptedStartsWithDefaults()
    {
        SetCrashesInRow(4);
        QString text;
        AnswerWhenAsked(QMessageBox::Yes, &text);
        QVERIFY(OfferDemoSafeMode(App()));
        QVERIFY(text.contains(QStringLiteral(" 4 times")));
        QVERIFY(App().IsSafeMode());

        // The language and theme the user chose are left out.
        QMainWindow window;
        auto manager = InstallDemoLookAndFeel(App(), window.menuBar(), "de_DE", "", DEMO_ROOT_DIR);
        const auto themes = manager->GetThemes();
        QVERIFY(themes.size() >= 2);
        QCOMPARE(manager->GetCurrentLocale(), std::string("en_US"));
        QCOMPARE(manager->GetCurrentTheme(), themes.front());
        manager->Initialize("de_DE", themes.back());
        QCOMPARE(manager->GetCurrentTheme(), themes.front());
        QCOMPARE(manager->GetCurrentLocale(), std::string("en_US"));
    }
};

int main(int argc, char** argv)
{
    qputenv("LANGUAGE", "C");
    Application::AppContext context;
    context.createRunningMutex = false;
    Application app(argc, argv, context);
    app.SetCustomizationManager(std::make_shared<TestCustomization>(), false);
    app.SetSettingsManager(std::make_shared<Zentar::App::SettingsManager>(
        QStringLiteral("DemoSafeMode"), QStringLiteral("Zentar")));
    TestDemoSafeMode test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_demosafemode.moc"
