#include "PseudoText.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

namespace
{

const QString kTricky = QStringLiteral(ZENTAR_TEST_DATA_DIR "/data/tricky_de_DE.ts");

QString Run(const QString& program, const QStringList& arguments, int* exitCode)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    *exitCode = process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit
        ? process.exitCode()
        : -1;
    return QString::fromUtf8(process.readAll());
}

} // namespace

// The pseudo-language and the completeness count that zentar-ts-tool gives
// the build.
class TestTranslationTools : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pseudoText_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("pseudo");
        QTest::newRow("plain") << "Settings" << QString::fromUtf8("[Ŝéţţîñĝš ··]");
        QTest::newRow("short") << "OK" << QString::fromUtf8("[ÖĶ ·]");
        QTest::newRow("accelerator") << "&File" << QString::fromUtf8("[&Fîļé ·]");
        QTest::newRow("literal ampersand") << "R&&D" << QString::fromUtf8("[Ŕ&&Ð ·]");
        QTest::newRow("lone ampersand") << "A & B" << QString::fromUtf8("[Å & Ɓ ·]");
        QTest::newRow("placeholders")
            << "%1 of %2, %n file(s), %L3" << QString::fromUtf8("[%1 öƒ %2, %n ƒîļé(š), %L3 ········]");
        QTest::newRow("percent sign") << "100%" << QString::fromUtf8("[100% ·]");
        QTest::newRow("tags and entity")
            << "<b>Bold</b>&nbsp;and <a href=\"x\">link</a>"
            << QString::fromUtf8("<b>[Ɓöļð</b>&nbsp;áñð <a href=\"x\">ļîñķ ····]</a>");
        QTest::newRow("rich text stays rich") << "<html><body><p>Hi</p></body></html>"
                                              << QString::fromUtf8("<html><body><p>[Ĥî ·]</p></body></html>");
        QTest::newRow("comparison is no tag") << "a < b" << QString::fromUtf8("[á < ƀ ·]");
        QTest::newRow("only a tag") << "<br/>"
                                    << "<br/>";
        QTest::newRow("empty") << ""
                               << "";
    }
    void pseudoText()
    {
        QFETCH(QString, source);
        QFETCH(QString, pseudo);
        QCOMPARE(PseudoText(source), pseudo);
    }

    void pseudoTextIsLonger()
    {
        for (const QString& source :
            { QString("Save"), QString("Clear the list of recent files?"), QString(200, QLatin1Char('x')) }) {
            const QString pseudo = PseudoText(source);
            QVERIFY2(pseudo.size() - 2 >= source.size() * 1.35, qPrintable(pseudo));
        }
    }

    // The counts agree with what lrelease reports for the same file.
    void statsMatchLrelease()
    {
        QTemporaryDir dir;
        int code = 0;
        const QString stats
            = Run(TS_TOOL_PATH, { "stats", "--share-file", dir.filePath("share"), kTricky }, &code);
        QCOMPARE(code, 0);
        QCOMPARE(stats.trimmed(),
            QString("Translations tricky de_DE: 5 translated, 1 unfinished, 1 missing (71 %)"));
        QFile share(dir.filePath("share"));
        QVERIFY(share.open(QIODevice::ReadOnly));
        QCOMPARE(share.readAll(), QByteArray("71\n"));

        const QString lrelease = Run(LRELEASE_PATH, { kTricky, "-qm", dir.filePath("tricky.qm") }, &code);
        QCOMPARE(code, 0);
        const auto generated
            = QRegularExpression("Generated (\\d+) translation\\(s\\) \\((\\d+) finished and (\\d+) "
                                 "unfinished\\)")
                  .match(lrelease);
        const auto ignored = QRegularExpression("Ignored (\\d+) untranslated").match(lrelease);
        QVERIFY2(generated.hasMatch() && ignored.hasMatch(), qPrintable(lrelease));
        QCOMPARE(generated.captured(2).toInt(), 5);
        QCOMPARE(generated.captured(3).toInt(), 1);
        QCOMPARE(ignored.captured(1).toInt(), 1);
    }

    void statsBelowMinimumFail()
    {
        QTemporaryDir dir;
        int code = 0;
        const QString output = Run(
            TS_TOOL_PATH, { "stats", "--min", "72", "--share-file", dir.filePath("share"), kTricky }, &code);
        QCOMPARE(code, 1);
        QVERIFY2(output.contains(
                     "tricky_de_DE.ts: error: 71 % of the texts are translated, below the minimum of 72 %"),
            qPrintable(output));
        QVERIFY(!QFile::exists(dir.filePath("share")));
        Run(TS_TOOL_PATH, { "stats", "--min", "71", kTricky }, &code);
        QCOMPARE(code, 0);
    }

    // From .ts sources to a loaded translator: every current text in the
    // pseudo-language, plurals included, each context's texts once.
    void pseudoLanguageLoads()
    {
        QTemporaryDir dir;
        int code = 0;
        const QString ts = dir.filePath("tricky_en_XA.ts");
        Run(TS_TOOL_PATH, { "pseudo", "--language", "en_XA", "--output", ts, kTricky, kTricky }, &code);
        QCOMPARE(code, 0);
        const QString qm = dir.filePath("tricky_en_XA.qm");
        const QString lrelease = Run(LRELEASE_PATH, { ts, "-qm", qm }, &code);
        QCOMPARE(code, 0);
        QVERIFY2(lrelease.contains("Generated 7 translation(s) (7 finished and 0 unfinished)"),
            qPrintable(lrelease));

        QTranslator translator;
        QVERIFY(translator.load(qm));
        QCOMPARE(translator.translate("Window", "&File"), QString::fromUtf8("[&Fîļé ·]"));
        QCOMPARE(translator.translate("Dialog", "Close", "button"), QString::fromUtf8("[Çļöšé ·]"));
        QCOMPARE(translator.translate("Window", "%n folder(s)", nullptr, 2),
            QString::fromUtf8("[%n ƒöļðéŕ(š) ····]"));
        QCOMPARE(translator.translate("Window", "Gone"), QString());
    }
};

QTEST_GUILESS_MAIN(TestTranslationTools)

#include "tst_translationtools.moc"
