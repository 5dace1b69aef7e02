#include "LnfFixture.h"
#include "LogCapture.h"

#include <Zentar/App/IQssPreprocessor.h>
#include <Zentar/App/LookAndFeelManager.h>
#include <Zentar/Core/Exception.h>

#include <QApplication>
#include <QFontDatabase>
#include <QtTest>

#include <memory>

using Zentar::App::ILookAndFeelManager;
using Zentar::App::LookAndFeelManager;

QString ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : "<unreadable " + path + ">";
}

QString Sheet(const ILookAndFeelManager& m)
{
    return QString::fromStdString(m.GetUnitedStylesheet());
}

// Night (packs a, b), Day (pack solo); de_DE and fr_FR with translations,
// en_US and ru_RU without.
std::unique_ptr<LnfRoot> StandardRoot()
{
    auto root = std::make_unique<LnfRoot>();
    const bool ok = root->AddTheme("Night", "Night", { "a", "b" }) && root->AddTheme("Day", "Day", { "solo" })
        && root->AddLocale("de_DE", { "core_de_DE" }) && root->AddLocale("en_US") && root->AddLocale("ru_RU")
        && root->AddLocale("fr_FR", { "core_fr_FR", "editor_fr_FR", "extra_fr_FR" });
    return ok ? std::move(root) : nullptr;
}

// The product stylesheets that close every composition.
QString ProductSheets()
{
    return ReadAll(":/productStyle.qss") + "\n" + ReadAll(":/productStyle_win.qss") + "\n";
}

// Families of the fonts registered by the application, among those the
// fixture's pack holds.
QStringList TestFonts()
{
    QStringList found;
    for (const QString& family : QFontDatabase().families())
        if (family.startsWith("Zentar Test"))
            found << family;
    return found;
}

// Collects what Qt warns about while it lives.
class QtWarnings
{
public:
    QtWarnings()
        : m_previous(qInstallMessageHandler(&Collect))
    {
        s_lines.clear();
    }
    ~QtWarnings() { qInstallMessageHandler(m_previous); }
    QStringList Lines() const { return s_lines; }

private:
    static void Collect(QtMsgType type, const QMessageLogContext&, const QString& text)
    {
        if (type != QtDebugMsg && type != QtInfoMsg)
            s_lines << text;
    }
    static inline QStringList s_lines;
    QtMessageHandler m_previous;
};

// Switches the manager from inside its callbacks, once, when it hears `when`.
class SwitchingObserver : public JournalObserver
{
public:
    SwitchingObserver(
        LookAndFeelManager& manager, QString when, std::function<void(LookAndFeelManager&)> then)
        : m_manager(manager)
        , m_when(std::move(when))
        , m_then(std::move(then))
    {
    }
    void OnLocaleChanged(const std::string& id) override
    {
        JournalObserver::OnLocaleChanged(id);
        React();
    }
    void OnThemeChanged(const std::string& id) override
    {
        JournalObserver::OnThemeChanged(id);
        React();
    }

private:
    void React()
    {
        if (calls.last() == m_when && m_then)
            std::exchange(m_then, nullptr)(m_manager);
    }
    LookAndFeelManager& m_manager;
    QString m_when;
    std::function<void(LookAndFeelManager&)> m_then;
};

class Preprocessor : public Zentar::App::IQssPreprocessor
{
public:
    void Preprocess(QString& sheet) override
    {
        seen = sheet;
        sheet += "/* preprocessed */";
    }
    QString seen;
};

class TestLookAndFeelManager : public QObject
{
    Q_OBJECT
    std::unique_ptr<LnfRoot> m_root;
    std::shared_ptr<LookAndFeelManager> m_manager;

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_root = StandardRoot());
        m_manager = Manager(*m_root);
    }
    void cleanup()
    {
        m_manager.reset();
        QFontDatabase::removeAllApplicationFonts();
    }

    void discoveryByBaseName()
    {
        LnfRoot root;
        for (const char* dir : { "themes/NoDescription", "themes.old/Day.old", "themes.old/Gone",
                 "locales/de_DE", "locales/en_US", "locales/fr_FR.utf8", "locales.bak/ru_RU", "junk/xx_XX" })
            QVERIFY(root.MakeDir(dir));
        QVERIFY(root.Copy("themes/Day/theme.json", "themes/Day/theme.json"));
        QVERIFY(root.Copy("themes/Night/theme.json", "themes/Night/theme.json"));
        QVERIFY(root.Write("themes.zip", "not a folder"));
        // Ids from other "themes" folders still need their description under themes/.
        LookAndFeelManager manager(root.Utf8Path(), "theme.json", {});
        QCOMPARE(manager.GetThemes(), (std::list<std::string> { "Day", "Night", "Day" }));
        QCOMPARE(manager.GetLocales(), (std::list<std::string> { "de_DE", "en_US", "fr_FR", "ru_RU" }));
    }

    void compositionOrder()
    {
        const QString tail = ReadAll(":/productStyle.qss") + "\n" + ReadAll(":/productStyle_win.qss") + "\n";
        m_manager->SetTheme("Day");
        // The pack has no fonts_win.qss: a lone line feed stands for it.
        QCOMPARE(Sheet(*m_manager), ReadAll(":/solo/style.qss") + "\n\n" + tail);

        m_manager->SetTheme("Night");
        const QString sheet = Sheet(*m_manager);
        // b's fonts_win.qss comes from the folder shared by all themes; a's own
        // style.qss wins over the shared one.
        QVERIFY(sheet.startsWith("/* a:style */\n"));
        QVERIFY(!sheet.contains("shared a:style"));
        QVERIFY(sheet.contains("/* a:fonts_win */\n/* b:style */\n"));
        QVERIFY(sheet.contains("/* b:fonts_win */\n" + ReadAll(":/productStyle.qss").left(40)));
        QVERIFY(sheet.endsWith("\n" + ReadAll(":/productStyle_win.qss") + "\n"));
        // The theme's variables reach the product sheet, comments included.
        QVERIFY(sheet.contains("SansFamilyPlatform1"));
    }

    void variableRules_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<QString>("expected");
        auto row = [](const char* name, const QStringList& files, const char* sheet, const char* expected) {
            QTest::newRow(name) << files << sheet << expected;
        };
        const QString all = R"("all_platforms": {"all_languages": {"v": "1"}, )";
        const QString win = R"({"win": {"all_languages": )";
        row("language over all", { "{" + all + R"("de_DE": {"v": "2"}}})" }, "[@v]", "[2]");
        row("other language", { "{" + all + R"("fr_FR": {"v": "2"}}})" }, "[@v]", "[1]");
        row("platform over language", { win + R"({"v": "3"}}, )" + all + R"("de_DE": {"v": "2"}}})" }, "[@v]",
            "[3]");
        row("later file wins",
            { R"({"win": {"de_DE": {"v": "A"}}})", R"({"all_platforms": {"all_languages": {"v": "B"}}})" },
            "[@v]", "[B]");
        row("undefined stays", { R"({"mac": {"all_languages": {"v": "1"}}})" }, "[@v]", "[@v]");
        row("not json beside good file", { "v = 1", win + R"({"v": "ok"}}})" }, "[@v]", "[ok]");
        row("scalars and containers",
            { win + R"({"num": 12.5, "tenth": 0.1, "int": 3, "big": 12345678901, "minus": -0.25, "yes": true,
                "no": false, "list": [1, "2"], "obj": {"x": "1"}, "nul": null}}})" },
            "@num @tenth @int @big @minus @yes @no [@list] [@obj] [@nul]",
            "12.5 0.1 3 12345678901 -0.25 true false [] [] []");
        row("byte-order mark", { QChar(0xFEFF) + win + R"({"v": "marked"}}})" }, "[@v]", "[marked]");
        row("prefix placeholders", { win + R"({"font": "X", "fontSize": "Y", "fontWeight": "Z"}}})" },
            "@fontSize/@font/@fontWeight", "XSize/X/XWeight");
    }
    void variableRules()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, sheet);
        QFETCH(QString, expected);
        m_manager->SetLocale("de_DE");
        ILookAndFeelManager::ThemeDescription description;
        QVERIFY(m_root->Write("sheet.qss", sheet.toUtf8()));
        description.styleSheets = { m_root->Resources("sheet.qss").toStdString() };
        for (int i = 0; i < files.size(); ++i) {
            QVERIFY(m_root->Write(QString("vars%1.json").arg(i), files[i].toUtf8()));
            description.variableFiles.push_back(
                m_root->Resources(QString("vars%1.json").arg(i)).toStdString());
        }
        description.variableFiles.push_back(m_root->Resources("missing.json").toStdString());
        m_manager->ApplyTheme(description);
        QCOMPARE(Sheet(*m_manager), expected + "\n");
    }

    void largeStylesheetIsFilledInFull()
    {
        // A few mebi-characters of rules: every occurrence of every variable
        // is filled in, values naming later variables included.
        const QString rule = "QLabel { border: @border; font-size: @size; qproperty-hint: \"@missing\"; }\n";
        const QString filled
            = "QLabel { border: 1px solid #222532; font-size: 12px; qproperty-hint: \"@missing\"; }\n";
        const int copies = (3 << 20) / rule.size();
        QVERIFY(m_root->Write("vars.json",
            R"({"win": {"all_languages": {"border": "1px solid @frame", "frame": "#222532", "size": "12px"}}})"));
        QVERIFY(m_root->Write("sheet.qss", rule.repeated(copies).toUtf8()));
        LogCapture log;
        m_manager->ApplyTheme({ { m_root->Resources("sheet.qss").toStdString() },
            { m_root->Resources("vars.json").toStdString() }, {} });
        QCOMPARE(Sheet(*m_manager), filled.repeated(copies) + "\n");
        QVERIFY(log.Texts(google::GLOG_ERROR).empty());
    }

    void nestedVariablesStopAtASizeLimit()
    {
        // Each value names the next variable eight times: replaced in full,
        // "[@a]" would become 8^11 copies of "x". "@a" to "@h" fit into
        // 64 Mi characters (8^8 copies of "@i"), "@i" would not.
        QString values;
        for (char c = 'a'; c < 'l'; ++c)
            values += QString(R"("%1": "%2", )").arg(QChar(c), QString("@%1").arg(QChar(c + 1)).repeated(8));
        QVERIFY(m_root->Write(
            "vars.json", R"({"win": {"all_languages": {)" + values.toUtf8() + R"("l": "x", "z": "ok"}}})"));
        QVERIFY(m_root->Write("sheet.qss", "[@a]{@z}"));
        LogCapture log;
        m_manager->ApplyTheme({ { m_root->Resources("sheet.qss").toStdString() },
            { m_root->Resources("vars.json").toStdString() }, {} });

        const QString sheet = Sheet(*m_manager);
        QCOMPARE(sheet.size(), 2 * (1 << 24) + 7);
        QCOMPARE(sheet.count("@i"), 1 << 24);
        QVERIFY(sheet.startsWith("[@i@i"));
        // The variables after it still apply where they fit.
        QVERIFY(sheet.endsWith("@i]{ok}\n"));
        QCOMPARE(log.Texts(google::GLOG_ERROR),
            std::vector<std::string> {
                "Stylesheet variables left unreplaced, they would grow the stylesheet past "
                "67108864 characters: @i" });
    }

    void fontsFromPackManifest()
    {
        // The manifest lists Alpha, a font the pack lacks, and ends in white
        // space; the pack also holds Beta, which it does not list.
        QVERIFY(m_root->Copy("packs/glyphs.rcc", "themes/Lettered/glyphs.rcc"));
        QtWarnings warnings;
        m_manager->SetTheme("Lettered");
        QCOMPARE(TestFonts(), QStringList { "Zentar Test Alpha" });
        QCOMPARE(QFontInfo(QFont("Zentar Test Alpha")).family(), QString("Zentar Test Alpha"));
        QCOMPARE(Sheet(*m_manager), ReadAll(":/glyphs/style.qss") + "\n\n" + ProductSheets());
        // Skipped quietly: the missing file and the empty last token.
        QCOMPARE(warnings.Lines(), QStringList());
        // Fonts stay when the theme goes.
        m_manager->SetTheme("Day");
        QCOMPARE(TestFonts(), QStringList { "Zentar Test Alpha" });
    }

    void fontManifestTokens_data()
    {
        QTest::addColumn<QString>("manifest");
        QTest::addColumn<QStringList>("fonts");
        const QStringList both { "Zentar Test Alpha", "Zentar Test Beta" };
        QTest::newRow("lines and trailing blanks") << ":/glyphs/Alpha.ttf\n:/glyphs/Beta.ttf\n\n \t\n"
                                                   << both;
        QTest::newRow("no final line feed") << ":/glyphs/Beta.ttf" << QStringList { "Zentar Test Beta" };
        QTest::newRow("tabs, missing first")
            << "\t@root/none.ttf\t:/glyphs/Alpha.ttf" << QStringList { "Zentar Test Alpha" };
        QTest::newRow("file on disk") << "  @root/Beta.ttf  " << QStringList { "Zentar Test Beta" };
        QTest::newRow("not a font") << "@root/sheet.qss :/glyphs/style.qss" << QStringList();
        QTest::newRow("white space only") << " \n\t\n" << QStringList();
        QTest::newRow("empty") << "" << QStringList();
    }
    void fontManifestTokens()
    {
        QFETCH(QString, manifest);
        QFETCH(QStringList, fonts);
        QVERIFY(m_root->Copy("packs/glyphs.rcc", "themes/Lettered/glyphs.rcc"));
        m_manager->SetTheme("Lettered");
        QFontDatabase::removeAllApplicationFonts();
        QVERIFY(QFile::copy(":/glyphs/Beta.ttf", m_root->Resources("Beta.ttf")));
        QVERIFY(m_root->Write("sheet.qss", "QLabel { color: red; }"));
        const QString root = QFileInfo(m_root->Resources("sheet.qss")).absolutePath();
        QVERIFY(m_root->Write("fonts.manifest", manifest.replace("@root", root).toUtf8()));

        m_manager->ApplyTheme({ {}, {}, { m_root->Resources("fonts.manifest").toStdString() } });
        QCOMPARE(TestFonts(), fonts);
    }

    void missingThemeDirectory_data()
    {
        QTest::addColumn<QString>("next");
        QTest::newRow("another theme") << "Day";
        QTest::newRow("no theme") << "";
    }
    void missingThemeDirectory()
    {
        QFETCH(QString, next);
        JournalObserver journal;
        m_manager->RegisterObserver(&journal);
        LogCapture log;
        const std::string error
            = "The directory [" + m_root->Utf8Path() + "/resources/themes/Ghost] doesn't exist!";

        // Still set, composed from the product sheets alone, and announced.
        m_manager->SetTheme("Ghost");
        QCOMPARE(log.Texts(google::GLOG_ERROR), std::vector<std::string> { error });
        QCOMPARE(m_manager->GetCurrentTheme(), std::string("Ghost"));
        QCOMPARE(Sheet(*m_manager), ProductSheets());
        QCOMPARE(journal.calls, QStringList { "theme:Ghost" });

        // Unloading looks for its packs once more.
        m_manager->SetTheme(next.toStdString());
        QCOMPARE(log.Texts(google::GLOG_ERROR), (std::vector<std::string> { error, error }));
        QCOMPARE(m_manager->GetCurrentTheme(), next.toStdString());
        m_manager->UnregisterObserver(&journal);
    }

    void unlistedThemeWithDirectory()
    {
        // Packs but no description: not offered, yet it can be set.
        QVERIFY(m_root->Copy("themes/Night/a.rcc", "themes/Unlisted/a.rcc"));
        QVERIFY(m_root->Copy("themes/Day/solo.rcc", "themes/Unlisted/solo.rcc"));
        m_manager = Manager(*m_root);
        QCOMPARE(m_manager->GetThemes(), (std::list<std::string> { "Day", "Night" }));
        LogCapture log;
        m_manager->SetLocale("de_DE");
        m_manager->SetTheme("Unlisted");
        QVERIFY(QFile::exists(":/a/style.qss") && QFile::exists(":/solo/style.qss"));
        const QString sheet = Sheet(*m_manager);
        QVERIFY2(sheet.startsWith("/* a:style */\nQWidget#accent { color: #222222; }"),
            qPrintable(sheet.left(80)));
        // The product sheets follow (their comments filled with a's variables).
        QVERIFY(
            sheet.contains(ReadAll(":/solo/style.qss") + "\n\n" + ReadAll(":/productStyle.qss").left(40)));
        QCOMPARE(m_manager->GetLocalizedThemeName("Unlisted"), std::string("Unlisted"));
        QCOMPARE(log.Texts(google::GLOG_WARNING),
            std::vector<std::string> { "No title found for theme [Unlisted] on language [de_DE]!" });
        QVERIFY(log.Texts(google::GLOG_ERROR).empty());
    }

    void switchingFromInsideACallback_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("reaction");
        QTest::addColumn<QStringList>("switcherHears");
        QTest::addColumn<QStringList>("laterHears");
        QTest::addColumn<QString>("finalTheme");
        // The nested notification reaches everyone before the outer one goes on.
        QTest::newRow("theme from locale") << "locale:de_DE"
                                           << "theme:Night" << QStringList { "locale:de_DE", "theme:Night" }
                                           << QStringList { "theme:Night", "locale:de_DE" } << "Night";
        QTest::newRow("locale from theme") << "theme:Night"
                                           << "locale:de_DE" << QStringList { "theme:Night", "locale:de_DE" }
                                           << QStringList { "locale:de_DE", "theme:Night" } << "Night";
        // Observers after the switcher are told the theme that is current
        // when they are called, never one already replaced.
        QTest::newRow("theme from theme") << "theme:Night"
                                          << "theme:Day" << QStringList { "theme:Night", "theme:Day" }
                                          << QStringList { "theme:Day", "theme:Day" } << "Day";
    }
    void switchingFromInsideACallback()
    {
        QFETCH(QString, start);
        QFETCH(QString, reaction);
        QFETCH(QStringList, switcherHears);
        QFETCH(QStringList, laterHears);
        QFETCH(QString, finalTheme);
        // "locale:<id>" or "theme:<id>" as a switch of the manager.
        const auto apply = [](LookAndFeelManager& manager, const QString& what) {
            const std::string id = what.section(':', 1).toStdString();
            what.startsWith("locale:") ? manager.SetLocale(id) : manager.SetTheme(id);
        };
        m_manager->Initialize("en_US", "Day");
        SwitchingObserver switcher(*m_manager, start, [&](LookAndFeelManager& m) { apply(m, reaction); });
        JournalObserver later;
        m_manager->RegisterObserver(&switcher);
        m_manager->RegisterObserver(&later);
        apply(*m_manager, start);
        QCOMPARE(switcher.calls, switcherHears);
        QCOMPARE(later.calls, laterHears);
        QCOMPARE(m_manager->GetCurrentTheme(), finalTheme.toStdString());
        QCOMPARE(QFile::exists(":/a/style.qss"), finalTheme == "Night");
        QCOMPARE(QFile::exists(":/solo/style.qss"), finalTheme == "Day");
        m_manager->UnregisterObserver(&switcher);
        m_manager->UnregisterObserver(&later);
    }

    void preprocessorTakesEffectAtNextComposition()
    {
        m_manager->SetTheme("Night");
        const QString before = Sheet(*m_manager);
        auto preprocessor = std::make_shared<Preprocessor>();
        m_manager->SetQssPreprocessor(preprocessor);
        QCOMPARE(Sheet(*m_manager), before);
        m_manager->SetTheme("Night");
        QCOMPARE(Sheet(*m_manager), before + "/* preprocessed */");
        // It edits the text after the placeholders were filled in.
        QCOMPARE(preprocessor->seen, before);
        m_manager->SetQssPreprocessor(nullptr);
        QCOMPARE(Sheet(*m_manager), before + "/* preprocessed */");
        m_manager->ApplyTheme({ { ":/a/style.qss" }, {}, {} });
        QVERIFY(!Sheet(*m_manager).contains("preprocessed"));
    }

    void switchingThemes()
    {
        JournalObserver journal;
        m_manager->RegisterObserver(&journal);
        m_manager->Initialize("en_US", "Night");
        QCOMPARE(journal.calls, QStringList({ "locale:en_US", "theme:Night" }));

        // The current theme again: packs stay, recomposed for the new language,
        // observers told again.
        m_manager->SetLocale("de_DE");
        m_manager->SetTheme("Night");
        QCOMPARE(
            journal.calls, QStringList({ "locale:en_US", "theme:Night", "locale:de_DE", "theme:Night" }));
        QVERIFY(QFile::exists(":/a/style.qss"));
        QVERIFY(Sheet(*m_manager).contains("#222222"));

        // Another theme: the old packs go.
        m_manager->SetTheme("Day");
        QVERIFY(!QFile::exists(":/a/style.qss") && !QFile::exists(":/b/style.qss"));
        QVERIFY(QFile::exists(":/solo/style.qss"));

        // The empty id only unloads.
        const QString last = Sheet(*m_manager);
        journal.calls.clear();
        m_manager->SetTheme("");
        QVERIFY(m_manager->GetCurrentTheme().empty());
        QVERIFY(!QFile::exists(":/solo/style.qss"));
        QCOMPARE(Sheet(*m_manager), last);
        QVERIFY(journal.calls.isEmpty());
        m_manager->UnregisterObserver(&journal);
    }

    void themeTitles()
    {
        LogCapture log;
        m_manager->SetLocale("de_DE");
        QCOMPARE(m_manager->GetLocalizedThemeName("Night"), std::string("Nacht"));
        m_manager->SetLocale("fr_FR");
        QCOMPARE(m_manager->GetLocalizedThemeName("Day"), std::string("Jour"));
        QVERIFY(log.Texts(google::GLOG_WARNING).empty());
        m_manager->SetLocale("ru_RU");
        QCOMPARE(m_manager->GetLocalizedThemeName("Night"), std::string("Night"));
        QCOMPARE(m_manager->GetLocalizedThemeName("Ghost"), std::string("Ghost"));
        QCOMPARE(log.Texts(google::GLOG_WARNING),
            (std::vector<std::string> { "No title found for theme [Night] on language [ru_RU]!",
                "No title found for theme [Ghost] on language [ru_RU]!" }));
    }

    void descriptionWithByteOrderMark()
    {
        QVERIFY(m_root->Write("themes/Marked/theme.json", "\xEF\xBB\xBF{ \"de_DE\": \"Markiert\" }\n"));
        m_manager = Manager(*m_root);
        QCOMPARE(m_manager->GetThemes(), (std::list<std::string> { "Day", "Marked", "Night" }));
        m_manager->SetLocale("de_DE");
        QCOMPARE(m_manager->GetLocalizedThemeName("Marked"), std::string("Markiert"));
    }

    void malformedDescriptionNamesTheFile_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("position");
        QTest::newRow("syntax") << QByteArray("{ \"en_US\": \"Broken\",\n  oops }") << "line 2";
        QTest::newRow("list root") << QByteArray("\xEF\xBB\xBF\n\n  [\"Broken\"]") << "line 3, column 3";
        QTest::newRow("empty") << QByteArray() << "line 1, column 1";
    }
    void malformedDescriptionNamesTheFile()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, position);
        QVERIFY(m_root->Write("themes/Broken/theme.json", text));
        try {
            LookAndFeelManager manager(m_root->Utf8Path(), "theme.json", {});
            QFAIL("a malformed description was accepted");
        } catch (const Zentar::Exception& e) {
            const QString what = QString::fromUtf8(e.what());
            QVERIFY2(what.contains(m_root->Resources("themes/Broken/theme.json")), e.what());
            QVERIFY2(what.contains(position), e.what());
        }
    }

    void garbagePack_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("text") << QByteArray("/* not a resource file */");
        // Not an empty file: Qt 5.15 keeps the buffer it read one into, a leak
        // the sanitizer stage would report against this test.
        QTest::newRow("truncated header") << QByteArray("qres\0\0\0\x03", 8);
        QTest::newRow("offsets past the end")
            << QByteArray("qres\0\0\0\x02\0\0\x40\0\0\0\x40\0\0\0\x40\0", 20);
    }
    void garbagePack()
    {
        QFETCH(QByteArray, bytes);
        m_manager->SetTheme("Night");
        const QString good = Sheet(*m_manager);
        const int b = good.indexOf("/* b:style */");
        QVERIFY(b > 0);
        m_manager->SetTheme("");

        // Between a and b by name: it adds the lone line feeds of its two
        // sheets there and nothing else; the packs around it load and unload.
        QVERIFY(m_root->Write("themes/Night/ab.rcc", bytes));
        JournalObserver journal;
        m_manager->RegisterObserver(&journal);
        m_manager->SetTheme("Night");
        QCOMPARE(Sheet(*m_manager), good.left(b) + "\n\n" + good.mid(b));
        QCOMPARE(journal.calls, QStringList { "theme:Night" });
        m_manager->SetTheme("Day");
        QVERIFY(!QFile::exists(":/a/style.qss") && !QFile::exists(":/b/style.qss"));
        QVERIFY(QFile::exists(":/solo/style.qss"));
        m_manager->UnregisterObserver(&journal);
    }

    void moduleFiltering_data()
    {
        QTest::addColumn<QStringList>("modules");
        QTest::addColumn<QStringList>("packs");
        QTest::addColumn<QString>("french");
        // The last translation file loaded is searched first.
        QTest::newRow("all") << QStringList() << QStringList { "a", "b" } << "Bonjour en plus";
        QTest::newRow("listed") << QStringList { "core", "editor", "b" } << QStringList { "b" }
                                << "Bonjour de l'éditeur";
        QTest::newRow("missing") << QStringList { "core", "none" } << QStringList() << "Bonjour du noyau";
    }
    void moduleFiltering()
    {
        QFETCH(QStringList, modules);
        QFETCH(QStringList, packs);
        QFETCH(QString, french);
        // Not translation files: refused, the rest loads.
        QVERIFY(m_root->MakeDir("themes/Night/folder.rcc"));
        QVERIFY(m_root->Write("locales/fr_FR/zz_garbage.qm", "garbage, not a translation"));
        QVERIFY(m_root->Write("locales/fr_FR/none_fr_FR.qm", "garbage named like a module"));
        m_manager = Manager(*m_root, modules);
        m_manager->SetTheme("Night");
        for (const QString pack : { "a", "b" }) {
            QCOMPARE(QFile::exists(":/" + pack + "/style.qss"), packs.contains(pack));
            QCOMPARE(Sheet(*m_manager).contains("/* " + pack + ":style */"), packs.contains(pack));
        }

        JournalObserver journal;
        m_manager->RegisterObserver(&journal);
        const auto hello = [] { return QCoreApplication::translate("SharedMessages", "Hello"); };
        QCOMPARE(hello(), QString("Hello"));
        m_manager->SetLocale("fr_FR");
        QCOMPARE(hello(), french);
        m_manager->SetLocale("de_DE");
        QCOMPARE(hello(), QString("Hallo vom Kern"));
        // A language without translation files shows the source texts.
        m_manager->SetLocale("en_US");
        QCOMPARE(hello(), QString("Hello"));
        // Nothing changes: nobody is told.
        m_manager->SetLocale("en_US");
        QCOMPARE(journal.calls, QStringList({ "locale:fr_FR", "locale:de_DE", "locale:en_US" }));
        m_manager->UnregisterObserver(&journal);
    }
};

// No system language matches the fixtures' languages.
static const bool g_cLanguage = qputenv("LANGUAGE", "C");
QTEST_MAIN(TestLookAndFeelManager)

#include "tst_lookandfeelmanager.moc"
