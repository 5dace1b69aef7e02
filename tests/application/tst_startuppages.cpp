#include <Zentar/Settings/SettingsManager.h>

#include "LinksTestSupport.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

// The start-up pages as a product meets them, run after run: the install
// landing page, the e-mail dialog, and the test options that end a run.
class TestStartupPages : public QObject
{
    Q_OBJECT

    struct Run {
        int exitCode = -1;
        QProcess::ExitStatus status = QProcess::NormalExit;
        QStringList lines;
        QByteArray errors;
        QStringList Matching(const QString& pattern) const
        {
            return lines.filter(QRegularExpression(pattern));
        }
    };

    QTemporaryDir m_dir;
    int m_stores = 0;

    QString Path(const QString& name) const { return m_dir.filePath(name); }

    Run Start(const QString& store, const QStringList& options)
    {
        QProcess app;
        app.start(ZENTAR_HELPER_DIR "/zentar_links_app",
            QStringList { "--store", store, "--root", Path("laf"), "--links", Path("links.json") } + options);
        if (!app.waitForFinished(30000)) // it hung: kill it, the caller's checks then fail
            app.kill(), app.waitForFinished();
        return { app.exitCode(), app.exitStatus(),
            QString::fromUtf8(app.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts),
            app.readAllStandardError() };
    }

    // A fresh product whose next run has the given launch type (1 first,
    // 2 reinstall, 3 first after an update, 4 regular).
    QString Prepare(int launch)
    {
        const QString store = QString("Product%1").arg(++m_stores);
        if (launch == 2 || launch == 4)
            Start(store, { "--no-email-dialog" });
        if (launch == 2) // the installer ran again
            Zentar::App::SettingsManager(store, "Zentar").SetString("DateTime", "2031-01-02T03:04:05");
        if (launch == 3)
            Start(store, { "--no-email-dialog", "--version", "1.0.0" });
        return store;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(QDir().mkpath(Path("laf/resources/locales/en_US")));
        QVERIFY(LinksTest::WriteTable(Path("links.json"),
            { { "THANK_FOR_INSTALL_URL", "https://example.com/thanks?v={version}" },
                { "THANK_FOR_REINSTALL_URL", "https://example.com/welcome-back?v={version}" } }));
        // Pages that open while a product is prepared land here, never in a real browser.
        qputenv("BROWSER",
            LinksTest::WriteRecordingBrowser(Path("elsewhere"), Path("elsewhere.txt")).toLocal8Bit());
    }

    void landingPage_data()
    {
        QTest::addColumn<int>("launch");
        QTest::addColumn<QString>("installer");
        QTest::addColumn<QStringList>("opened");
        const QString install = "https://example.com/thanks?v=20.4.0";
        const QString again = "https://example.com/welcome-back?v=20.4.0";
        QTest::newRow("first, distribution id")
            << 1 << "ZentarSetupC1a2b.exe" << QStringList { install + "&did=C1a2b" };
        QTest::newRow("first, installer path")
            << 1 << "C:/Downloads/ZentarSetupU1b2c (1).exe" << QStringList { install + "&did=U1b2c" };
        QTest::newRow("first, letter not in class") << 1 << "ZentarSetupX1a2b.exe" << QStringList { install };
        QTest::newRow("first, lower-case setup") << 1 << "ZentarsetupC1a2b.exe" << QStringList { install };
        QTest::newRow("reinstall") << 2 << "ZentarSetupO9z8y.exe" << QStringList { again + "&did=O9z8y" };
        QTest::newRow("update") << 3 << QString() << QStringList { again };
        QTest::newRow("regular") << 4 << "ZentarSetupC1a2b.exe" << QStringList {};
    }
    void landingPage()
    {
        QFETCH(int, launch);
        QFETCH(QString, installer);
        QFETCH(QStringList, opened);
        const QString store = Prepare(launch);
        Zentar::App::SettingsManager(store + "-Installer", "Zentar")
            .SetString("InstallerName", installer.toStdString());
        // The URL log writes as the page opens, so "nothing" is exact.
        const QString log = Path(store + ".log");
        const Run run = Start(store, { "--no-email-dialog", "--test-log-urls", log });
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.lines.value(0), QString("launch %1").arg(launch));
        QCOMPARE(LinksTest::ReadLines(log), opened);
    }

    void gatewayDecidesWhen_data()
    {
        QTest::addColumn<int>("runs");
        for (int runs : { 0, 1, 2 })
            QTest::addRow("%d runs", runs) << runs;
    }
    void gatewayDecidesWhen()
    {
        QFETCH(int, runs);
        const QString store = Prepare(1);
        const QString log = Path(store + ".log");
        const Run run = Start(
            store, { "--no-email-dialog", "--gateway-runs", QString::number(runs), "--test-log-urls", log });
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.Matching("^stimulus "),
            (QStringList { "stimulus EMAIL_DIALOG", "stimulus THANK_FOR_INSTALL" }));
        QCOMPARE(LinksTest::ReadLines(log),
            QStringList(QVector<QString>(runs, "https://example.com/thanks?v=20.4.0").toList()));
    }

    // The dialog's signals come in pairs; only a dialog the user answered
    // stores the address. A product whose dialog cannot be made says so.
    void emailDialog_data()
    {
        QTest::addColumn<int>("launch");
        QTest::addColumn<QString>("registered"); // null: never stored
        QTest::addColumn<QString>("option");
        QTest::addColumn<QStringList>("seen");
        const QStringList shown = { "before-email", "dialog", "after-email", "started" },
                          quiet = { "started" };
        QTest::newRow("first") << 1 << QString() << "" << shown;
        QTest::newRow("first, registered") << 1 << "1"
                                           << "" << quiet;
        QTest::newRow("first, 10") << 1 << "10"
                                   << "" << shown;
        for (int launch : { 2, 3, 4 }) // reinstall, update, regular
            QTest::addRow("launch %d", launch) << launch << QString() << "" << quiet;
        QTest::newRow("cannot be made") << 1 << QString() << "--no-email-impl"
                                        << QStringList { "before-email", "after-email", "started" };
    }
    void emailDialog()
    {
        QFETCH(int, launch);
        QFETCH(QString, registered);
        QFETCH(QString, option);
        QFETCH(QStringList, seen);
        const QString store = Prepare(launch);
        Zentar::App::SettingsManager settings(store, "Zentar");
        if (!registered.isNull())
            settings.SetString("IsRegUser", registered.toStdString());
        const Run run = Start(store, { "--email", "someone@example.com", option });
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.Matching("^(before-email|dialog|after-email|started)$"), seen);
        const bool answered = seen.contains("dialog");
        // Read as the next run would: `settings` hears of the other process's
        // write only when an event loop here runs.
        const Zentar::App::SettingsManager after(store, "Zentar");
        QCOMPARE(after.GetString("IsRegUser", "-"),
            answered                  ? "1"
                : registered.isNull() ? "-"
                                      : registered.toStdString());
        QCOMPARE(after.GetString("Email", ""), answered ? "someone@example.com" : std::string());
        QCOMPARE(QString::fromUtf8(run.errors)
                     .split('\n')
                     .filter(QRegularExpression("^E.*\\] Failed to create Email Dialog Impl$"))
                     .size(),
            option.isEmpty() ? 0 : 1);
    }

    // The main window the dialog belongs to closes while the dialog runs:
    // that is a dialog closed unanswered, and the start goes on.
    void emailDialogLosesItsWindow_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::newRow("library's") << QString();
        QTest::newRow("product's") << "--product-email-dialog";
    }
    void emailDialogLosesItsWindow()
    {
        QFETCH(QString, dialog);
        const QString store = Prepare(1);
        const Run run
            = Start(store, QStringList { "--lose-main-window" } + QStringList { dialog }.filter(".+"));
        QCOMPARE(run.status, QProcess::NormalExit);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.Matching("^(before-email|dialog.*|after-email|started)$"),
            (QStringList { "before-email", "dialog", "after-email", "started" }));
        const Zentar::App::SettingsManager settings(store, "Zentar");
        QVERIFY(!settings.Contains("IsRegUser"));
        QVERIFY(!settings.Contains("Email"));
    }

    void crashAfterAndContradictorySecureOptions()
    {
        const QString store = Prepare(4);
        const Run crashed = Start(store, { "--no-email-dialog", "--stay", "--crash-after", "300" });
        QCOMPARE(crashed.status, QProcess::CrashExit);
        QVERIFY(crashed.lines.contains("started"));
        const QStringList session = crashed.Matching("^session .");
        QCOMPARE(session.size(), 1);
        const Run next = Start(store, { "--no-email-dialog" });
        QCOMPARE(next.status, QProcess::NormalExit);
        QCOMPARE(next.Matching("^crashed "), QStringList { "crashed " + session.first().mid(8) });

        const Run refused = Start("Refused", { "--ssl-disable", "--ssl-enable" });
        QCOMPARE(refused.exitCode, 3);
        QCOMPARE(refused.lines, QStringList { "error Invalid options combination." });
    }
};

QTEST_GUILESS_MAIN(TestStartupPages)
#include "tst_startuppages.moc"
