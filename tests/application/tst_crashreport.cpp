// Why a run crashed, told to the next run, and crash loops: real processes
// that really crash (a null dereference, abort(), an uncaught exception, a
// raised SIGFPE, SIGKILL), then a run that reads what they left.
#include <QProcess>
#include <QSettings>
#include <QtTest>

#include "HelperReport.h"

#include <algorithm>
#include <csignal>
#include <memory>

namespace
{

const QString kApp = QStringLiteral(ZENTAR_HELPER_DIR "/zentar_crashing_app");

struct Run {
    QString session;
    QStringList crashed;
    HelperReport lines { QByteArray() };
    bool crashedBySignal = false;
    int exitCode = -1;
    QByteArray output;

    // The value of a "<key> <session> <value>" line about `session`.
    QStringList About(const QByteArray& key, const QString& id) const
    {
        QStringList values;
        for (const QString& text : lines.Texts(key))
            if (text.startsWith(id + QLatin1Char(' ')))
                values << text.mid(id.size() + 1);
        return values;
    }
    QString Cause(const QString& id) const { return About("cause", id).value(0).trimmed(); }
    QStringList Warnings() const { return lines.Texts("log"); }
};

Run Finish(QProcess& p)
{
    Run run;
    if (!p.waitForFinished(60000))
        return run;
    run.output = p.readAllStandardOutput();
    run.lines = HelperReport(run.output);
    run.session = run.lines.Text("session");
    run.crashed = run.lines.Texts("crashed");
    run.crashedBySignal = p.exitStatus() == QProcess::CrashExit;
    run.exitCode = p.exitCode();
    return run;
}

// One run of the helper to its end, whatever the end is.
Run RunOnce(const QStringList& args = {})
{
    QProcess p;
    p.start(kApp, args);
    return Finish(p);
}

std::unique_ptr<QProcess> StartWaiting(Run* run, const QStringList& args = {})
{
    auto p = std::make_unique<QProcess>();
    p->start(kApp, QStringList { QStringLiteral("--wait") } + args);
    QByteArray output;
    while (!output.contains("ready\n") && p->waitForReadyRead(30000))
        output += p->readAllStandardOutput();
    run->lines = HelperReport(output);
    run->session = run->lines.Text("session");
    return p;
}

QString SessionFile()
{
    return qEnvironmentVariable("XDG_DATA_HOME")
        + QStringLiteral("/zentar_crashing_app/Zentar/ZentarApp 20.4.0/zentar_crashing_app.ini");
}

QString ReportFile(const QString& session)
{
    return SessionFile().chopped(4) + QLatin1Char('.') + session + QStringLiteral(".crash");
}

// A session the tracker will find crashed: its process is gone (no such pid).
QString PlantCrashedSession(const QByteArray& report)
{
    const QString session = QStringLiteral("261206-101010-123456");
    QDir().mkpath(QFileInfo(SessionFile()).path());
    QSettings(SessionFile(), QSettings::IniFormat).setValue(QStringLiteral("4194304"), session);
    QFile file(ReportFile(session));
    if (!file.open(QIODevice::WriteOnly) || file.write(report) != report.size())
        return {};
    return session;
}

QByteArray ValidReport()
{
    return "session 261206-101010-123456\nversion 1.0.0\ntime 1765000000\npid 4194304\nthread 4194304 "
           "zentar_crashing\ncause signal\nsignal 11 SIGSEGV\ncode 1\naddress 0x10\nframe 0x401000 0x1000 "
           "/nonexistent/module\nend\n";
}

} // namespace

class TestCrashReport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        QDir(QFileInfo(SessionFile()).path()).removeRecursively();
        // The product store: a fresh crash count for each case.
        QFile::remove(
            qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Zentar/ZentarCrashingProduct.ini"));
    }

    void causeOfEachKindOfCrash_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("cause");
        QTest::addColumn<QString>("function"); // a frame that must be named
        QTest::newRow("null dereference") << "segv"
                                          << "SIGSEGV at 0x0"
                                          << "CrashByNullDereference";
        QTest::newRow("abort") << "abort"
                               << "SIGABRT"
                               << "::Crash(";
        QTest::newRow("uncaught exception") << "throw"
                                            << "std::runtime_error: the helper threw this on purpose"
                                            << "ThrowUncaught";
        QTest::newRow("raised SIGFPE") << "fpe"
                                       << "SIGFPE"
                                       << "::Crash(";
    }
    void causeOfEachKindOfCrash()
    {
        QFETCH(QString, kind);
        QFETCH(QString, cause);
        QFETCH(QString, function);
        const Run crashed = RunOnce({ QStringLiteral("--crash"), kind });
        QVERIFY2(crashed.crashedBySignal, crashed.output.constData());
        QVERIFY(!crashed.session.isEmpty());
        const QFileInfo report(ReportFile(crashed.session));
        QVERIFY(report.exists());
        QVERIFY(report.size() > 0 && report.size() <= 64 * 1024);

        const Run next = RunOnce();
        QCOMPARE(next.exitCode, 0);
        QCOMPARE(next.crashed, QStringList { crashed.session });
        QCOMPARE(next.Cause(crashed.session), cause);
        QCOMPARE(next.About("version", crashed.session), QStringList { QStringLiteral("1.0.0") });
        // The main thread crashed: its id is the process id.
        QCOMPARE(next.About("thread", crashed.session), QStringList { crashed.lines.Text("pid") });
        const QStringList functions = next.About("function", crashed.session);
        QVERIFY2(std::any_of(functions.begin(), functions.end(),
                     [&](const QString& name) { return name.contains(function); }),
            qPrintable(functions.join(QLatin1Char('|'))));
        if (kind == QLatin1String("segv")) // the innermost frame
            QVERIFY2(functions.value(0).contains(function), qPrintable(functions.value(0)));
        QVERIFY(next.Warnings().isEmpty());
    }

    void killedRunLeavesNoCause()
    {
        Run killed;
        auto running = StartWaiting(&killed);
        running->kill();
        QVERIFY(running->waitForFinished(30000));
        const Run next = RunOnce();
        QCOMPARE(next.crashed, QStringList { killed.session });
        QCOMPARE(next.Cause(killed.session), QString());
        QVERIFY(next.Warnings().isEmpty());
    }

    void crashWhileAnotherInstanceRuns()
    {
        Run live;
        auto running = StartWaiting(&live);
        const Run crashed = RunOnce({ QStringLiteral("--crash"), QStringLiteral("segv") });
        QVERIFY(crashed.crashedBySignal);
        const Run next = RunOnce();
        QCOMPARE(next.crashed, QStringList { crashed.session });
        QCOMPARE(next.Cause(crashed.session), QStringLiteral("SIGSEGV at 0x0"));
        running->closeWriteChannel();
        QVERIFY(running->waitForFinished(30000));
        QCOMPARE(running->exitStatus(), QProcess::NormalExit);
        QCOMPARE(RunOnce().crashed, QStringList());
    }

    void crashInsideTheHandlerEndsTheProcess()
    {
        // The handler of uncaught exceptions crashes asking for what(): the
        // process still ends, by the second crash, and leaves an unfinished report.
        const Run crashed = RunOnce({ QStringLiteral("--crash"), QStringLiteral("handler") });
        QVERIFY2(crashed.crashedBySignal, crashed.output.constData());
        const Run next = RunOnce();
        QCOMPARE(next.crashed, QStringList { crashed.session });
        QCOMPARE(next.Cause(crashed.session), QString());
        QCOMPARE(next.Warnings().size(), 1);
        QVERIFY(next.Warnings().first().contains(QStringLiteral("truncated")));
    }

    void damagedReportIsIgnoredWithOneWarning_data()
    {
        QTest::addColumn<QByteArray>("report");
        QTest::addColumn<QString>("cause"); // empty: ignored
        const QByteArray valid = ValidReport();
        QTest::newRow("valid") << valid << "SIGSEGV at 0x10";
        QTest::newRow("empty") << QByteArray() << QString();
        QTest::newRow("truncated") << valid.left(valid.size() - 10) << QString();
        QTest::newRow("no end") << valid.left(valid.size() - 4) << QString();
        QTest::newRow("garbage") << QByteArray("\x7f"
                                               "ELF\x00\x01\x02\nend\n",
            13) << QString();
        QTest::newRow("unknown cause")
            << QByteArray(valid).replace("cause signal", "cause gremlins") << QString();
        QTest::newRow("bad number") << QByteArray(valid).replace("address 0x10", "address 0xzz") << QString();
        QTest::newRow("too large") << QByteArray(valid).insert(0, QByteArray(64 * 1024, 'x')) << QString();
    }
    void damagedReportIsIgnoredWithOneWarning()
    {
        QFETCH(QByteArray, report);
        QFETCH(QString, cause);
        const QString session = PlantCrashedSession(report);
        QVERIFY(!session.isEmpty());
        const Run next = RunOnce();
        QCOMPARE(next.exitCode, 0);
        QCOMPARE(next.crashed, QStringList { session });
        QCOMPARE(next.Cause(session), cause);
        QCOMPARE(next.Warnings().size(), cause.isEmpty() ? 1 : 0);
        // The file is kept: it is not this run's to destroy.
        QVERIFY(QFile::exists(ReportFile(session)));
    }

    void expiredReportsAreRemoved()
    {
        const QString session = PlantCrashedSession(ValidReport());
        QFile report(ReportFile(session));
        QVERIFY(report.open(QIODevice::ReadWrite));
        QVERIFY(
            report.setFileTime(QDateTime::currentDateTime().addDays(-11), QFileDevice::FileModificationTime));
        report.close();
        const QString fresh = ReportFile(QStringLiteral("261206-101011-654321"));
        QVERIFY(QFile::copy(report.fileName(), fresh));
        // Once the run is up, not while it starts.
        Run live;
        auto running = StartWaiting(&live);
        QVERIFY(QFile::exists(report.fileName()));
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(report.fileName()), 30000);
        QVERIFY(QFile::exists(fresh));
        running->closeWriteChannel();
        QVERIFY(running->waitForFinished(30000));
    }

    void threeCrashesInARowMakeACrashLoop()
    {
        for (int i = 1; i <= 3; ++i) {
            const Run crashed = RunOnce({ QStringLiteral("--crash"), QStringLiteral("abort") });
            QVERIFY(crashed.crashedBySignal);
            QCOMPARE(crashed.lines.Text("in-row"), QString::number(i - 1));
            QCOMPARE(crashed.lines.Text("loop"), QStringLiteral("0"));
        }
        const Run looping = RunOnce({ QStringLiteral("--safe-mode") });
        QCOMPARE(looping.lines.Text("in-row"), QStringLiteral("3"));
        QCOMPARE(looping.lines.Text("loop"), QStringLiteral("1"));
        QCOMPARE(looping.lines.Text("safe"), QStringLiteral("1"));
        QVERIFY(looping.output.contains("ended\n"));
        // That run ended cleanly: the loop is over.
        const Run after = RunOnce({ QStringLiteral("--safe-mode") });
        QCOMPARE(after.lines.Text("in-row"), QStringLiteral("0"));
        QCOMPARE(after.lines.Text("loop"), QStringLiteral("0"));
        QCOMPARE(after.lines.Text("safe"), QStringLiteral("0"));
        // The threshold is the product's.
        QVERIFY(RunOnce({ QStringLiteral("--crash"), QStringLiteral("segv") }).crashedBySignal);
        const Run lower = RunOnce({ QStringLiteral("--threshold"), QStringLiteral("1") });
        QCOMPARE(lower.lines.Text("loop"), QStringLiteral("1"));
    }

    void crashFreeShareOverCleanAndCrashedRuns()
    {
        const QStringList clean;
        const QStringList crash { QStringLiteral("--crash"), QStringLiteral("segv") };
        // clean, crash, clean, clean, killed: three clean ends in five.
        QCOMPARE(RunOnce(clean).lines.Text("share"), QStringLiteral("1.00")); // nothing recorded yet
        QVERIFY(RunOnce(crash).crashedBySignal);
        QCOMPARE(RunOnce(clean).lines.Text("share"), QStringLiteral("0.50"));
        QCOMPARE(RunOnce(clean).lines.Text("share"), QStringLiteral("0.67"));
        Run killed;
        auto running = StartWaiting(&killed);
        running->kill();
        QVERIFY(running->waitForFinished(30000));
        QCOMPARE(RunOnce(clean).lines.Text("share"), QStringLiteral("0.60"));
        // Another version has a record of its own; its crash does not count for 1.0.0.
        const QStringList v2 { QStringLiteral("--version"), QStringLiteral("2.0.0") };
        QCOMPARE(RunOnce(v2).lines.Text("share"), QStringLiteral("1.00"));
        QVERIFY(RunOnce(v2 + crash).crashedBySignal);
        QCOMPARE(RunOnce(v2).lines.Text("share"), QStringLiteral("0.50"));
        QCOMPARE(RunOnce(clean).lines.Text("share"), QStringLiteral("0.67")); // 4 of 6
    }

    void onlyTheLastTwentySessionsCount()
    {
        QVERIFY(RunOnce({ QStringLiteral("--crash"), QStringLiteral("abort") }).crashedBySignal);
        // Written by hand: 19 clean ends after the crash make the window full.
        QSettings store(
            qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Zentar/ZentarCrashingProduct.ini"),
            QSettings::IniFormat);
        QCOMPARE(RunOnce().lines.Text("share"), QStringLiteral("0.00")); // its own end comes later
        store.sync();
        const QString key = QStringLiteral("crashTracking/sessions/1.0.0");
        QCOMPARE(store.value(key).toString(), QStringLiteral("01"));
        store.setValue(key, QStringLiteral("0") + QString(19, QLatin1Char('1')));
        store.sync();
        // The run before this one ended cleanly: the crash falls out of the window.
        RunOnce();
        store.sync();
        QCOMPARE(store.value(key).toString(), QString(20, QLatin1Char('1')));
        QCOMPARE(RunOnce().lines.Text("share"), QStringLiteral("1.00"));
    }
};

QTEST_GUILESS_MAIN(TestCrashReport)
#include "tst_crashreport.moc"
