#include "LogCapture.h"

#include <Zentar/App/LookAndFeelManager.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>

using Zentar::App::LookAndFeelManager;

static QStringList g_warnings;

// Every theme of the demo in every language composes into a stylesheet
// without unfilled placeholders that Qt parses, and the demo's and the
// library's texts are translated.
class TestDemoLookAndFeel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void themes_data()
    {
        QTest::addColumn<QString>("theme");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("dontShowAgain");
        auto row = [](const char* theme, const char* locale, const char* title, const char* file,
                       const char* dont) {
            QTest::addRow("%s %s", theme, locale) << theme << locale << title << file << dont;
        };
        row("Dark", "en_US", "Dark", "&File", "Don't show this again");
        row("Dark", "de_DE", "Dunkel", "&Datei", "Nicht mehr anzeigen");
        row("Dark", "ru_RU", "Тёмная", "&Файл", "Больше не показывать");
        row("Light", "en_US", "Light", "&File", "Don't show this again");
        row("Light", "de_DE", "Hell", "&Datei", "Nicht mehr anzeigen");
        row("Light", "ru_RU", "Светлая", "&Файл", "Больше не показывать");
    }
    void themes()
    {
        QFETCH(QString, theme);
        QFETCH(QString, locale);
        QFETCH(QString, title);
        QFETCH(QString, file);
        QFETCH(QString, dontShowAgain);

        LogCapture log;
        LookAndFeelManager manager(DEMO_ROOT_DIR, "theme.json", { "base", "widgets", "demo", "zentarapp" });
        QCOMPARE(manager.GetThemes(), (std::list<std::string> { "Dark", "Light" }));
        QCOMPARE(manager.GetLocales(), (std::list<std::string> { "de_DE", "en_US", "en_XA", "ru_RU" }));
        manager.Initialize(locale.toStdString(), theme.toStdString());
        QCOMPARE(QString::fromStdString(manager.GetLocalizedThemeName(theme.toStdString())), title);
        QCOMPARE(QCoreApplication::translate("DemoWindow", "&File"), file);
        QCOMPARE(QCoreApplication::translate("Zentar::App::ConfirmationAlertBox", "Don't show this again"),
            dontShowAgain);

        const QString sheet = QString::fromStdString(manager.GetUnitedStylesheet());
        const QString rules = QString(sheet).remove(
            QRegularExpression("/\\*.*?\\*/", QRegularExpression::DotMatchesEverythingOption));
        const auto left = QRegularExpression("@\\w+").match(rules);
        QVERIFY2(!left.hasMatch(), qPrintable("unfilled placeholder " + left.captured()));
        // Both packs made it in.
        QVERIFY(rules.contains("QTabBar::tab") && rules.contains("QPushButton"));

        g_warnings.clear();
        const auto previous
            = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
                  if (type != QtDebugMsg && type != QtInfoMsg)
                      g_warnings << text;
              });
        qApp->setStyleSheet(sheet);
        QWidget window;
        new QPushButton("Button", &window);
        new QLabel("Label", &window);
        window.ensurePolished();
        for (QWidget* child : window.findChildren<QWidget*>())
            child->ensurePolished();
        qInstallMessageHandler(previous);
        qApp->setStyleSheet(QString());
        QVERIFY2(g_warnings.isEmpty(), qPrintable(g_warnings.join('\n')));
        QVERIFY(log.Texts(google::GLOG_WARNING).empty() && log.Texts(google::GLOG_ERROR).empty());
        manager.SetTheme("");
    }
};

// No system language matches the fixtures' languages.
static const bool g_cLanguage = qputenv("LANGUAGE", "C");
QTEST_MAIN(TestDemoLookAndFeel)

#include "tst_demolookandfeel.moc"
