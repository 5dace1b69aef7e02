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
        = std::make_shared<App::SettingsManager>(QStringLiteral("LinksMail"), QStringLiteral("Zentar"));
    std::shared_ptr<App::SettingsManager> m_installer
        = std::make_shared<App::SettingsManager>(QStringLiteral("LinksInstaller"), QStringLiteral("Zentar"));

    QString m_first;
    QString m_second;

    QString Path(const QString& name) const { return m_dir.filePath(name); }
    // %1 and %2 stand for the two browsers in the test tables.
    QString Sub(QString text) const
    {
        return text.replace(QLatin1String("%1"), m_first).replace(QLatin1String("%2"), m_second);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_lookAndFeel
            = LinksTest::MakeLookAndFeel(Path(QStringLiteral("laf")), { QStringLiteral("en_US") }, "en_US");
        m_first = LinksTest::WriteRecordingBrowser(
            Path(QStringLiteral("first-browser")), Path(QStringLiteral("r")));
        m_second = LinksTest::WriteRecordingBrowser(
            Path(QStringLiteral("second-browser")), Path(QStringLiteral("r")));
        QVERIFY(!m_first.isEmpty() && !m_second.isEmpty());
        qputenv("PATH", m_dir.path().toLocal8Bit() + ':' + qgetenv("PATH"));
    }

    void requiredCollaborators_data()
    {
        QTest::addColumn<int>("missing");
        QTest::newRow("customization") << 0;
        QTest::newRow("look and feel") << 1;
        QTest::newRow("mail settings") << 2;
    }
    void requiredCollaborators()
    {
        QFETCH(int, missing);
        try {
            LinksManager manager(missing == 0 ? nullptr : m_customization,
                missing == 1 ? nullptr : m_lookAndFeel, missing == 2 ? nullptr : m_mail, m_installer,
                Path(QStringLiteral("none.json")));
            QFAIL("built without a required collaborator");
        } catch (const std::logic_error& e) {
            QCOMPARE(QString::fromLatin1(e.what()), QStringLiteral("NotNull can not initialized by null"));
        }
    }

    // Filled at each call, from what the collaborators say then.
    void placeholders()
    {
        m_mail->SetString("IsRegUser", "1");
        m_installer->SetString("InstallerName", "Zentar Setup&1.exe");
        const QString table = Path(QStringLiteral("placeholders.json"));
        QVERIFY(LinksTest::WriteTable(table,
            { { QStringLiteral("THANK_FOR_INSTALL_URL"),
                QStringLiteral("https://example.com/{language}/thanks?l={locale}&p={productId}&m={module}"
                               "&v={version}&b={build}&r={registered}&i={installer}&ip={installerProduct}"
                               "&x={unknown}") } }));
        const LinksManager manager(m_customization, m_lookAndFeel, m_mail, m_installer, table);
        QCOMPARE(manager.GetUrl(URLKeys::THANK_FOR_INSTALL_URL),
            QStringLiteral("https://example.com/en/thanks?l=en_US&p=ZentarTestProduct&m=zentar-test"
                           "&v=20.4.0&b=17&r=1&i=Zentar%20Setup%261.exe&ip=ZentarTestInstaller&x={unknown}"));
        m_mail->Remove("IsRegUser");
        QVERIFY(manager.GetUrl(URLKeys::THANK_FOR_INSTALL_URL).contains(QStringLiteral("&r=0&")));
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
        const QString table = Path(QStringLiteral("unusable-%1.json").arg(QTest::currentDataTag()));
        if (!content.isNull())
            QVERIFY(LinksTest::WriteFile(table, content));
        LogCapture log;
        const LinksManager manager(m_customization, m_lookAndFeel, m_mail, m_installer, table);
        for (int value = FIRST_URL_KEY; value <= LAST_URL_KEY; ++value)
            QVERIFY(manager.GetUrl(static_cast<URLKeys>(value)).isEmpty());
        const auto lines = log.Texts(severity);
        QCOMPARE(lines.size(), size_t(1));
        QVERIFY2(QString::fromStdString(lines.front()).contains(message), lines.front().c_str());
        QVERIFY(QString::fromStdString(lines.front()).contains(table));
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
        const QUrl url(QStringLiteral("https://example.com/a b?c=1"));
        Browser::PreferredBrowser browser;
        QCOMPARE(browser.Path(), Sub(path));
        QStringList expected { Sub(path) };
        for (const QString& argument : arguments)
            expected << QString(argument).replace(QLatin1String("%u"), url.toString(QUrl::FullyEncoded));
        QCOMPARE(browser.OpenCommand(url), expected);
    }

    // A user types an address, clicks Ok, and the product's store keeps it.
    void registersAValidAddress()
    {
        const QString table = Path(QStringLiteral("privacy.json"));
        QVERIFY(LinksTest::WriteTable(table,
            { { QStringLiteral("PRIVACY_POLICY_URL"), QStringLiteral("https://example.com/privacy") } }));
        m_mail->Remove("IsRegUser");
        auto links = std::make_shared<LinksManager>(m_customization, m_lookAndFeel, m_mail, nullptr, table);
        auto dialog = EmailDialog::EmailDialogCreator().Create(m_mail, links, nullptr);
        QVERIFY(dialog);

        bool answered = false;
        QTimer::singleShot(0, this, [&] {
            auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            QVERIFY(modal);
            auto* privacy = modal->findChild<QLabel*>(QStringLiteral("privacyLink"));
            QVERIFY(
                privacy && privacy->text().contains(QStringLiteral("href=\"https://example.com/privacy\"")));
            auto* edit = modal->findChild<QLineEdit*>(QStringLiteral("emailEdit"));
            auto* error = modal->findChild<QLabel*>(QStringLiteral("emailError"));
            QPushButton* ok = modal->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
            QVERIFY(!ok->isEnabled());
            QTest::keyClicks(edit, QStringLiteral("someone@"));
            QVERIFY(!ok->isEnabled());
            QVERIFY(error->isVisible());
            // Return in the line edit must not get an invalid address through.
            QTest::keyClick(edit, Qt::Key_Return);
            QVERIFY(modal->isVisible());
            QTest::keyClicks(edit, QStringLiteral("example.com "));
            QVERIFY(ok->isEnabled());
            QVERIFY(!error->isVisible());
            QTest::mouseClick(ok, Qt::LeftButton);
            answered = true;
        });
        QVERIFY(dialog->Exec());
        QVERIFY(answered);
        // Persisted: another store of the same names reads it.
        const App::SettingsManager again(QStringLiteral("LinksMail"), QStringLiteral("Zentar"));
        QCOMPARE(again.GetString("IsRegUser", ""), std::string("1"));
        QCOMPARE(again.GetString("Email", ""), std::string("someone@example.com"));
    }
};

QTEST_MAIN(TestLinksManager)
#include "tst_linksmanager.moc"
