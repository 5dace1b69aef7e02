#include <Zentar/Settings/SettingsManager.h>

#include "LogCapture.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include <cmath>
#include <limits>

using Zentar::App::ISettingsManager;
using Zentar::App::ISettingsManagerObserver;
using Zentar::App::SettingsManager;

namespace
{

const QString Org = QStringLiteral("ZentarTests");

using Bytes = std::vector<unsigned char>;

struct Recorder : ISettingsManagerObserver {
    void OnSettingChanged(ISettingsManager& store, const std::string& key) override
    {
        stores.push_back(&store);
        keys.push_back(key);
        if (onChange)
            onChange();
    }
    std::vector<ISettingsManager*> stores;
    std::vector<std::string> keys;
    std::function<void()> onChange;
};

bool RunWriter(const QString& product, const QStringList& ops)
{
    QProcess writer;
    writer.start(
        QStringLiteral(ZENTAR_HELPER_DIR "/zentar_settings_writer"), QStringList { product, Org } + ops);
    return writer.waitForFinished(30000) && writer.exitStatus() == QProcess::NormalExit
        && writer.exitCode() == 0 && writer.readAllStandardOutput().trimmed() == "done";
}

} // namespace

class TestSettingsManager : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fileInUserConfigFolder()
    {
        SettingsManager store(QStringLiteral("Location"), Org);
        const QString expected = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME"))
            + QStringLiteral("/ZentarTests/Location.ini");
        QCOMPARE(store.FileName(), expected);
        store.SetInt("k", 1);
        QFile file(expected);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("k=1"));
    }

    void valuesRoundTripAcrossObjects()
    {
        const std::string key = "Группа/ключ ✓";
        const std::string text = "日本語 \"quoted\", comma; @at 😀";
        const Bytes bytes { 0x00, 0xFF, 0x40, 0x0A, 0x00 };
        {
            SettingsManager store(QStringLiteral("RoundTrip"), Org);
            store.SetString(key, text);
            store.SetString("empty", "");
            store.SetInt("intMin", std::numeric_limits<int>::min());
            store.SetInt64("int64Max", std::numeric_limits<int64_t>::max());
            store.SetDouble("tenth", 0.1);
            store.SetDouble("tiny", 4.9406564584124654e-324);
            store.SetDouble("huge", -std::numeric_limits<double>::infinity());
            store.SetBool("flag", true);
            store.SetByteArray("bytes", bytes);
            store.SetByteArray("noBytes", {});
        }
        // A new object reads everything back from the file.
        const SettingsManager store(QStringLiteral("RoundTrip"), Org);
        QCOMPARE(store.GetString(key, "default"), text);
        QVERIFY(store.Contains("empty"));
        QCOMPARE(store.GetString("empty", "default"), std::string());
        QCOMPARE(store.GetInt("intMin", 0), std::numeric_limits<int>::min());
        QCOMPARE(store.GetInt64("int64Max", 0), std::numeric_limits<int64_t>::max());
        QCOMPARE(store.GetDouble("tenth", 0), 0.1);
        QCOMPARE(store.GetDouble("tiny", 0), 4.9406564584124654e-324);
        QCOMPARE(store.GetDouble("huge", 0), -std::numeric_limits<double>::infinity());
        QCOMPARE(store.GetBool("flag", false), true);
        QCOMPARE(store.GetByteArray("bytes", { 1 }), bytes);
        QCOMPARE(store.GetByteArray("noBytes", { 1 }), Bytes());
        QVERIFY(!store.Contains("absent"));
        QCOMPARE(store.GetInt("absent", 42), 42);
    }

    void objectsInOneProcessShareValues()
    {
        SettingsManager first(QStringLiteral("Shared"), Org);
        SettingsManager second(QStringLiteral("Shared"), Org);
        QCOMPARE(second.GetInt("counter", -1), -1);
        first.SetInt("counter", 1);
        QCOMPARE(second.GetInt("counter", -1), 1);
        second.SetInt("counter", 2);
        QCOMPARE(first.GetInt("counter", -1), 2);
        first.Remove("counter");
        QVERIFY(!second.Contains("counter"));
    }

    void anotherProcessSeesAndChangesValues()
    {
        const QString product = QStringLiteral("CrossProcess");
        SettingsManager store(product, Org);
        store.SetString("mine", "kept");
        store.SetString("doomed", "x");
        QCOMPARE(store.GetInt("fromHelper/int", -1), -1);

        QVERIFY(RunWriter(product,
            { QStringLiteral("int"), QStringLiteral("fromHelper/int"), QStringLiteral("7"),
                QStringLiteral("double"), QStringLiteral("fromHelper/double"), QStringLiteral("2.5"),
                QStringLiteral("bytes"), QStringLiteral("fromHelper/bytes"), QStringLiteral("00ff10"),
                QStringLiteral("string"), QStringLiteral("fromHelper/text"), QStringLiteral("Ünïcødé"),
                QStringLiteral("remove"), QStringLiteral("doomed") }));

        // The object that was open all along sees the other process's writes.
        QCOMPARE(store.GetInt("fromHelper/int", -1), 7);
        QCOMPARE(store.GetDouble("fromHelper/double", 0), 2.5);
        QCOMPARE(store.GetByteArray("fromHelper/bytes", {}), (Bytes { 0x00, 0xFF, 0x10 }));
        QCOMPARE(store.GetString("fromHelper/text", ""), std::string("Ünïcødé"));
        QVERIFY(!store.Contains("doomed"));
        QCOMPARE(store.GetString("mine", ""), std::string("kept"));

        // And a write after the helper's does not bring back what it removed.
        store.SetInt("after", 1);
        const SettingsManager fresh(product, Org);
        QVERIFY(!fresh.Contains("doomed"));
        QCOMPARE(fresh.GetInt("fromHelper/int", -1), 7);
        QCOMPARE(fresh.GetInt("after", -1), 1);
    }

    void conversions_data()
    {
        // Each getter's answer for a stored text; an invalid QVariant means
        // the getter returned its default.
        QTest::addColumn<QString>("text");
        QTest::addColumn<QVariant>("asBool");
        QTest::addColumn<QVariant>("asInt");
        QTest::addColumn<QVariant>("asInt64");
        QTest::addColumn<QVariant>("asDouble");
        const QVariant none;
        QTest::newRow("true") << "true" << QVariant(true) << none << none << none;
        QTest::newRow("TRUE") << "TRUE" << QVariant(true) << none << none << none;
        QTest::newRow("False") << "False" << QVariant(false) << none << none << none;
        QTest::newRow("one") << "1" << QVariant(true) << QVariant(1) << QVariant(qint64(1)) << QVariant(1.0);
        QTest::newRow("zero") << "0" << QVariant(false) << QVariant(0) << QVariant(qint64(0))
                              << QVariant(0.0);
        QTest::newRow("two") << "2" << none << QVariant(2) << QVariant(qint64(2)) << QVariant(2.0);
        QTest::newRow("yes") << "yes" << none << none << none << none;
        QTest::newRow("letters") << "abc" << none << none << none << none;
        QTest::newRow("number then letters") << "12abc" << none << none << none << none;
        QTest::newRow("empty") << "" << none << none << none << none;
        QTest::newRow("negative") << "-5" << none << QVariant(-5) << QVariant(qint64(-5)) << QVariant(-5.0);
        QTest::newRow("beyond int") << "2147483648" << none << none << QVariant(qint64(2147483648LL))
                                    << QVariant(2147483648.0);
        QTest::newRow("beyond int64")
            << "9223372036854775808" << none << none << none << QVariant(9223372036854775808.0);
        QTest::newRow("fraction") << "1.5" << none << none << none << QVariant(1.5);
        QTest::newRow("decimal comma") << "1,5" << none << none << none << none;
    }
    void conversions()
    {
        QFETCH(QString, text);
        QFETCH(QVariant, asBool);
        QFETCH(QVariant, asInt);
        QFETCH(QVariant, asInt64);
        QFETCH(QVariant, asDouble);
        SettingsManager store(QStringLiteral("Conversions"), Org);
        store.SetString("value", text.toStdString());

        if (asBool.isValid()) {
            QCOMPARE(store.GetBool("value", !asBool.toBool()), asBool.toBool());
        } else {
            QCOMPARE(store.GetBool("value", true), true);
            QCOMPARE(store.GetBool("value", false), false);
        }
        QCOMPARE(store.GetInt("value", -777), asInt.isValid() ? asInt.toInt() : -777);
        QCOMPARE(store.GetInt64("value", -777), asInt64.isValid() ? asInt64.toLongLong() : -777);
        QCOMPARE(store.GetDouble("value", -777.5), asDouble.isValid() ? asDouble.toDouble() : -777.5);
        // Text is never bytes.
        QCOMPARE(store.GetByteArray("value", { 9 }), Bytes { 9 });
    }

    void bytesAreNotText()
    {
        SettingsManager store(QStringLiteral("Conversions"), Org);
        store.SetByteArray("raw", { '4', '2' });
        QCOMPARE(store.GetString("raw", "default"), std::string("default"));
        QCOMPARE(store.GetInt("raw", -1), -1);
        store.SetBool("flag", false);
        QCOMPARE(store.GetString("flag", ""), std::string("false"));
        QCOMPARE(store.GetInt("flag", -1), -1);
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
        QCOMPARE(store.GetGroupKeys("a/b"), std::vector<std::string> { "z" });
        QCOMPARE(store.GetGroupKeys(""), std::vector<std::string> { "top" });
        QVERIFY(store.GetGroupKeys("nothing").empty());

        QVERIFY(store.ContainsGroup("a"));
        QVERIFY(store.ContainsGroup("a/b"));
        QVERIFY(store.ContainsGroup("/a/"));
        QVERIFY(!store.ContainsGroup("a/x"));
        QVERIFY(!store.ContainsGroup("top"));
        QVERIFY(!store.ContainsGroup("nothing"));
        QVERIFY(store.Contains("a//b/z"));

        store.Remove("a");
        QVERIFY(!store.ContainsGroup("a"));
        QVERIFY(!store.Contains("a/x"));
        QVERIFY(!store.Contains("a/b/z"));
        QCOMPARE(store.GetInt("top", 0), 4);
        QVERIFY(!SettingsManager(QStringLiteral("Groups"), Org).ContainsGroup("a"));
    }

    void emptyKeyIsRejected()
    {
        SettingsManager store(QStringLiteral("EmptyKey"), Org);
        store.SetInt("keep", 1);
        LogCapture log;
        store.SetInt("", 5);
        store.Remove("/");
        QCOMPARE(log.Texts(google::GLOG_ERROR).size(), size_t(2));
        QCOMPARE(store.GetInt("keep", 0), 1);
        QCOMPARE(store.GetInt("", -1), -1);
        QVERIFY(!store.Contains(""));
    }

    void observersAreToldOfOwnChanges()
    {
        SettingsManager store(QStringLiteral("Observed"), Org);
        SettingsManager other(QStringLiteral("Observed"), Org);
        Recorder recorder;
        store.RegisterObserver(&recorder);
        store.RegisterObserver(&recorder);

        store.SetBool("b", true);
        store.SetInt("i", 1);
        store.SetString("s", "x");
        store.SetByteArray("y", { 1 });
        store.SetInt64("l", 1);
        store.SetDouble("d", 1);
        store.Remove("s");
        other.SetInt("i", 2); // a change made through another object
        QCOMPARE(recorder.keys, (std::vector<std::string> { "b", "i", "s", "y", "l", "d", "s" }));
        QCOMPARE(recorder.stores, std::vector<ISettingsManager*>(7, &store));

        store.UnregisterObserver(&recorder);
        store.SetInt("i", 3);
        QCOMPARE(recorder.keys.size(), size_t(7));
    }

    void unregisterFromCallback()
    {
        SettingsManager store(QStringLiteral("Observed"), Org);
        Recorder selfRemoving;
        Recorder remover;
        Recorder removed;
        selfRemoving.onChange = [&] { store.UnregisterObserver(&selfRemoving); };
        remover.onChange = [&] { store.UnregisterObserver(&removed); };
        store.RegisterObserver(&selfRemoving);
        store.RegisterObserver(&remover);
        store.RegisterObserver(&removed);

        store.SetInt("k", 1);
        store.SetInt("k", 2);
        QCOMPARE(selfRemoving.keys.size(), size_t(1));
        QCOMPARE(remover.keys.size(), size_t(2));
        QVERIFY(removed.keys.empty()); // unregistered before its turn came
    }
};

QTEST_GUILESS_MAIN(TestSettingsManager)
#include "tst_settingsmanager.moc"
