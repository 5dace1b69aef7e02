#include <Zentar/App/AppTest.h>
#include <Zentar/App/Application.h>
#include <Zentar/Links/LinksManager.h>
#include <Zentar/QtUtil/AlertBox.h>
#include <Zentar/Settings/SettingsManager.h>

#include "ApplicationTestMain.h"
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
        TheApp().SetSettingsManager(std::make_shared<App::SettingsManager>("AppTest", "Zentar"));
        m_lookAndFeel
            = LinksTest::MakeLookAndFeel(m_dir.filePath("laf"), { "de_DE", "en_US", "ru_RU" }, "de_DE");
        TheApp().SetLookAndFeel(m_lookAndFeel);
        const QString table = m_dir.filePath("links.json");
        QVERIFY(LinksTest::WriteTable(table,
            { { "HOME_PAGE_URL",
                  QJsonObject {
                      { "default", "https://example.com/{language}/" }, { "ru", "https://example.ru/" } } },
                { "THANK_FOR_INSTALL_URL", "https://example.com/thanks?l={locale}" },
                { "PROMO_CAMPAIGN_URL", QJsonObject { { "ru_RU", "https://example.ru/promo" } } } }));
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
        App::AppTest::HandleTestOptions({ "app", "--test-help" },
            { QCommandLineOption({ "product-mode", "m" }, "Run in a mode", "mode"),
                QCommandLineOption("product-flag", "A flag") },
            &TheApp());
        QCOMPARE(level, int(Util::AlertBox::Information));
        QCOMPARE(text,
            "--test-help Show help for test options\n--test-dump-urls Write URLs to dump file\n"
            "--test-open-urls Open URLs in browser\n--test-log-urls Log opened URLs to file\n"
            "--test-custom-locales Set locales: en_US,ru_RU\n--test-custom-delay Set open delay in ms\n"
            "--crash-after Set crash after timeout in ms\n--ssl-disable Use http when possible\n"
            "--ssl-enable Use https when possible\n--product-mode Run in a mode\n--product-flag A flag\n");
    }

    // The requested languages the product offers are dumped in the product's
    // order; their URLs open 10 s after the request, then 1 s apart.
    void dumpAndOpenTheTestLanguages()
    {
        const QString dump = QString::fromStdString(App::AppTest::DumpFilePath(TheApp()).utf8string());
        QCOMPARE(QFileInfo(dump).fileName(), "zentar-test-url-dump.csv");
        QDesktopServices::setUrlHandler("https", this, "Open");
        m_clock.start();
        App::AppTest::HandleTestOptions(
            { "app", "--test-custom-locales", "ru_RU,xx_XX,en_US", "--test-dump-urls", "--test-open-urls" },
            {}, &TheApp());
        const qint64 scheduled = m_clock.elapsed();
        const QStringList urls = { "en_US;HOME_PAGE_URL;https://example.com/en/;",
            "en_US;THANK_FOR_INSTALL_URL;https://example.com/thanks?l=en_US;",
            "ru_RU;HOME_PAGE_URL;https://example.ru/;",
            "ru_RU;THANK_FOR_INSTALL_URL;https://example.com/thanks?l=ru_RU;",
            "ru_RU;PROMO_CAMPAIGN_URL;https://example.ru/promo;" };
        QCOMPARE(LinksTest::ReadLines(dump), urls);
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
        for (int i = 0; i < urls.size(); ++i) {
            QCOMPARE(m_urls[i], urls[i].section(';', 2, 2));
            const qint64 due = 10000 + 1000 * i;
            QVERIFY2(m_times[i] >= due && m_times[i] < due + scheduled + 800,
                qPrintable(QString::number(m_times[i])));
        }
        QDesktopServices::unsetUrlHandler("https");
    }
};

ZENTAR_APPLICATION_TEST_MAIN(TestAppTest)
#include "tst_apptest.moc"
