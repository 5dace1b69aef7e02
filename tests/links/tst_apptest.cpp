#include <Zentar/App/AppTest.h>
#include <Zentar/App/Application.h>
#include <Zentar/Links/LinksManager.h>
#include <Zentar/QtUtil/AlertBox.h>
#include <Zentar/Settings/SettingsManager.h>

#include "LinksTestSupport.h"
#include "TestCustomization.h"

#include <QDesktopServices>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

using namespace Zentar;
using Zentar::App::Application;

class TestAppTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::shared_ptr<TestCustomization> m_customization = std::make_shared<TestCustomization>();
    std::shared_ptr<App::LookAndFeelManager> m_lookAndFeel;
    QElapsedTimer m_clock;
    QStringList m_urls; // the web URLs opened, and when
    QList<qint64> m_times;

    static Application& TheApp() { return *static_cast<Application*>(QCoreApplication::instance()); }
    static void Handle(const QStringList& options, const QList<QCommandLineOption>& productOptions = {})
    {
        App::AppTest::HandleTestOptions(
            QStringList { QStringLiteral("app") } + options, productOptions, &TheApp());
    }

public Q_SLOTS:
    void Open(const QUrl& url)
    {
        m_urls << url.toString();
        m_times << m_clock.elapsed();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_customization->allowsEmailDialog = false;
        m_customization->SetLocale("de_DE");
        TheApp().SetCustomizationManager(m_customization, false);
        TheApp().SetSettingsManager(
            std::make_shared<App::SettingsManager>(QStringLiteral("AppTest"), QStringLiteral("Zentar")));
        m_lookAndFeel = LinksTest::MakeLookAndFeel(m_dir.filePath(QStringLiteral("laf")),
            { QStringLiteral("de_DE"), QStringLiteral("en_US"), QStringLiteral("ru_RU") }, "de_DE");
        TheApp().SetLookAndFeel(m_lookAndFeel);
        const QString table = m_dir.filePath(QStringLiteral("links.json"));
        QVERIFY(LinksTest::WriteTable(table,
            { { QStringLiteral("HOME_PAGE_URL"),
                  QJsonObject {
                      { QStringLiteral("default"), QStringLiteral("https://example.com/{language}/") },
                      { QStringLiteral("ru"), QStringLiteral("https://example.ru/") } } },
                { QStringLiteral("THANK_FOR_INSTALL_URL"),
                    QStringLiteral("https://example.com/thanks?l={locale}") },
                { QStringLiteral("PROMO_CAMPAIGN_URL"),
                    QJsonObject {
                        { QStringLiteral("ru_RU"), QStringLiteral("https://example.ru/promo") } } } }));
        Links::LinksManager::SetDefaultTableFile(table);
    }

    void helpListsTheProductsOptionsLast()
    {
        QString text;
        int level = -1;
        QTimer::singleShot(0, this, [&] {
            auto* box = qobject_cast<Util::AlertBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            text = box->text();
            level = box->GetLevel();
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        });
        Handle({ QStringLiteral("--test-help") },
            { QCommandLineOption({ QStringLiteral("product-mode"), QStringLiteral("m") },
                  QStringLiteral("Run in a mode"), QStringLiteral("mode")),
                QCommandLineOption(QStringLiteral("product-flag"), QStringLiteral("A flag")) });
        QCOMPARE(level, int(Util::AlertBox::Information));
        QCOMPARE(text,
            QStringLiteral("--test-help Show help for test options\n"
                           "--test-dump-urls Write URLs to dump file\n"
                           "--test-open-urls Open URLs in browser\n"
                           "--test-log-urls Log opened URLs to file\n"
                           "--test-custom-locales Set locales: en_US,ru_RU\n"
                           "--test-custom-delay Set open delay in ms\n"
                           "--crash-after Set crash after timeout in ms\n"
                           "--ssl-disable Use http when possible\n"
                           "--ssl-enable Use https when possible\n"
                           "--product-mode Run in a mode\n"
                           "--product-flag A flag\n"));
    }

    // The requested languages the product offers are dumped in the product's
    // order; their URLs open 10 s after the request, then 1 s apart.
    void dumpAndOpenTheTestLanguages()
    {
        const QString dump = QString::fromStdString(App::AppTest::DumpFilePath(TheApp()).utf8string());
        QCOMPARE(QFileInfo(dump).fileName(), QStringLiteral("zentar-test-url-dump.csv"));
        QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "Open");
        m_clock.start();
        Handle({ QStringLiteral("--test-custom-locales"), QStringLiteral("ru_RU,xx_XX,en_US"),
            QStringLiteral("--test-dump-urls"), QStringLiteral("--test-open-urls") });
        const qint64 scheduled = m_clock.elapsed();
        QCOMPARE(LinksTest::ReadLines(dump),
            (QStringList { QStringLiteral("en_US;HOME_PAGE_URL;https://example.com/en/;"),
                QStringLiteral("en_US;THANK_FOR_INSTALL_URL;https://example.com/thanks?l=en_US;"),
                QStringLiteral("ru_RU;HOME_PAGE_URL;https://example.ru/;"),
                QStringLiteral("ru_RU;THANK_FOR_INSTALL_URL;https://example.com/thanks?l=ru_RU;"),
                QStringLiteral("ru_RU;PROMO_CAMPAIGN_URL;https://example.ru/promo;") }));
        // The language is put back in both managers.
        QCOMPARE(m_lookAndFeel->GetCurrentLocale(), std::string("de_DE"));
        QCOMPARE(m_customization->locale, std::string("de_DE"));

        // Checked on the clock while the timers run.
        int checks = 0;
        QTimer probe;
        connect(&probe, &QTimer::timeout, this, [&] {
            ++checks;
            if (m_clock.elapsed() < 10000)
                QCOMPARE(m_urls.size(), 0);
        });
        probe.start(500);
        QTRY_COMPARE_WITH_TIMEOUT(m_urls.size(), 5, 25000);
        probe.stop();
        QVERIFY(checks >= 15);
        QCOMPARE(m_urls,
            (QStringList { QStringLiteral("https://example.com/en/"),
                QStringLiteral("https://example.com/thanks?l=en_US"), QStringLiteral("https://example.ru/"),
                QStringLiteral("https://example.com/thanks?l=ru_RU"),
                QStringLiteral("https://example.ru/promo") }));
        for (int i = 0; i < m_times.size(); ++i) {
            const qint64 due = 10000 + 1000 * i;
            QVERIFY2(m_times[i] >= due && m_times[i] < due + scheduled + 800,
                qPrintable(QString::number(m_times[i])));
        }
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    }
};

LINKS_APP_TEST_MAIN(TestAppTest)
#include "tst_apptest.moc"
