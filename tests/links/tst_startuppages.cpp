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
        app.start(QStringLiteral(ZENTAR_HELPER_DIR "/zentar_links_app"),
            QStringList { QStringLiteral("--store"), store, QStringLiteral("--root"),
                Path(QStringLiteral("laf")), QStringLiteral("--links"), Path(QStringLiteral("links.json")) }
                + options);
        if (!app.waitForFinished(30000)) {
            app.kill();
            app.waitForFinished();
            qWarning("the product did not end");
        }
        return { app.exitCode(), app.exitStatus(),
            QString::fromUtf8(app.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts),
            app.readAllStandardError() };
    }

    // A fresh product whose next run has the given launch type (1 first,
    // 2 reinstall, 3 first after an update, 4 regular).
    QString Prepare(int launch)
    {
        const QString store = QStringLiteral("Product%1").arg(++m_stores);
        const QStringList quiet = { QStringLiteral("--no-email-dialog") };
        if (launch == 2 || launch == 4)
            Start(store, quiet);
        if (launch == 2) // the installer ran again
            Zentar::App::SettingsManager(store, QStringLiteral("Zentar"))
                .SetString("DateTime", "2031-01-02T03:04:05");
        if (launch == 3)
            Start(store, quiet + QStringList { QStringLiteral("--version"), QStringLiteral("1.0.0") });
        return store;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(QDir().mkpath(Path(QStringLiteral("laf/resources/locales/en_US"))));
        QVERIFY(LinksTest::WriteTable(Path(QStringLiteral("links.json")),
            { { QStringLiteral("THANK_FOR_INSTALL_URL"),
                  QStringLiteral("https://example.com/thanks?v={version}") },
                { QStringLiteral("THANK_FOR_REINSTALL_URL"),
                    QStringLiteral("https://example.com/welcome-back?v={version}") } }));
        // Pages that open while a product is prepared land here, never in a
        // real browser.
        qputenv("BROWSER",
            LinksTest::WriteRecordingBrowser(
                Path(QStringLiteral("elsewhere")), Path(QStringLiteral("elsewhere.txt")))
                .toLocal8Bit());
    }

    void landingPage_data()
    {
        QTest::addColumn<int>("launch");
        QTest::addColumn<QString>("installer");
        QTest::addColumn<QStringList>("opened");
        const QString install = QStringLiteral("https://example.com/thanks?v=20.4.0");
        const QString reinstall = QStringLiteral("https://example.com/welcome-back?v=20.4.0");
        QTest::newRow("first, distribution id")
            << 1 << QStringLiteral("ZentarSetupC1a2b.exe") << QStringList { install + "&did=C1a2b" };
        QTest::newRow("first, installer path") << 1 << QStringLiteral("C:/Downloads/ZentarSetupU1b2c (1).exe")
                                               << QStringList { install + "&did=U1b2c" };
        QTest::newRow("first, letter not in class")
            << 1 << QStringLiteral("ZentarSetupX1a2b.exe") << QStringList { install };
        QTest::newRow("first, lower-case setup")
            << 1 << QStringLiteral("ZentarsetupC1a2b.exe") << QStringList { install };
        QTest::newRow("reinstall") << 2 << QStringLiteral("ZentarSetupO9z8y.exe")
                                   << QStringList { reinstall + "&did=O9z8y" };
        QTest::newRow("update") << 3 << QString() << QStringList { reinstall };
        QTest::newRow("regular") << 4 << QStringLiteral("ZentarSetupC1a2b.exe") << QStringList {};
    }
    void landingPage()
    {
        QFETCH(int, launch);
        QFETCH(QString, installer);
        QFETCH(QStringList, opened);
        const QString store = Prepare(launch);
        Zentar::App::SettingsManager(store + QStringLiteral("-Installer"), QStringLiteral("Zentar"))
            .SetString("InstallerName", installer.toStdString());
        // The URL log writes as the page opens, so "nothing" is exact.
        const QString log = Path(store + QStringLiteral(".log"));
        const Run run
            = Start(store, { QStringLiteral("--no-email-dialog"), QStringLiteral("--test-log-urls"), log });
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.lines.value(0), QStringLiteral("launch %1").arg(launch));
        QCOMPARE(LinksTest::ReadLines(log), opened);
    }

    void gatewayDecidesWhen_data()
    {
        QTest::addColumn<int>("runs");
        QTest::newRow("held") << 0;
        QTest::newRow("once") << 1;
        QTest::newRow("twice") << 2;
    }
    void gatewayDecidesWhen()
    {
        QFETCH(int, runs);
        const QString store = Prepare(1);
        const QString log = Path(store + QStringLiteral(".log"));
        const Run run = Start(store,
            { QStringLiteral("--no-email-dialog"), QStringLiteral("--gateway-runs"), QString::number(runs),
                QStringLiteral("--test-log-urls"), log });
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.Matching(QStringLiteral("^stimulus ")),
            (QStringList {
                QStringLiteral("stimulus EMAIL_DIALOG"), QStringLiteral("stimulus THANK_FOR_INSTALL") }));
        QCOMPARE(LinksTest::ReadLines(log),
            QStringList(
                QVector<QString>(runs, QStringLiteral("https://example.com/thanks?v=20.4.0")).toList()));
    }

    // The dialog's signals come in pairs; only a dialog the user answered
    // stores the address. A product whose dialog cannot be made says so.
    void emailDialog_data()
    {
        QTest::addColumn<int>("launch");
        QTest::addColumn<QString>("registered"); // null: never stored
        QTest::addColumn<QString>("option");
        QTest::addColumn<QStringList>("seen");
        const QStringList shown = { "before-email", "dialog", "after-email", "started" };
        QTest::newRow("first") << 1 << QString() << "" << shown;
        QTest::newRow("first, registered") << 1 << "1"
                                           << "" << QStringList { "started" };
        QTest::newRow("first, 10") << 1 << "10"
                                   << "" << shown;
        QTest::newRow("reinstall") << 2 << QString() << "" << QStringList { "started" };
        QTest::newRow("update") << 3 << QString() << "" << QStringList { "started" };
        QTest::newRow("regular") << 4 << QString() << "" << QStringList { "started" };
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
        Zentar::App::SettingsManager settings(store, QStringLiteral("Zentar"));
        if (!registered.isNull())
            settings.SetString("IsRegUser", registered.toStdString());

        const Run run
            = Start(store, { QStringLiteral("--email"), QStringLiteral("someone@example.com"), option });
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.Matching(QStringLiteral("^(before-email|dialog|after-email|started)$")), seen);
        const bool answered = seen.contains(QStringLiteral("dialog"));
        const std::string before = registered.isNull() ? "-" : registered.toStdString();
        QCOMPARE(settings.GetString("IsRegUser", "-"), answered ? std::string("1") : before);
        QCOMPARE(
            settings.GetString("Email", ""), answered ? std::string("someone@example.com") : std::string());
        const QStringList errors = QString::fromUtf8(run.errors).split(QLatin1Char('\n'));
        QCOMPARE(
            errors.filter(QRegularExpression(QStringLiteral("^E.*\\] Failed to create Email Dialog Impl$")))
                .size(),
            option.isEmpty() ? 0 : 1);
    }

    void crashAfter()
    {
        const QString store = Prepare(4);
        const Run crashed = Start(store,
            { QStringLiteral("--no-email-dialog"), QStringLiteral("--stay"), QStringLiteral("--crash-after"),
                QStringLiteral("300") });
        QCOMPARE(crashed.status, QProcess::CrashExit);
        QVERIFY(crashed.lines.contains(QStringLiteral("started")));
        const QStringList session = crashed.Matching(QStringLiteral("^session ."));
        QCOMPARE(session.size(), 1);

        const Run next = Start(store, { QStringLiteral("--no-email-dialog") });
        QCOMPARE(next.status, QProcess::NormalExit);
        QCOMPARE(next.Matching(QStringLiteral("^crashed ")),
            QStringList { QStringLiteral("crashed ") + session.first().mid(8) });
    }

    void contradictorySecureOptions()
    {
        const Run run = Start(
            QStringLiteral("Refused"), { QStringLiteral("--ssl-disable"), QStringLiteral("--ssl-enable") });
        QCOMPARE(run.exitCode, 3);
        QCOMPARE(run.lines, QStringList { QStringLiteral("error Invalid options combination.") });
    }
};

QTEST_GUILESS_MAIN(TestStartupPages)
#include "tst_startuppages.moc"
