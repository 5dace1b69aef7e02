#include <Zentar/Settings/SettingsManager.h>

#include <QProcess>
#include <QtTest>

#include <limits>

using Zentar::App::ISettingsManager;
using Zentar::App::ISettingsManagerObserver;
using Zentar::App::SettingsManager;

namespace
{

const QString Org = QStringLiteral("ZentarTests");
using Bytes = std::vector<unsigned char>;

struct Recorder : ISettingsManagerObserver {
    void OnSettingChanged(ISettingsManager&, const std::string& key) override { keys.push_back(key); }
    std::vector<std::string> keys;
};

// Runs the writer helper on `product`; returns what it printed, or "failed".
QByteArray RunWriter(const QString& product, const QStringList& ops)
{
    QProcess writer;
    writer.start(
        QStringLiteral(ZENTAR_HELPER_DIR "/zentar_settings_writer"), QStringList { product, Org } + ops);
    const bool ok = writer.waitForFinished(30000) && writer.exitStatus() == QProcess::NormalExit
        && writer.exitCode() == 0;
    return ok ? writer.readAllStandardOutput() : QByteArray("failed");
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
        QCOMPARE(store.GetInt("helper/int", -1), 7);
        QVERIFY(!store.Contains("doomed"));
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
        other.SetInt("i", 2); // a change made through another object is not this one's
        QCOMPARE(recorder.keys, (std::vector<std::string> { "b", "s", "y", "d", "s" }));

        store.UnregisterObserver(&recorder);
        store.SetInt("i", 3);
        QCOMPARE(recorder.keys.size(), size_t(5));
    }
};

QTEST_GUILESS_MAIN(TestSettingsManager)
#include "tst_settingsmanager.moc"
