#include "LnfFixture.h"

#include <QCoreApplication>
#include <QProcess>
#include <QtTest>

// Language validation, each case in a probe process with its own system
// languages (LANGUAGE) and installer language.
class TestLookAndFeelLanguage : public QObject
{
    Q_OBJECT
    LnfRoot m_root;

private Q_SLOTS:
    void initTestCase()
    {
        for (const char* locale : { "de_DE", "en_US", "pt_BR", "zh_CN", "zh_TW", "ru_RU", "unknown" })
            QVERIFY(m_root.AddLocale(locale));
    }

    void validation_data()
    {
        QTest::addColumn<QString>("requested");
        QTest::addColumn<QString>("system");
        QTest::addColumn<int>("installerCode");
        QTest::addColumn<QString>("output"); // installer's language, chosen language
        auto row = [](const char* name, const char* requested, const char* system, int code,
                       const char* installer, const char* chosen) {
            QTest::newRow(name) << requested << system << code << QString(installer) + " " + chosen;
        };
        row("offered", "ru_RU", "de_DE", 1036, "fr_FR", "ru_RU");
        row("not offered: first offered system language", "fr_FR", "ja_JP:ru_RU:de_DE", 0, "unknown",
            "ru_RU");
        row("portuguese of portugal becomes brazil", "", "pt_PT:de_DE", 0, "unknown", "pt_BR");
        row("chinese of hong kong is traditional", "", "zh_HK:de_DE", 0, "unknown", "zh_TW");
        row("chinese of china is simplified", "", "zh_CN:de_DE", 0, "unknown", "zh_CN");
        // "unknown" never names a directory, even one that exists.
        row("unknown id: installer language", "unknown", "ja_JP", 1031, "de_DE", "de_DE");
        // The installer's language is taken even when it is not offered.
        row("installer language not offered", "", "ja_JP", 2070, "pt_PT", "pt_PT");
        row("last resort", "", "ja_JP", 0, "unknown", "en_US");
    }
    void validation()
    {
        QFETCH(QString, requested);
        QFETCH(QString, system);
        QFETCH(int, installerCode);
        QFETCH(QString, output);

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LANGUAGE", system);
        env.insert("LANG", "C.UTF-8");
        env.remove("LC_ALL");
        env.remove("LC_MESSAGES");
        QProcess probe;
        probe.setProcessEnvironment(env);
        probe.start(QStringLiteral(ZENTAR_HELPER_DIR "/zentar_lnf_language_probe"),
            { QString::fromStdString(m_root.Utf8Path()), requested, QString::number(installerCode) });
        QVERIFY(probe.waitForFinished(30000));
        QVERIFY2(probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0,
            probe.readAllStandardError());
        QCOMPARE(QString::fromUtf8(probe.readAllStandardOutput()).trimmed(), output);
    }
};

QTEST_GUILESS_MAIN(TestLookAndFeelLanguage)
#include "tst_lookandfeellanguage.moc"
