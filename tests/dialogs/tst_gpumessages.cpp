#include "ApplicationTestMain.h"
#include <Zentar/App/Application.h>
#include <Zentar/App/GPUMessages.h>
#include <Zentar/Links/URLKeys.h>

#include <QTranslator>
#include <QtTest>

using Zentar::App::Application;

namespace
{

// Resolves every link key to a page of its own number.
class LinkingApplication : public Application
{
public:
    using Application::Application;
    QString GetUrl(const Zentar::URLKeys& key) const override
    {
        return QStringLiteral("https://example.test/page?key=%1").arg(static_cast<int>(key));
    }
};

} // namespace

class TestGpuMessages : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void message_data()
    {
        QTest::addColumn<bool>("unsupported"); // which message
        QTest::addColumn<QString>("linkStyle"); // null: property not set
        QTest::addColumn<bool>("translated"); // proves the translation context
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("linkText");

        QTest::newRow("setup, no style")
            << false << QString() << false
            << QStringLiteral("NVIDIA<sup>&reg;</sup> CUDA&#8482; acceleration has "
                              "been disabled")
            << QStringLiteral("Detailed Instructions");
        QTest::newRow("unsupported, styled")
            << true << QStringLiteral("color: #0a84ff;") << false
            << QStringLiteral("Unfortunately, the currently installed graphics card")
            << QStringLiteral("Download Driver");
        QTest::newRow("setup, translated")
            << false << QStringLiteral("x") << true << QStringLiteral("Treiber einrichten: ")
            << QStringLiteral("Anleitung");
        QTest::newRow("unsupported, translated")
            << true << QString() << true << QStringLiteral("Treiber nicht unterstützt: ")
            << QStringLiteral("Herunterladen");
    }

    void message()
    {
        QFETCH(bool, unsupported);
        QFETCH(QString, linkStyle);
        QFETCH(bool, translated);
        QFETCH(QString, start);
        QFETCH(QString, linkText);

        qApp->setProperty("linkStyle", linkStyle.isNull() ? QVariant() : QVariant(linkStyle));
        QTranslator translator;
        if (translated) {
            QVERIFY(translator.load(QStringLiteral(ZENTAR_TEST_BUILD_DIR "/dialogs_de.qm")));
            QCoreApplication::installTranslator(&translator);
        }
        const auto key = Zentar::URLKeys::HARDWARE_ACCELERATION_HELP_URL;
        const QString message
            = unsupported ? GetGPUUnsupportedDriverMessage(key) : GetGPUNeedSetupDriverMessage(key);
        QCoreApplication::removeTranslator(&translator);

        QVERIFY2(message.startsWith(start), qPrintable(message));
        const QString link
            = QStringLiteral("<a href=\"https://example.test/page?key=%1\" style=\"%2\">%3</a>")
                  .arg(int(key))
                  .arg(linkStyle, linkText);
        QVERIFY2(message.endsWith(link), qPrintable(message));
    }
};

ZENTAR_APPLICATION_TEST_MAIN_WITH(LinkingApplication, TestGpuMessages)

#include "tst_gpumessages.moc"
