#include <QProcess>
#include <QtTest>

// HighDpiFix decides between the system DPI library and Qt's own scaling.
// Each case runs it in a fresh process (zentar_dpi_probe), with or without a
// stand-in of that library where the loader finds it.
class TestStartupHelpers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void dpiPolicy_data()
    {
        QTest::addColumn<QByteArray>("policy"); // null: the variable is unset
        QTest::addColumn<QString>("library"); // "with", "without" the function, or none
        QTest::addColumn<QByteArray>("output");
        const QByteArray systemScales = "SetProcessDpiAwareness(0)\nattribute=0\n";
        const QByteArray qtScales = "attribute=1\n";
        const QByteArray untouched = "attribute=0\n";
        QTest::newRow("unset, library") << QByteArray() << "with" << systemScales;
        QTest::newRow("NOSCALE, library") << QByteArray("NOSCALE") << "with" << untouched;
        QTest::newRow("noscale in lower case, library") << QByteArray("noscale") << "with" << systemScales;
        QTest::newRow("other value, library") << QByteArray("SCALE") << "with" << systemScales;
        QTest::newRow("empty value, library") << QByteArray("") << "with" << systemScales;
        QTest::newRow("unset, no library") << QByteArray() << QString() << qtScales;
        QTest::newRow("NOSCALE, no library") << QByteArray("NOSCALE") << QString() << untouched;
        QTest::newRow("unset, library without the function") << QByteArray() << "without" << qtScales;
    }
    void dpiPolicy()
    {
        QFETCH(QByteArray, policy);
        QFETCH(QString, library);
        QFETCH(QByteArray, output);

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("ZENTAR_DPI_POLICY"));
        if (!policy.isNull())
            env.insert(QStringLiteral("ZENTAR_DPI_POLICY"), QString::fromLatin1(policy));
        if (!library.isEmpty()) {
            const QString dir = QStringLiteral(ZENTAR_HELPER_DIR "/shcore-") + library;
            QVERIFY(QFile::exists(dir + QStringLiteral("/Shcore.dll")));
            const QString inherited = env.value(QStringLiteral("LD_LIBRARY_PATH"));
            env.insert(QStringLiteral("LD_LIBRARY_PATH"),
                inherited.isEmpty() ? dir : dir + QLatin1Char(':') + inherited);
        }

        QProcess probe;
        probe.setProcessEnvironment(env);
        probe.start(QStringLiteral(ZENTAR_HELPER_DIR "/zentar_dpi_probe"), QStringList());
        QVERIFY(probe.waitForFinished(30000));
        QCOMPARE(probe.exitStatus(), QProcess::NormalExit);
        QCOMPARE(probe.exitCode(), 0);
        QCOMPARE(probe.readAllStandardOutput(), output);
    }
};

QTEST_GUILESS_MAIN(TestStartupHelpers)

#include "tst_startuphelpers.moc"
