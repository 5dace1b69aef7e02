#include <Zentar/App/AppTest.h>
#include <Zentar/App/Application.h>
#include <Zentar/Links/LinksManager.h>
#include <Zentar/Settings/SettingsManager.h>

#include "ApplicationTestMain.h"
#include "LinksTestSupport.h"
#include "TestCustomization.h"

#include <QDesktopServices>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace Zentar;
using Zentar::App::Application;

// The application's web links: its links service, the browser wiring, the
// update-check request and the URL log of the test options.
class TestAppWeb : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_record = m_dir.filePath("browser.txt");

    static bool Refused()
    {
        try {
            TheApp().GetLinksManager();
            return false;
        } catch (const std::logic_error& e) {
            return QString(e.what()) == "NotNull can not initialized by null";
        }
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        qputenv("BROWSER",
            LinksTest::WriteRecordingBrowser(m_dir.filePath("recording-browser"), m_record).toLocal8Bit());
        const QString table = m_dir.filePath("links.json");
        QVERIFY(LinksTest::WriteTable(
            table, { { "THANK_FOR_INSTALL_URL", "https://example.com/{language}/thanks?p={productId}" } }));
        Links::LinksManager::SetDefaultTableFile(table);
    }

    // First: the managers are installed one by one.
    void linksServiceNeedsTheManagers()
    {
        QVERIFY(Refused());
        auto customization = std::make_shared<TestCustomization>();
        customization->suppressesStartupPages = true; // no product exists: they would open a dialog
        TheApp().SetCustomizationManager(customization, false);
        QVERIFY(Refused());
        TheApp().SetLookAndFeel(
            LinksTest::MakeLookAndFeel(m_dir.filePath("laf"), { "de_DE", "en_US" }, "de_DE"));
        QVERIFY(Refused()); // no settings store at all
        TheApp().SetSettingsManager(std::make_shared<App::SettingsManager>("AppWeb", "Zentar"));
        QCOMPARE(TheApp().GetUrl(URLKeys::THANK_FOR_INSTALL_URL),
            "https://example.com/de/thanks?p=ZentarTestProduct");
        QCOMPARE(TheApp().GetUrl(URLKeys::THANK_FOR_REINSTALL_URL), QString());
    }

    void webUrlsReachThePreferredBrowser()
    {
        QFile::remove(m_record);
        QVERIFY(QDesktopServices::openUrl(QUrl("https://example.com/one")));
        QTRY_COMPARE(LinksTest::ReadLines(m_record).size(), 1);
        TheApp().GetLinksManager()->OpenUrl("http://example.com/two?b=1&c=%20d");
        QTRY_COMPARE(LinksTest::ReadLines(m_record).size(), 2);
        QStringList lines = LinksTest::ReadLines(m_record);
        lines.sort();
        QCOMPARE(lines, (QStringList { "http://example.com/two?b=1&c=%20d", "https://example.com/one" }));
    }

    // A start arms the update check 5 s later unless "autoUpdate" is off: a
    // start with it off, another 2 s later with it on, and exactly one
    // request about 5 s after the second.
    void updateCheckRequested()
    {
        QSignalSpy requested(&TheApp(), &Application::AutoUpdateCheckRequested);
        QElapsedTimer clock;
        qint64 secondStart = -1, at = -1;
        connect(&TheApp(), &Application::AutoUpdateCheckRequested, this, [&] { at = clock.elapsed(); });
        TheApp().GetProductSettingsManager()->SetBool("autoUpdate", false);
        clock.start();
        TheApp().OnStart();
        QTimer::singleShot(2000, Qt::PreciseTimer, this, [&] {
            TheApp().GetProductSettingsManager()->Remove("autoUpdate");
            secondStart = clock.elapsed();
            TheApp().OnStart();
        });
        QTRY_COMPARE_WITH_TIMEOUT(requested.count(), 1, 10000);
        QVERIFY(secondStart >= 2000);
        // Timers of this length may fire up to 5 % early; one armed by the
        // first start would have fired 3 s early.
        QVERIFY2(at - secondStart >= 4700 && at - secondStart < 6500,
            qPrintable(QString::number(at - secondStart)));
    }

    // Last: the URL log replaces the browser for the rest of the process.
    void logUrlsDivertsWebUrls()
    {
        QFile::remove(m_record);
        const QString log = m_dir.filePath("urls.log"), lost = m_dir.filePath("no/dir/urls.log");
        App::AppTest::HandleTestOptions({ "app", "--test-log-urls", log }, {}, &TheApp());
        QVERIFY(QDesktopServices::openUrl(QUrl("https://example.com/a?b=c d")));
        TheApp().GetLinksManager()->OpenUrl("http://example.com/second");
        // The log handler writes at once; the browser was never started.
        QCOMPARE(LinksTest::ReadLines(log),
            (QStringList { "https://example.com/a?b=c d", "http://example.com/second" }));
        QVERIFY(!QFile::exists(m_record));
        // A log that cannot be opened swallows URLs.
        App::AppTest::HandleTestOptions({ "app", "--test-log-urls", lost }, {}, &TheApp());
        QVERIFY(QDesktopServices::openUrl(QUrl("https://example.com/lost")));
        QCOMPARE(LinksTest::ReadLines(log).size(), 2);
        QVERIFY(!QFile::exists(lost) && !QFile::exists(m_record));
    }
};

ZENTAR_APPLICATION_TEST_MAIN(TestAppWeb)
#include "tst_appweb.moc"
