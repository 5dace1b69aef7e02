#include <Zentar/Settings/SettingsManager.h>

#include "SettingsTest.h"

#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include <limits>
#include <thread>

using Zentar::App::ISettingsManager;
using Zentar::App::ISettingsManagerObserver;
using Zentar::App::SettingsManager;

namespace
{

const QString Org = QStringLiteral("ZentarTests");
using Bytes = std::vector<unsigned char>;

const QString Writer = QStringLiteral(ZENTAR_HELPER_DIR "/zentar_settings_writer");

// Each key it is told of, with the text value the store gives at that moment
// and the thread that told it.
struct Recorder : ISettingsManagerObserver {
    void OnSettingChanged(ISettingsManager& settings, const std::string& key) override
    {
        keys.push_back(key);
        values.push_back(settings.GetString(key, "<none>"));
        threads.push_back(QThread::currentThread());
    }
    std::vector<std::string> keys;
    std::vector<std::string> values;
    std::vector<QThread*> threads;
};

// Runs the writer helper on `product`; returns what it printed, or "failed".
QByteArray RunWriter(const QString& product, const QStringList& ops)
{
    QProcess writer;
    writer.start(Writer, QStringList { product, Org } + ops);
    const bool ok = writer.waitForFinished(30000) && writer.exitStatus() == QProcess::NormalExit
        && writer.exitCode() == 0;
    return ok ? writer.readAllStandardOutput() : QByteArray("failed");
}

// The number of system calls the writer helper makes for `ops`, counted by
// strace; -1 when strace cannot trace it.
qint64 WriterSystemCalls(const QString& product, const QStringList& ops, const QString& traceFile)
{
    QProcess strace;
    strace.start(QStringLiteral("strace"),
        QStringList { QStringLiteral("-f"), QStringLiteral("-c"), QStringLiteral("-o"), traceFile, Writer,
            product, Org }
            + ops);
    if (!strace.waitForFinished(60000) || strace.exitStatus() != QProcess::NormalExit
        || strace.exitCode() != 0)
        return -1;
    QFile file(traceFile);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    // The summary's last line: "100.00 <seconds> <usecs/call> <calls> [<errors>] total".
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() >= 5 && fields.last() == "total")
            return fields.at(3).toLongLong();
    }
    return -1;
}

} // namespace

class TestSettingsManager : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void persistsAcrossObjectsAndProcesses()
    {
        const QString product = QStringLiteral("Persist");
        const std::string key = "Группа/ключ ✓";
        const std::string text = "日本語 \"quoted\", comma; 😀";
        const Bytes bytes { 0x00, 0xFF, 0x40, 0x0A, 0x00 };
        SettingsManager store(product, Org);
        store.SetString(key, text);
        store.SetInt64("int64Max", std::numeric_limits<int64_t>::max());
        store.SetDouble("tenth", 0.1);
        store.SetBool("flag", true);
        store.SetByteArray("bytes", bytes);
        store.SetString("doomed", "x");
        {
            SettingsManager other(product, Org);
            QCOMPARE(other.GetString(key, "default"), text);
            QCOMPARE(other.GetInt64("int64Max", 0), std::numeric_limits<int64_t>::max());
            QCOMPARE(other.GetDouble("tenth", 0), 0.1);
            QCOMPARE(other.GetBool("flag", false), true);
            QCOMPARE(other.GetByteArray("bytes", { 1 }), bytes);
            QCOMPARE(other.GetInt("absent", 42), 42);
            other.SetInt("fromOther", 5);
        }
        QCOMPARE(store.GetInt("fromOther", -1), 5);

        // Another process reads what this one wrote and its changes show up here.
        QCOMPARE(RunWriter(product,
                     { QStringLiteral("get"), QString::fromStdString(key), QStringLiteral("int"),
                         QStringLiteral("helper/int"), QStringLiteral("7"), QStringLiteral("remove"),
                         QStringLiteral("doomed") }),
            QByteArray::fromStdString(text + "\n"));
        QTRY_COMPARE(store.GetInt("helper/int", -1), 7);
        QTRY_VERIFY(!store.Contains("doomed"));
        store.SetInt("after", 1); // must not bring back what the helper removed
        QCOMPARE(
            RunWriter(product, { QStringLiteral("get"), QStringLiteral("doomed") }), QByteArray("<none>\n"));
        QCOMPARE(RunWriter(product, { QStringLiteral("get"), QStringLiteral("after") }), QByteArray("1\n"));
    }

    void wrongTypeGivesDefault_data()
    {
        // What each getter returns for a stored text; invalid means its default.
        QTest::addColumn<QString>("text");
        QTest::addColumn<QVariant>("asBool");
        QTest::addColumn<QVariant>("asInt");
        QTest::addColumn<QVariant>("asInt64");
        QTest::addColumn<QVariant>("asDouble");
        const QVariant none;
        QTest::newRow("TRUE") << "TRUE" << QVariant(true) << none << none << none;
        QTest::newRow("one") << "1" << QVariant(true) << QVariant(1) << QVariant(qint64(1)) << QVariant(1.0);
        QTest::newRow("letters") << "abc" << none << none << none << none;
        QTest::newRow("number then letters") << "12abc" << none << none << none << none;
        QTest::newRow("beyond int") << "2147483648" << none << none << QVariant(qint64(2147483648LL))
                                    << QVariant(2147483648.0);
        QTest::newRow("fraction") << "1.5" << none << none << none << QVariant(1.5);
        QTest::newRow("decimal comma") << "1,5" << none << none << none << none;
    }
    void wrongTypeGivesDefault()
    {
        QFETCH(QString, text);
        QFETCH(QVariant, asBool);
        QFETCH(QVariant, asInt);
        QFETCH(QVariant, asInt64);
        QFETCH(QVariant, asDouble);
        SettingsManager store(QStringLiteral("Conversions"), Org);
        store.SetString("value", text.toStdString());
        QCOMPARE(store.GetBool("value", true), asBool.isValid() ? asBool.toBool() : true);
        QCOMPARE(store.GetBool("value", false), asBool.isValid() ? asBool.toBool() : false);
        QCOMPARE(store.GetInt("value", -777), asInt.isValid() ? asInt.toInt() : -777);
        QCOMPARE(store.GetInt64("value", -777), asInt64.isValid() ? asInt64.toLongLong() : -777);
        QCOMPARE(store.GetDouble("value", -777.5), asDouble.isValid() ? asDouble.toDouble() : -777.5);
        QCOMPARE(store.GetByteArray("value", { 9 }), Bytes { 9 });
        store.SetByteArray("raw", { '4', '2' });
        QCOMPARE(store.GetString("raw", "default"), std::string("default"));
        QCOMPARE(store.GetInt("raw", -1), -1);
    }

    // A Set of the value the file holds leaves the file alone (a rewrite
    // would drop the hand-written comment) but is still announced; any other
    // value, or one of another type, is written.
    void unchangedValueIsNotRewritten()
    {
        SettingsManager store(QStringLiteral("Unchanged"), Org);
        Recorder recorder;
        store.RegisterObserver(&recorder);
        store.SetString("path", "C:\\Product\\");
        store.SetByteArray("bytes", { 1, 2 });
        {
            QFile file(store.FileName());
            QVERIFY(file.open(QIODevice::Append));
            file.write("; hand-written\n");
        }
        const auto fileText = [&store] {
            QFile file(store.FileName());
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        };

        store.SetString("path", "C:\\Product\\");
        store.SetByteArray("bytes", { 1, 2 });
        QVERIFY(fileText().contains("hand-written"));

        store.SetString("bytes", "\x01\x02");
        QVERIFY(!fileText().contains("hand-written"));
        QCOMPARE(store.GetByteArray("bytes", {}), Bytes {});
        QCOMPARE(store.GetString("bytes", ""), std::string("\x01\x02"));
        QCOMPARE(recorder.keys, (std::vector<std::string> { "path", "bytes", "path", "bytes", "bytes" }));
    }

    void groups()
    {
        SettingsManager store(QStringLiteral("Groups"), Org);
        store.SetInt("a/x", 1);
        store.SetInt("a/y", 2);
        store.SetInt("a/b/z", 3);
        store.SetInt("top", 4);
        auto keys = store.GetGroupKeys("a");
        std::sort(keys.begin(), keys.end());
        QCOMPARE(keys, (std::vector<std::string> { "x", "y" }));
        QCOMPARE(store.GetGroupKeys(""), std::vector<std::string> { "top" });
        QVERIFY(store.GetGroupKeys("nothing").empty());
        QVERIFY(store.ContainsGroup("a") && store.ContainsGroup("/a/b/"));
        QVERIFY(
            !store.ContainsGroup("a/x") && !store.ContainsGroup("top") && !store.ContainsGroup("nothing"));

        store.Remove("a");
        QVERIFY(!store.ContainsGroup("a") && !store.Contains("a/x") && !store.Contains("a/b/z"));
        QCOMPARE(store.GetInt("top", 0), 4);
        QVERIFY(!SettingsManager(QStringLiteral("Groups"), Org).ContainsGroup("a"));
    }

    void observers()
    {
        SettingsManager store(QStringLiteral("Observed"), Org);
        SettingsManager other(QStringLiteral("Observed"), Org);
        Recorder recorder;
        store.RegisterObserver(&recorder);
        store.RegisterObserver(&recorder); // registered once only

        store.SetBool("b", true);
        store.SetString("s", "x");
        store.SetByteArray("y", { 1 });
        store.SetDouble("d", 1);
        store.Remove("s");
        // This object's own changes are told at once, before the file events.
        QCOMPARE(recorder.keys, (std::vector<std::string> { "b", "s", "y", "d", "s" }));

        // Another object's change is told when the file event comes, once;
        // this object's changes are not told again. The next change by
        // `other` comes after every event of the first in the queue.
        other.SetInt("i", 2);
        QTRY_COMPARE(recorder.keys.size(), size_t(6));
        other.SetInt("j", 3);
        QTRY_COMPARE(recorder.keys.size(), size_t(7));
        QCOMPARE(recorder.keys, (std::vector<std::string> { "b", "s", "y", "d", "s", "i", "j" }));

        store.UnregisterObserver(&recorder);
        store.SetInt("i", 3);
        other.SetInt("k", 4);
        QTRY_COMPARE(store.GetInt("k", 0), 4);
        QCOMPARE(recorder.keys.size(), size_t(7));
    }

    // Another process changes the file through its own store: this store
    // tells its observers which keys changed, once each, on the thread that
    // made it, with the new values already readable.
    void changesOfAnotherProcessAreTold()
    {
        const QString product = QStringLiteral("Watched");
        SettingsManager store(product, Org);
        store.SetString("doomed", "x");
        store.SetString("kept", "same");
        Recorder recorder;
        store.RegisterObserver(&recorder);

        QCOMPARE(RunWriter(product,
                     { QStringLiteral("int"), QStringLiteral("g/a"), QStringLiteral("1"),
                         QStringLiteral("int"), QStringLiteral("b"), QStringLiteral("2"),
                         QStringLiteral("remove"), QStringLiteral("doomed") }),
            QByteArray());
        QTRY_COMPARE(recorder.keys.size(), size_t(3));
        QCOMPARE(recorder.keys, (std::vector<std::string> { "b", "doomed", "g/a" }));
        QCOMPARE(recorder.values, (std::vector<std::string> { "2", "<none>", "1" }));
        for (QThread* thread : recorder.threads)
            QCOMPARE(thread, QThread::currentThread());

        // This object's write is told once, and the file event it causes adds
        // nothing; a second change by the other process comes after all of it.
        store.SetInt("mine", 5);
        QCOMPARE(RunWriter(product, { QStringLiteral("int"), QStringLiteral("b"), QStringLiteral("20") }),
            QByteArray());
        QTRY_COMPARE(recorder.keys.size(), size_t(5));
        QCOMPARE(recorder.keys, (std::vector<std::string> { "b", "doomed", "g/a", "mine", "b" }));
        QCOMPARE(recorder.values.back(), std::string("20"));

        // A process that writes what the file already holds changes nothing.
        QCOMPARE(RunWriter(product, { QStringLiteral("int"), QStringLiteral("b"), QStringLiteral("20") }),
            QByteArray());
        store.SetInt("marker", 1);
        QCOMPARE(RunWriter(product, { QStringLiteral("int"), QStringLiteral("last"), QStringLiteral("1") }),
            QByteArray());
        QTRY_COMPARE(recorder.keys.size(), size_t(7));
        QCOMPARE(recorder.keys.back(), std::string("last"));
        QCOMPARE(recorder.keys.at(5), std::string("marker"));
    }

    // A watched store answers a thousand gets from memory; one made where no
    // event loop runs, or not observed, checks the file at each read and
    // still sees others' changes at once.
    void getsDoNotTouchTheFile()
    {
        const QString product = QStringLiteral("Counted");
        SettingsManager store(product, Org);
        store.SetInt("n", 1);
        store.SetString("g/s", "text");
        const std::uint64_t unobserved = Zentar::App::SettingsTest::FileChecks();
        QCOMPARE(store.GetInt("n", 0), 1);
        QCOMPARE(Zentar::App::SettingsTest::FileChecks() - unobserved, std::uint64_t(1));
        Recorder recorder;
        store.RegisterObserver(&recorder);
        const std::uint64_t before = Zentar::App::SettingsTest::FileChecks();
        qint64 sum = 0;
        for (int i = 0; i < 250; ++i) {
            sum += store.GetInt("n", 0) + store.GetInt64("absent", 0);
            sum += store.GetString("g/s", "").size() + (store.Contains("n") ? 1 : 0);
        }
        QCOMPARE(sum, qint64(250 * 6));
        QCOMPARE(Zentar::App::SettingsTest::FileChecks(), before);
        QCOMPARE(RunWriter(product, { QStringLiteral("int"), QStringLiteral("n"), QStringLiteral("7") }),
            QByteArray());
        QTRY_COMPARE(store.GetInt("n", 0), 7);

        // Made on a thread without an event loop, used from this one.
        std::unique_ptr<SettingsManager> unwatched;
        std::thread([&unwatched, &product] {
            unwatched = std::make_unique<SettingsManager>(product, Org);
        }).join();
        const std::uint64_t start = Zentar::App::SettingsTest::FileChecks();
        for (int i = 0; i < 10; ++i)
            QCOMPARE(unwatched->GetInt("n", 0), 7);
        QCOMPARE(Zentar::App::SettingsTest::FileChecks() - start, std::uint64_t(10));
        QCOMPARE(RunWriter(product, { QStringLiteral("int"), QStringLiteral("n"), QStringLiteral("8") }),
            QByteArray());
        QCOMPARE(unwatched->GetInt("n", 0), 8);
    }

    // The same with the system calls of a whole process counted: a thousand
    // more gets add no system call.
    void getsMakeNoSystemCall()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("strace")).isEmpty())
            QSKIP("strace is not installed (scripts/install-deps.sh installs it)");
        const QString product = QStringLiteral("Traced");
        SettingsManager(product, Org).SetString("key", "value");
        const QString trace = QDir::temp().filePath(QStringLiteral("zentar-settings-strace.txt"));
        const qint64 none = WriterSystemCalls(
            product, { QStringLiteral("gets"), QStringLiteral("key"), QStringLiteral("0") }, trace);
        if (none < 0)
            QSKIP("strace cannot trace a child process here (ptrace not permitted?)");
        const qint64 thousand = WriterSystemCalls(
            product, { QStringLiteral("gets"), QStringLiteral("key"), QStringLiteral("1000") }, trace);
        qInfo("system calls: %lld with no get, %lld with 1000 gets", none, thousand);
        QVERIFY(thousand > 0);
        QVERIFY2(thousand - none < 100, "the gets made system calls");
    }
};

QTEST_GUILESS_MAIN(TestSettingsManager)
#include "tst_settingsmanager.moc"
