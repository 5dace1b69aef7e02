#include <Zentar/Browser/PreferredBrowser.h>
#include <Zentar/Browser/URLHandler.h>

#include "LinksTestSupport.h"

#include <QTemporaryDir>
#include <QtTest>

using Zentar::Browser::PreferredBrowser;

// How the browser is found among the desktop's associations and started:
// desktop entries, mimeapps.list files and browsers are built in XDG folders
// of the test's own; every browser, launcher and opener is a script that
// records how it was started.
class TestPreferredBrowser : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_bin; // the only folder on PATH, besides the opener's
    QString m_opener; // holds xdg-open
    QString m_record;
    std::unique_ptr<QTemporaryDir> m_root; // this case's XDG folders

    // Records "<name> <arguments> mark=<$ZENTAR_MARK>" on one line.
    bool WriteRecorder(const QString& path) const
    {
        const QString body
            = "#!/bin/sh\nprintf '%s\\n' \"${0##*/} $* mark=$ZENTAR_MARK\" >> '" + m_record + "'\n";
        return WriteExecutable(path, body.toUtf8());
    }
    static bool WriteExecutable(const QString& path, const QByteArray& body)
    {
        return LinksTest::WriteFile(path, body)
            && QFile::setPermissions(
                path, QFile::permissions(path) | QFileDevice::ExeOwner | QFileDevice::ExeUser);
    }

    QString Root(const QString& path = QString()) const { return m_root->path() + '/' + path; }
    // %B the browsers' folder, %D the data home, %R this case's root.
    QString Sub(QString text) const
    {
        return text.replace("%B", m_bin).replace("%D", Root("data")).replace("%R", m_root->path());
    }

    // Fresh XDG folders: two configuration and two data folders besides the
    // user's, so that nothing of the machine's is read.
    void NewRoot(const QByteArray& desktop = QByteArray())
    {
        m_root = std::make_unique<QTemporaryDir>();
        QVERIFY(m_root->isValid());
        qputenv("XDG_CONFIG_HOME", Root("config").toLocal8Bit());
        qputenv("XDG_CONFIG_DIRS", (Root("etc1") + ':' + Root("etc2")).toLocal8Bit());
        qputenv("XDG_DATA_HOME", Root("data").toLocal8Bit());
        qputenv("XDG_DATA_DIRS", (Root("share1") + ':' + Root("share2")).toLocal8Bit());
        qputenv("XDG_CURRENT_DESKTOP", desktop);
        qunsetenv("BROWSER");
        qputenv("PATH", m_bin.toLocal8Bit());
        QFile::remove(m_record);
    }

    bool WriteEntry(const QString& id, const QString& body) const
    {
        return LinksTest::WriteFile(
            Root("data/applications/") + id, Sub("[Desktop Entry]\nType=Application\n" + body).toUtf8());
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_bin = m_dir.filePath("bin");
        m_opener = m_dir.filePath("opener");
        m_record = m_dir.filePath("record.txt");
        for (const char* name : { "browser-a", "browser-b", "browser-c", "browser-d", "browser-e",
                 "browser-t", "browser-h", "firefox", "flatpak", "env", "www-browser" })
            QVERIFY(WriteRecorder(m_bin + '/' + name));
        QVERIFY(WriteRecorder(m_opener + "/xdg-open"));
        // Found, but cannot be executed: its interpreter is missing.
        QVERIFY(WriteExecutable(m_bin + "/broken", "#!/no/such/interpreter\n"));
    }

    void lookupOrder_data()
    {
        QTest::addColumn<QByteArray>("desktop"); // XDG_CURRENT_DESKTOP
        QTest::addColumn<QStringList>("lists"); // pairs: file under the root, content
        QTest::addColumn<QString>("browser"); // letter of the browser found; empty: none

        const auto group = [](const char* name, const char* type, const char* ids) {
            return QString("[%1]\n%2=%3\n").arg(name, type, ids);
        };
        const auto Default
            = [&](const char* type, const char* ids) { return group("Default Applications", type, ids); };
        const auto Added
            = [&](const char* type, const char* ids) { return group("Added Associations", type, ids); };
        const auto Removed
            = [&](const char* type, const char* ids) { return group("Removed Associations", type, ids); };
        const char* https = "x-scheme-handler/https";
        const char* http = "x-scheme-handler/http";
        const char* html = "text/html";
        const QString user = "config/mimeapps.list", system1 = "etc1/mimeapps.list",
                      system2 = "etc2/mimeapps.list", userApps = "data/applications/mimeapps.list",
                      systemApps1 = "share1/applications/mimeapps.list",
                      systemApps2 = "share2/applications/mimeapps.list";

        QTest::newRow("user config first")
            << QByteArray()
            << QStringList { systemApps1, Default(https, "e.desktop"), userApps, Default(https, "d.desktop"),
                   system1, Default(https, "c.desktop"), user, Default(https, "a.desktop") }
            << "a";
        QTest::newRow("then system config")
            << QByteArray()
            << QStringList { userApps, Default(https, "d.desktop"), system2, Default(https, "c.desktop"),
                   system1, Default(https, "b.desktop") }
            << "b";
        QTest::newRow("second system config")
            << QByteArray()
            << QStringList { userApps, Default(https, "d.desktop"), system2, Default(https, "c.desktop") }
            << "c";
        QTest::newRow("then user applications")
            << QByteArray()
            << QStringList { systemApps1, Default(https, "e.desktop"), userApps, Default(https, "d.desktop") }
            << "d";
        QTest::newRow("then system applications") << QByteArray()
                                                  << QStringList { systemApps2, Default(https, "b.desktop"),
                                                         systemApps1, Default(https, "e.desktop") }
                                                  << "e";
        QTest::newRow("desktop's own list first")
            << QByteArray("X-Test:XFCE")
            << QStringList { user, Default(https, "a.desktop"), "config/xfce-mimeapps.list",
                   Default(https, "b.desktop"), "config/x-test-mimeapps.list", Default(https, "c.desktop") }
            << "c";
        QTest::newRow("another desktop's list")
            << QByteArray("GNOME")
            << QStringList { user, Default(https, "a.desktop"), "config/kde-mimeapps.list",
                   Default(https, "b.desktop") }
            << "a";
        QTest::newRow("first installed of a list")
            << QByteArray()
            << QStringList { user, Default(https, "missing.desktop;gone.desktop;b.desktop;a.desktop") }
            << "b";
        QTest::newRow("next list when none installed")
            << QByteArray()
            << QStringList { user, Default(https, "missing.desktop"), userApps, Default(https, "d.desktop") }
            << "d";
        QTest::newRow("https before http")
            << QByteArray()
            << QStringList { user, Default(http, "a.desktop"), systemApps2, Default(https, "b.desktop") }
            << "b";
        QTest::newRow("http before text/html")
            << QByteArray()
            << QStringList { user, Default(html, "a.desktop"), systemApps2, Default(http, "b.desktop") }
            << "b";
        QTest::newRow("text/html") << QByteArray() << QStringList { user, Default(html, "a.desktop") } << "a";
        QTest::newRow("added association")
            << QByteArray() << QStringList { system1, Added(https, "c.desktop") } << "c";
        QTest::newRow("defaults before added")
            << QByteArray()
            << QStringList { user, Added(https, "a.desktop"), systemApps2, Default(https, "b.desktop") }
            << "b";
        QTest::newRow("added in list order") << QByteArray()
                                             << QStringList { userApps, Added(https, "d.desktop"), system2,
                                                    Added(https, "missing.desktop;c.desktop") }
                                             << "c";
        QTest::newRow("removed hides a lower default")
            << QByteArray()
            << QStringList { user, Removed(https, "a.desktop"), userApps,
                   Default(https, "a.desktop;d.desktop") }
            << "d";
        QTest::newRow("removed hides its own list's")
            << QByteArray() << QStringList { user, Removed(https, "a.desktop") + Added(https, "a.desktop") }
            << "";
        QTest::newRow("removed hides a lower association")
            << QByteArray()
            << QStringList { user, Removed(https, "a.desktop"), system1, Added(https, "a.desktop;c.desktop") }
            << "c";
        QTest::newRow("removed below does not hide")
            << QByteArray()
            << QStringList { user, Default(https, "a.desktop"), system1, Removed(https, "a.desktop") } << "a";
        QTest::newRow("removed for another type")
            << QByteArray()
            << QStringList { user, Removed(http, "a.desktop"), system1, Default(https, "a.desktop") } << "a";
        QTest::newRow("terminal browser passed over")
            << QByteArray() << QStringList { user, Default(https, "terminal.desktop;b.desktop") } << "b";
        QTest::newRow("only a terminal browser") << QByteArray()
                                                 << QStringList { user, Default(https, "terminal.desktop"),
                                                        system1, Added(html, "terminal.desktop") }
                                                 << "";
        QTest::newRow("hidden entry passed over")
            << QByteArray() << QStringList { user, Default(https, "hidden.desktop;e.desktop") } << "e";
        QTest::newRow("nothing associated")
            << QByteArray() << QStringList { user, Default("text/plain", "a.desktop") } << "";
        QTest::newRow("no lists") << QByteArray() << QStringList {} << "";
    }
    void lookupOrder()
    {
        QFETCH(QByteArray, desktop);
        QFETCH(QStringList, lists);
        QFETCH(QString, browser);
        NewRoot(desktop);
        for (const char* letter : { "a", "b", "c", "d", "e" })
            QVERIFY(WriteEntry(
                QString("%1.desktop").arg(letter), QString("Exec=%B/browser-%1 %u\n").arg(letter)));
        QVERIFY(WriteEntry("terminal.desktop", "Exec=%B/browser-t %u\nTerminal=true\n"));
        QVERIFY(WriteEntry("hidden.desktop", "Exec=%B/browser-h %u\nHidden=true\n"));
        QVERIFY(WriteEntry("gone.desktop", "Exec=/no/such/browser %u\n"));
        for (int i = 0; i + 1 < lists.size(); i += 2)
            QVERIFY(LinksTest::WriteFile(Root(lists[i]), lists[i + 1].toUtf8()));

        // Neither www-browser, a text-mode browser on PATH, nor any other
        // program stands in when nothing is associated.
        const PreferredBrowser found;
        QCOMPARE(found.Path(), browser.isEmpty() ? QString() : m_bin + "/browser-" + browser);
    }

    // Launchers in desktop entries: the browser is what they start, and a
    // later run that finds the association gone still finds the browser
    // through what this run recorded.
    void launchers_data()
    {
        QTest::addColumn<QString>("exec");
        QTest::addColumn<bool>("exported"); // org.example.Browser exports a launcher
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name"); // in the user agent
        QTest::addColumn<QString>("started"); // recorded by what opens https://example.com/a
        QTest::addColumn<QString>("recorded"); // Path() of the next run, without the association

        const QString flatpak
            = "%B/flatpak run --branch=stable --arch=x86_64 --command=browser --file-forwarding "
              "org.example.Browser @@u %u @@";
        const QString flatpakStarted
            = "flatpak run --branch=stable --arch=x86_64 --command=browser --file-forwarding "
              "org.example.Browser @@u https://example.com/a @@ mark=";
        QTest::newRow("plain") << "%B/firefox --new-window %u" << false << "%B/firefox"
                               << "firefox"
                               << "firefox --new-window https://example.com/a mark="
                               << "%B/firefox";
        QTest::newRow("env") << "env ZENTAR_MARK=snap BAMF_DESKTOP_FILE_HINT=/x.desktop %B/firefox %u"
                             << false << "%B/firefox"
                             << "firefox"
                             << "firefox https://example.com/a mark=snap"
                             << "%B/firefox";
        QTest::newRow("env, program on PATH") << "env ZENTAR_MARK=1 firefox %U" << false << "%B/firefox"
                                              << "firefox"
                                              << "firefox https://example.com/a mark=1"
                                              << "%B/firefox";
        // With options of its own env has to run; /usr/bin/env is the system's.
        QTest::newRow("env with options")
            << "/usr/bin/env -u HOME ZENTAR_MARK=opt %B/firefox %u" << false << "%B/firefox"
            << "firefox"
            << "firefox https://example.com/a mark=opt"
            << "%B/firefox";
        QTest::newRow("flatpak, exported")
            << flatpak << true << "%D/flatpak/exports/bin/org.example.Browser"
            << "Browser" << flatpakStarted << "%D/flatpak/exports/bin/org.example.Browser";
        QTest::newRow("flatpak, not exported") << flatpak << false << "org.example.Browser"
                                               << "Browser" << flatpakStarted << "";
    }
    void launchers()
    {
        QFETCH(QString, exec);
        QFETCH(bool, exported);
        QFETCH(QString, path);
        QFETCH(QString, name);
        QFETCH(QString, started);
        QFETCH(QString, recorded);
        NewRoot();
        QVERIFY(WriteEntry("browser.desktop", "Exec=" + exec + "\n"));
        QVERIFY(LinksTest::WriteFile(Root("config/mimeapps.list"),
            "[Default Applications]\nx-scheme-handler/https=browser.desktop\n"));
        if (exported)
            QVERIFY(WriteRecorder(Root("data/flatpak/exports/bin/org.example.Browser")));

        auto browser = std::make_shared<PreferredBrowser>();
        QCOMPARE(browser->Path(), Sub(path));
        QVERIFY2(browser->UserAgent().endsWith(") " + name), qPrintable(browser->UserAgent()));

        Zentar::Browser::URLHandler handler(nullptr, browser);
        handler.OpenURLWithPreferredBrowser(QUrl("https://example.com/a"));
        QTRY_COMPARE(LinksTest::ReadLines(m_record), QStringList { started });

        // The association is gone; what this run found is what the next
        // run's context carries.
        QVERIFY(QFile::remove(Root("data/applications/browser.desktop")));
        QCOMPARE(browser->Path(), QString());
        const QString previous = Sub(path);
        PreferredBrowser next;
        next.SetContextCallback([previous] {
            return PreferredBrowser::PreferredBrowserContext { "en_US", {}, previous };
        });
        QCOMPARE(next.Path(), Sub(recorded));
    }

    // What the installer or an earlier run recorded is used only while it
    // is a browser of its own.
    void recordedBrowsers_data()
    {
        QTest::addColumn<QString>("installer");
        QTest::addColumn<QString>("previous");
        QTest::addColumn<QString>("path");
        QTest::newRow("installer's first") << "%B/browser-a"
                                           << "%B/browser-b"
                                           << "%B/browser-a";
        QTest::newRow("installer's gone") << "/no/such/browser"
                                          << "%B/browser-b"
                                          << "%B/browser-b";
        QTest::newRow("by name on PATH") << ""
                                         << "firefox"
                                         << "%B/firefox";
        QTest::newRow("launcher env") << "%B/env"
                                      << "/usr/bin/env"
                                      << "";
        QTest::newRow("launcher flatpak") << ""
                                          << "%B/flatpak"
                                          << "";
        QTest::newRow("text-mode") << ""
                                   << "%B/www-browser"
                                   << "";
        QTest::newRow("exported application id") << ""
                                                 << "org.example.Browser"
                                                 << "%D/flatpak/exports/bin/org.example.Browser";
    }
    void recordedBrowsers()
    {
        QFETCH(QString, installer);
        QFETCH(QString, previous);
        QFETCH(QString, path);
        NewRoot();
        QVERIFY(WriteRecorder(Root("data/flatpak/exports/bin/org.example.Browser")));
        PreferredBrowser browser;
        browser.SetContextCallback([this, installer, previous] {
            return PreferredBrowser::PreferredBrowserContext { "en_US", Sub(installer), Sub(previous) };
        });
        QCOMPARE(browser.Path(), Sub(path));
    }

    // A browser that cannot be started hands the URL to the desktop's
    // opener, and without one to the next browser.
    void fallThrough_data()
    {
        QTest::addColumn<QString>("variable"); // BROWSER
        QTest::addColumn<QString>("entry"); // Exec of the desktop's default; empty: none
        QTest::addColumn<bool>("opener"); // xdg-open on PATH
        QTest::addColumn<QString>("started");
        const QString url = "https://example.com/b?c=1";
        QTest::newRow("preferred starts") << "%B/browser-a"
                                          << "" << true << "browser-a " + url + " mark=";
        QTest::newRow("preferred fails") << "%B/broken:%B/browser-b"
                                         << "" << true << "xdg-open " + url + " mark=";
        QTest::newRow("no opener either") << "%B/broken:%B/browser-b"
                                          << "" << false << "browser-b " + url + " mark=";
        QTest::newRow("desktop default fails")
            << ""
            << "env ZENTAR_MARK=x %B/broken %u" << true << "xdg-open " + url + " mark=";
        QTest::newRow("then the installer's")
            << ""
            << "env ZENTAR_MARK=x %B/broken %u" << false << "browser-c " + url + " mark=";
        QTest::newRow("none known") << ""
                                    << "" << true << "xdg-open " + url + " mark=";
    }
    void fallThrough()
    {
        QFETCH(QString, variable);
        QFETCH(QString, entry);
        QFETCH(bool, opener);
        QFETCH(QString, started);
        NewRoot();
        qputenv("BROWSER", Sub(variable).toLocal8Bit());
        if (opener)
            qputenv("PATH", (m_opener + ':' + m_bin).toLocal8Bit());
        if (!entry.isEmpty()) {
            QVERIFY(WriteEntry("browser.desktop", "Exec=" + entry + "\n"));
            QVERIFY(LinksTest::WriteFile(Root("config/mimeapps.list"),
                "[Default Applications]\nx-scheme-handler/https=browser.desktop\n"));
        }
        auto browser = std::make_shared<PreferredBrowser>();
        if (!variable.isEmpty() || !entry.isEmpty())
            browser->SetContextCallback([this] {
                return PreferredBrowser::PreferredBrowserContext { "en_US", m_bin + "/browser-c", {} };
            });
        Zentar::Browser::URLHandler(nullptr, browser)
            .OpenURLWithPreferredBrowser(QUrl("https://example.com/b?c=1"));
        QTRY_COMPARE(LinksTest::ReadLines(m_record), QStringList { started });
    }
};

QTEST_GUILESS_MAIN(TestPreferredBrowser)
#include "tst_preferredbrowser.moc"
