#include <Zentar/Browser/PreferredBrowser.h>
#include <Zentar/EmailDialog/EmailDialogCreator.h>
#include <Zentar/Links/LinksManager.h>
#include <Zentar/Settings/SettingsManager.h>

#include "LinksTestSupport.h"
#include "LogCapture.h"
#include "TestCustomization.h"

#include <QTemporaryDir>
#include <QtTest>
#include <QtWidgets>

using namespace Zentar;
using Zentar::Links::LinksManager;

// The links service and what it hands links to: the browser named by
// BROWSER (a script here) and the e-mail dialog's privacy link.
class TestLinksManager : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::shared_ptr<TestCustomization> m_customization = std::make_shared<TestCustomization>();
    std::shared_ptr<App::LookAndFeelManager> m_lookAndFeel;
    std::shared_ptr<App::SettingsManager> m_mail
        = std::make_shared<App::SettingsManager>("LinksMail", "Zentar");
    std::shared_ptr<App::SettingsManager> m_installer
        = std::make_shared<App::SettingsManager>("LinksInstaller", "Zentar");

    QString Path(const QString& name) const { return m_dir.filePath(name); }
    // %1 and %2 stand for the two browsers on PATH.
    QString Sub(QString text) const
    {
        return text.replace("%1", Path("first-browser")).replace("%2", Path("second-browser"));
    }
    std::unique_ptr<LinksManager> Make(const QString& table, const QJsonObject& links = {})
    {
        if (!links.isEmpty() && !LinksTest::WriteTable(table, links))
            return nullptr;
        return std::make_unique<LinksManager>(m_customization, m_lookAndFeel, m_mail, m_installer, table);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_lookAndFeel = LinksTest::MakeLookAndFeel(Path("laf"), { "en_US" }, "en_US");
        QVERIFY(!LinksTest::WriteRecordingBrowser(Sub("%1"), Path("r")).isEmpty());
        QVERIFY(!LinksTest::WriteRecordingBrowser(Sub("%2"), Path("r")).isEmpty());
        qputenv("PATH", m_dir.path().toLocal8Bit() + ':' + qgetenv("PATH"));
    }

    void requiredCollaborators_data()
    {
        QTest::addColumn<int>("missing");
        int missing = 0;
        for (const char* name : { "customization", "look and feel", "mail settings" })
            QTest::newRow(name) << missing++;
    }
    void requiredCollaborators()
    {
        QFETCH(int, missing);
        try {
            LinksManager manager(missing == 0 ? nullptr : m_customization,
                missing == 1 ? nullptr : m_lookAndFeel, missing == 2 ? nullptr : m_mail, m_installer,
                Path("none.json"));
            QFAIL("built without a required collaborator");
        } catch (const std::logic_error& e) {
            QCOMPARE(QString(e.what()), "NotNull can not initialized by null");
        }
    }

    // Filled at each call, from what the collaborators say then.
    void placeholders()
    {
        m_mail->SetString("IsRegUser", "1");
        m_installer->SetString("InstallerName", "Zentar Setup&1.exe");
        const auto manager = Make(Path("placeholders.json"),
            { { "THANK_FOR_INSTALL_URL",
                "https://example.com/{language}/"
                "thanks?l={locale}&p={productId}&m={module}&v={version}&b={build}"
                "&r={registered}&i={installer}&ip={installerProduct}&x={unknown}" } });
        QVERIFY(manager);
        QCOMPARE(manager->GetUrl(URLKeys::THANK_FOR_INSTALL_URL),
            "https://example.com/en/thanks?l=en_US&p=ZentarTestProduct&m=zentar-test&v=20.4.0&b=17&r=1"
            "&i=Zentar%20Setup%261.exe&ip=ZentarTestInstaller&x={unknown}");
        m_mail->Remove("IsRegUser");
        QVERIFY(manager->GetUrl(URLKeys::THANK_FOR_INSTALL_URL).contains("&r=0&"));
    }

    // Nothing usable in the table: every link is empty, one line says why.
    void unusableTables_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: no file at all
        QTest::addColumn<int>("severity");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << QByteArray() << int(google::GLOG_WARNING) << "No links table at";
        QTest::newRow("not json") << QByteArray("{\"links\": {\"FAQ_URL\": ") << int(google::GLOG_ERROR)
                                  << "is malformed";
        QTest::newRow("array") << QByteArray("[\"https://example.com\"]") << int(google::GLOG_ERROR)
                               << "is malformed";
        QTest::newRow("links not an object")
            << QByteArray("{\"links\": [1, 2]}") << int(google::GLOG_ERROR) << "is malformed";
    }
    void unusableTables()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, severity);
        QFETCH(QString, message);
        const QString table = Path(QString("unusable-%1.json").arg(QTest::currentDataTag()));
        QVERIFY(content.isNull() || LinksTest::WriteFile(table, content));
        LogCapture log;
        const auto manager = Make(table);
        for (int value = FIRST_URL_KEY; value <= LAST_URL_KEY; ++value)
            QVERIFY(manager->GetUrl(static_cast<URLKeys>(value)).isEmpty());
        const auto lines = log.Texts(severity);
        QCOMPARE(lines.size(), size_t(1));
        const QString line = QString::fromStdString(lines.front());
        QVERIFY2(line.contains(message) && line.contains(table), qPrintable(line));
    }

    void browserVariable_data()
    {
        QTest::addColumn<QString>("variable"); // %1 first, %2 second browser
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("arguments"); // after the program; %u the URL
        QTest::newRow("plain") << "%1"
                               << "%1" << QStringList { "%u" };
        QTest::newRow("first missing") << "/no/such/browser:%2"
                                       << "%2" << QStringList { "%u" };
        QTest::newRow("placeholder") << "%1 --new-tab %s --x=100%%"
                                     << "%1" << QStringList { "--new-tab", "%u", "--x=100%" };
        QTest::newRow("placeholder inside") << "%2 --open=%s"
                                            << "%2" << QStringList { "--open=%u" };
        QTest::newRow("by name on PATH") << "second-browser"
                                         << "%2" << QStringList { "%u" };
    }
    void browserVariable()
    {
        QFETCH(QString, variable);
        QFETCH(QString, path);
        QFETCH(QStringList, arguments);
        qputenv("BROWSER", Sub(variable).toLocal8Bit());
        const QUrl url("https://example.com/a b?c=1");
        Browser::PreferredBrowser browser;
        QCOMPARE(browser.Path(), Sub(path));
        QStringList expected;
        for (const QString& argument : arguments)
            expected << QString(argument).replace("%u", url.toString(QUrl::FullyEncoded));
        const auto launches = browser.OpenCommands(url);
        QVERIFY(!launches.isEmpty());
        QCOMPARE(launches.first().program, Sub(path));
        QCOMPARE(launches.first().arguments, expected);
    }

    // A user types an address, clicks Ok, and the product's store keeps it.
    void registersAValidAddress()
    {
        const QString table = Path("privacy.json");
        QVERIFY(LinksTest::WriteTable(table, { { "PRIVACY_POLICY_URL", "https://example.com/privacy" } }));
        m_mail->Remove("IsRegUser");
        auto links = std::make_shared<LinksManager>(m_customization, m_lookAndFeel, m_mail, nullptr, table);
        auto dialog = EmailDialog::EmailDialogCreator().Create(m_mail, links, nullptr);
        QVERIFY(dialog);
        bool answered = false;
        QTimer::singleShot(0, this, [&] {
            auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            QVERIFY(modal);
            auto* privacy = modal->findChild<QLabel*>("privacyLink");
            QVERIFY(privacy && privacy->text().contains("href=\"https://example.com/privacy\""));
            auto* edit = modal->findChild<QLineEdit*>("emailEdit");
            auto* error = modal->findChild<QLabel*>("emailError");
            QPushButton* ok = modal->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
            QVERIFY(!ok->isEnabled());
            QTest::keyClicks(edit, "someone@");
            QVERIFY(!ok->isEnabled() && error->isVisible());
            // Return in the line edit must not get an invalid address through.
            QTest::keyClick(edit, Qt::Key_Return);
            QVERIFY(modal->isVisible());
            QTest::keyClicks(edit, "example.com ");
            QVERIFY(ok->isEnabled() && !error->isVisible());
            QTest::mouseClick(ok, Qt::LeftButton);
            answered = true;
        });
        QVERIFY(dialog->Exec() && answered);
        // Persisted: another store of the same names reads it.
        const App::SettingsManager again("LinksMail", "Zentar");
        QCOMPARE(again.GetString("IsRegUser", ""), std::string("1"));
        QCOMPARE(again.GetString("Email", ""), std::string("someone@example.com"));
    }
};

QTEST_MAIN(TestLinksManager)
#include "tst_linksmanager.moc"
