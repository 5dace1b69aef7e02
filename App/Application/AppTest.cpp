#include <Zentar/App/AppTest.h>

#include "AppTest_p.h"
#include "LogURLHandler.h"

#include <Zentar/App/Application.h>
#include <Zentar/Core/Exception.h>
#include <Zentar/Interfaces/ICustomizationManager.h>
#include <Zentar/Interfaces/ILookAndFeelManager.h>
#include <Zentar/QtUtil/AlertBox.h>
#include <Zentar/QtUtil/Ssl.h>
#include <Zentar/QtUtil/Utf8.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QStandardPaths>
#include <QTimer>

#include <glog/logging.h>

#include <algorithm>
#include <cstdlib>

namespace Zentar::App::AppTest
{

namespace
{

const QCommandLineOption& SslDisableOption()
{
    static const QCommandLineOption option(
        QStringLiteral("ssl-disable"), QStringLiteral("Use http when possible"));
    return option;
}

const QCommandLineOption& SslEnableOption()
{
    static const QCommandLineOption option(
        QStringLiteral("ssl-enable"), QStringLiteral("Use https when possible"));
    return option;
}

struct TestOptions {
    QCommandLineOption help { QStringLiteral("test-help"), QStringLiteral("Show help for test options") };
    QCommandLineOption dumpUrls { QStringLiteral("test-dump-urls"),
        QStringLiteral("Write URLs to dump file") };
    QCommandLineOption openUrls { QStringLiteral("test-open-urls"), QStringLiteral("Open URLs in browser") };
    QCommandLineOption logUrls { QStringLiteral("test-log-urls"), QStringLiteral("Log opened URLs to file"),
        QStringLiteral("path"), QString() };
    QCommandLineOption locales { QStringLiteral("test-custom-locales"),
        QStringLiteral("Set locales: en_US,ru_RU"), QStringLiteral("locales"),
        QStringLiteral("en_US,de_DE,ru_RU,es_ES,fr_FR,it_IT,ja_JP,nl_NL,pl_PL,pt_BR,tr_TR,"
                       "ko_KR,zh_CN,zh_TW") };
    QCommandLineOption delay { QStringLiteral("test-custom-delay"), QStringLiteral("Set open delay in ms"),
        QStringLiteral("delay"), QStringLiteral("1000") };
    QCommandLineOption crashAfter { QStringLiteral("crash-after"),
        QStringLiteral("Set crash after timeout in ms"), QStringLiteral("crashTimeout"),
        QStringLiteral("1000") };

    // In the order of the help text.
    QList<QCommandLineOption> All() const
    {
        return { help, dumpUrls, openUrls, logUrls, locales, delay, crashAfter, SslDisableOption(),
            SslEnableOption() };
    }
};

void ShowHelp(const QList<QCommandLineOption>& options)
{
    QString text;
    for (const QCommandLineOption& option : options)
        text += QStringLiteral("--") + option.names().constFirst() + QLatin1Char(' ') + option.description()
            + QLatin1Char('\n');
    Util::AlertBox box(Util::AlertBox::Information, QString(), text, QMessageBox::Ok, nullptr,
        Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    box.Exec();
}

std::list<std::string> FilterLocales(const QString& requested, const Application* app)
{
    const QStringList wanted = requested.split(QLatin1Char(','));
    std::list<std::string> locales;
    const auto lookAndFeel = app->GetLookAndFeel();
    if (!lookAndFeel)
        return locales;
    for (const std::string& offered : lookAndFeel->GetLocales())
        if (wanted.contains(Util::Utf8ToQString(offered)))
            locales.push_back(offered);
    return locales;
}

} // namespace

namespace Detail
{

std::list<std::string>& TestLocales()
{
    static std::list<std::string> locales;
    return locales;
}

int64_t& OpenDelayAccumulator()
{
    static int64_t accumulator = 10000;
    return accumulator;
}

} // namespace Detail

QList<QCommandLineOption> Options()
{
    return TestOptions().All();
}

void HandleGlobalTestOptions()
{
    HandleGlobalTestOptions(QCoreApplication::arguments());
}

void HandleGlobalTestOptions(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.addOption(SslDisableOption());
    parser.addOption(SslEnableOption());
    parser.parse(arguments);

    const bool disable = parser.isSet(SslDisableOption());
    const bool enable = parser.isSet(SslEnableOption());
    if (disable && enable)
        ZENTAR_THROW(Zentar::Exception, "Invalid options combination.");
    if (disable)
        Util::SetDefaultSslUsage(false);
    if (enable)
        Util::SetDefaultSslUsage(true);
}

void HandleTestOptions(const QList<QCommandLineOption>& additional, Application* app)
{
    HandleTestOptions(QCoreApplication::arguments(), additional, app);
}

void HandleTestOptions(
    const QStringList& arguments, const QList<QCommandLineOption>& additional, Application* app)
{
    if (!app) {
        LOG(ERROR) << "Test options need the application object";
        return;
    }
    const TestOptions options;
    QCommandLineParser parser;
    parser.addOptions(options.All());
    parser.parse(arguments);

    Detail::TestLocales() = FilterLocales(parser.value(options.locales), app);
    int delay = parser.value(options.delay).toInt(nullptr, 10);
    if (delay < 0) {
        LOG(WARNING) << "Negative open delay " << delay << " taken as 0";
        delay = 0;
    }

    if (parser.isSet(options.help))
        ShowHelp(options.All() + additional);

    const bool openUrls = parser.isSet(options.openUrls);
    if (parser.isSet(options.dumpUrls) || openUrls)
        UrlTest(DumpFilePath(*app), openUrls, delay);

    if (parser.isSet(options.logUrls)) {
        auto* handler = new LogURLHandler(app, parser.value(options.logUrls));
        QDesktopServices::setUrlHandler(QStringLiteral("http"), handler, "logUrls");
        QDesktopServices::setUrlHandler(QStringLiteral("https"), handler, "logUrls");
    }

    if (parser.isSet(options.crashAfter)) {
        const int timeout = std::max(0, parser.value(options.crashAfter).toInt(nullptr, 10));
        LOG(WARNING) << "The process will crash in " << timeout << " ms, as asked on the command line";
        // A crash, not an exit: no quit sequence runs, so the session stays
        // open in the crash-tracking file.
        QTimer::singleShot(timeout, Qt::PreciseTimer, app, [] { std::abort(); });
    }
}

Zentar::ioPath DumpFilePath(const Application& app)
{
    const auto customization = app.GetCustomizationManager();
    const std::string module = customization ? customization->GetModuleName() : std::string();
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    return Zentar::ioPath(Util::QStringToUtf8(dir)) / Zentar::ioPath(module + "-url-dump.csv");
}

} // namespace Zentar::App::AppTest

namespace Zentar::App
{

void Application::HandleTestOptions()
{
    AppTest::HandleTestOptions(GetAdditionalTestOptions(), this);
}

} // namespace Zentar::App
