#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

class TestRestartApplication : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_helper;
    QString m_record;

    // What the processes that a restart started recorded.
    QList<QJsonObject> Restarted() const
    {
        QFile file(m_record);
        QList<QJsonObject> records;
        if (file.open(QIODevice::ReadOnly))
            for (const QByteArray& line : file.readAll().split('\n'))
                if (!line.isEmpty())
                    records << QJsonDocument::fromJson(line).object();
        return records;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        // A folder with a blank in its name: the path has to be quoted.
        const QString folder = m_dir.filePath(QStringLiteral("my apps"));
        QVERIFY(QDir().mkpath(folder));
        m_helper = folder + QStringLiteral("/zentar_restart_app");
        QVERIFY(QFile::copy(
            QStringLiteral(ZENTAR_HELPER_DIR "/zentar_restart_app"), m_helper)); // keeps the x bit
        m_helper = QFileInfo(m_helper).canonicalFilePath();
    }

    void restart_data()
    {
        QTest::addColumn<QString>("answer"); // empty: unattended, nothing asked
        QTest::addColumn<bool>("refuseQuit");
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<bool>("restarts");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("crashedAfter");
        QTest::newRow("unattended") << QString() << false << QStringLiteral("one \"two words\" three") << true
                                    << QStringList { QStringLiteral("one"), QStringLiteral("two words"),
                                           QStringLiteral("three") }
                                    << 0;
        QTest::newRow("asked, ok") << QStringLiteral("ok") << false << QStringLiteral("--open=file.txt")
                                   << true << QStringList { QStringLiteral("--open=file.txt") } << 0;
        QTest::newRow("empty arguments") << QString() << false << QString() << true << QStringList() << 0;
        QTest::newRow("asked, cancel")
            << QStringLiteral("cancel") << false << QStringLiteral("x") << false << QStringList() << 1;
        // The window asked over closes and takes the question with it: no answer, no restart.
        QTest::newRow("asked, window gone")
            << QStringLiteral("vanish") << false << QStringLiteral("x") << false << QStringList() << 1;
        QTest::newRow("quit refused")
            << QString() << true << QStringLiteral("x") << false << QStringList() << 0;
    }

    void restart()
    {
        QFETCH(QString, answer);
        QFETCH(bool, refuseQuit);
        QFETCH(QString, arguments);
        QFETCH(bool, restarts);
        QFETCH(QStringList, expected);
        QFETCH(int, crashedAfter);
        m_record = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + QStringLiteral(".jsonl"));
        qputenv("ZENTAR_RESTART_RECORD", m_record.toLocal8Bit()); // inherited by every helper run

        // Leaves a crashed session behind: a run killed with SIGKILL.
        QProcess crashing;
        crashing.start(m_helper, { QStringLiteral("--wait") });
        QVERIFY(crashing.waitForReadyRead(30000)); // "ready"
        ::kill(pid_t(crashing.processId()), SIGKILL);
        QVERIFY(crashing.waitForFinished(30000));
        QCOMPARE(crashing.exitStatus(), QProcess::CrashExit);

        QStringList args { QStringLiteral("--restart"), arguments };
        if (!answer.isEmpty())
            args << QStringLiteral("--answer") << answer;
        if (refuseQuit)
            args << QStringLiteral("--refuse-quit");
        QProcess old;
        old.start(m_helper, args);
        QVERIFY(old.waitForFinished(60000));
        QCOMPARE(old.exitStatus(), QProcess::NormalExit);
        QCOMPARE(old.exitCode(), restarts ? 0 : 3); // 0: the old process quit in good order
        QCOMPARE(
            old.readAllStandardOutput(), QByteArray("crashed ") + QByteArray::number(crashedAfter) + '\n');
        const QString log = QString::fromUtf8(old.readAllStandardError());
        const QString commandLine = QLatin1Char('"') + m_helper + QLatin1Char('"')
            + (arguments.isEmpty() ? QString() : QLatin1Char(' ') + arguments);
        const QString logged = QStringLiteral("Restarting the application: ");
        QCOMPARE(log.contains(logged), restarts);
        if (restarts) {
            QVERIFY2(
                log.contains(logged + commandLine + QLatin1Char('\n')), qPrintable(log)); // no trailing blank
        } else {
            // A restart that does happen afterwards is the only new process.
            QProcess marker;
            marker.start(m_helper, { QStringLiteral("--restart"), QStringLiteral("marker") });
            QVERIFY(marker.waitForFinished(60000));
            expected = QStringList { QStringLiteral("marker") };
        }
        QTRY_COMPARE_WITH_TIMEOUT(Restarted().size(), 1, 30000);
        const QJsonObject child = Restarted().first();
        QCOMPARE(child.value(QStringLiteral("program")).toString(), m_helper);
        QCOMPARE(child.value(QStringLiteral("arguments")).toVariant().toStringList(), expected);
        QCOMPARE(child.value(QStringLiteral("crashed")).toInt(-1), 0);
    }
};

QTEST_GUILESS_MAIN(TestRestartApplication)
#include "tst_restartapplication.moc"
