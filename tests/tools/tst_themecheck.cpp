#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace
{

struct Run {
    int exitCode = -1;
    QString output;
};

Run Check(const QString& themes, const QStringList& extra = {})
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(
        THEME_CHECK_PATH, QStringList { "--languages=de_DE,en_US" } + extra + QStringList { themes });
    if (!process.waitForFinished(60000))
        return {};
    return { process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
        QString::fromUtf8(process.readAll()) };
}

QString Case(const QString& name)
{
    return QStringLiteral(ZENTAR_TEST_DATA_DIR "/broken-themes/") + name;
}

} // namespace

// zentar-theme-check on theme sources with one mistake each: the build fails
// on errors, naming the file and the line, and goes on after warnings.
class TestThemeCheck : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void mistakes_data()
    {
        QTest::addColumn<bool>("error");
        QTest::addColumn<QString>("location");
        QTest::addColumn<QString>("message");
        const auto row = [](const char* name, bool error, const char* location, const char* message) {
            QTest::newRow(name) << error << QString(location) << QString(message);
        };
        row("description_not_json", true, "Look/theme.json:4", "Malformed property data at line 4");
        row("description_not_object", true, "Look/theme.json:2", "must be a JSON object, found '\\['");
        row("variables_not_json", true, "Look/base/fonts.json:5", "not valid JSON");
        row("variables_not_object", true, "Look/base/fonts.json:1", "the top level is not an object");
        row("undefined_variable", true, "Look/base/style.qss:7",
            "@buttonPading is not defined by any variable file");
        row("prefix_name", true, "Look/base/fonts.json:5",
            "variable \"colorTextMuted\" begins with the name of variable \"colorText\"");
        row("value_sorts_before", true, "Look/base/fonts.json:5",
            "the value of \"frame\" names @colorText, which is filled in before it");
        row("missing_font", true, "Look/base/fonts.manifest:1",
            "font file :/base/fonts/Missing.ttf is not in the pack");
        row("dotted_pack", true, "Look/base.v2", "the pack folder's name has a dot");
        row("unparsable", true, "Look/base/style.qss:14", "Qt cannot parse the stylesheet from this rule on");
        row("unused_variable", false, "Look/base/fonts.json:5",
            "variable \"colorUnused\" is defined but no stylesheet");
        row("foreign_language", false, "Look/base/fonts.json:7",
            "section \"fr_FR\" is for a language the product does not ship");
        row("unused_platform", false, "Look/base/fonts.json:8", "section \"linux\" is never used");
        row("missing_title", false, "Look/theme.json:1", "no title for de_DE");
    }
    void mistakes()
    {
        QFETCH(bool, error);
        QFETCH(QString, location);
        QFETCH(QString, message);
        const QString dir = Case(QTest::currentDataTag());
        const Run run = Check(dir);
        QCOMPARE(run.exitCode, error ? 1 : 0);
        const QRegularExpression line(
            QStringLiteral("^%1: %2: .*%3")
                .arg(QRegularExpression::escape(dir + "/" + location), error ? "error" : "warning", message),
            QRegularExpression::MultilineOption);
        QVERIFY2(line.match(run.output).hasMatch(), qPrintable(run.output));
        if (!error) {
            // One warning, which fails a build that asks for that.
            QCOMPARE(run.output.count('\n'), 1);
            const Run strict = Check(dir, { "--warnings-as-errors" });
            QCOMPARE(strict.exitCode, 1);
            QVERIFY2(strict.output.contains("(warnings are errors)"), qPrintable(strict.output));
        }
    }

    // Byte-order marks, a font in the pack: nothing to say.
    void goodThemePassesSilently()
    {
        QTemporaryDir build;
        const QString stamp = build.filePath("checked.stamp");
        const Run run = Check(Case("good"), { "--warnings-as-errors", "--stamp", stamp });
        QCOMPARE(run.output, QString());
        QCOMPARE(run.exitCode, 0);
        QVERIFY(QFileInfo::exists(stamp));

        const Run broken = Check(Case("undefined_variable"), { "--stamp", build.filePath("broken.stamp") });
        QCOMPARE(broken.exitCode, 1);
        QVERIFY(!QFileInfo::exists(build.filePath("broken.stamp")));
    }

    // A message that holds for some languages names them.
    void languageOnlyMistake()
    {
        QTemporaryDir copy;
        const QString look = copy.filePath("Look/base");
        QVERIFY(QDir().mkpath(look));
        QVERIFY(QFile::copy(Case("good") + "/Look/theme.json", copy.filePath("Look/theme.json")));
        QFile style(look + "/style.qss");
        QVERIFY(style.open(QIODevice::WriteOnly));
        style.write("QPushButton {\n    padding: @buttonPadding;\n}\n");
        style.close();
        QFile fonts(look + "/fonts.json");
        QVERIFY(fonts.open(QIODevice::WriteOnly));
        fonts.write(R"({ "all_platforms": { "de_DE": { "buttonPadding": "4px 8px" } } })");
        fonts.close();

        const Run run = Check(copy.path());
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(
            run.output.contains("style.qss:2: error: @buttonPadding is not defined by any variable file; Qt "
                                "would drop the declaration [en_US]"),
            qPrintable(run.output));
    }

    void demoThemesPass()
    {
        QElapsedTimer timer;
        timer.start();
        const Run run = Check(DEMO_THEMES_DIR,
            { "--languages=de_DE,en_US,ru_RU", "--pseudo-languages=en_XA", "--modules=base,widgets",
                "--shared", DEMO_THEMES_DIR "/_shared", "--warnings-as-errors" });
        QCOMPARE(run.output, QString());
        QCOMPARE(run.exitCode, 0);
        // Runs in every build of the demo; generous bound.
        QVERIFY2(timer.elapsed() < 10000, qPrintable(QString::number(timer.elapsed())));
    }
};

QTEST_GUILESS_MAIN(TestThemeCheck)

#include "tst_themecheck.moc"
