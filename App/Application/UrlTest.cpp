#include <Zentar/App/AppTest.h>

#include "AppTest_p.h"

#include <Zentar/App/Application.h>
#include <Zentar/Interfaces/ICustomizationManager.h>
#include <Zentar/Interfaces/ILookAndFeelManager.h>
#include <Zentar/Links/ILinksManager.h>
#include <Zentar/QtUtil/AlertBox.h>
#include <Zentar/QtUtil/Utf8.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <QTimer>

#include <glog/logging.h>

#include <utility>
#include <vector>

namespace Zentar::App::AppTest
{

namespace
{

// Puts the interface language back however the check ends.
class LocaleRestorer
{
public:
    LocaleRestorer(std::shared_ptr<ILookAndFeelManager> lookAndFeel,
        std::shared_ptr<ICustomizationManager> customization)
        : m_lookAndFeel(std::move(lookAndFeel))
        , m_customization(std::move(customization))
        , m_locale(m_lookAndFeel->GetCurrentLocale())
    {
    }
    ~LocaleRestorer()
    {
        m_lookAndFeel->SetLocale(m_locale);
        m_customization->SetLocale(m_locale);
    }

private:
    std::shared_ptr<ILookAndFeelManager> m_lookAndFeel;
    std::shared_ptr<ICustomizationManager> m_customization;
    std::string m_locale;
};

void ScheduleOpen(Application* app, const std::shared_ptr<Links::ILinksManager>& links, const QString& url)
{
    int64_t& accumulator = Detail::OpenDelayAccumulator();
    // Precise, so that a URL never opens before its time.
    QTimer::singleShot(
        static_cast<int>(accumulator), Qt::PreciseTimer, app, [links, url] { links->OpenUrl(url); });
}

} // namespace

void UrlTest(const Zentar::ioPath& dumpFile, bool openUrls, int delayMs)
{
    auto* app = qobject_cast<Application*>(QCoreApplication::instance());
    const QString path = Util::Utf8ToQString(dumpFile.utf8string());

    const QDir parent = QFileInfo(path).absoluteDir();
    if (!parent.exists())
        QDir().mkpath(parent.absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        Util::AlertBox box(Util::AlertBox::Warning,
            QCoreApplication::translate("AppTest", "Config test error"),
            QCoreApplication::translate("AppTest", "Can't open file to dump: ")
                + Util::Utf8ToQString(dumpFile.utf8string()),
            QMessageBox::Ok, nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
        box.Exec();
        return;
    }

    const auto lookAndFeel = app ? app->GetLookAndFeel() : nullptr;
    const auto customization = app ? app->GetCustomizationManager() : nullptr;
    if (!lookAndFeel || !customization) {
        LOG(ERROR) << "The link check needs the customization and look-and-feel managers of the application";
        return;
    }
    const auto links = app->GetLinksManager();
    const std::string module = customization->GetModuleName();

    std::vector<QString> toOpen;
    {
        LocaleRestorer restorer(lookAndFeel, customization);
        QTextStream out(&file);
        out.setCodec("UTF-8");
        for (const std::string& locale : Detail::TestLocales()) {
            lookAndFeel->SetLocale(locale);
            customization->SetLocale(locale);
            std::vector<std::pair<std::string, QString>> found;
            for (int value = FIRST_URL_KEY; value <= LAST_URL_KEY; ++value) {
                const auto key = static_cast<URLKeys>(value);
                const QString url = links->GetUrl(key);
                const std::string name = URLKeyName(key);
                if (url.isEmpty())
                    LOG(WARNING) << "Cannot find url " << name << " for module " << module;
                else
                    found.emplace_back(name, url);
            }
            for (const auto& [name, url] : found) {
                out << Util::Utf8ToQString(locale) << ';' << Util::Utf8ToQString(name) << ';' << url << ";\n";
                toOpen.push_back(url);
            }
        }
    }

    if (openUrls) {
        for (const QString& url : toOpen) {
            ScheduleOpen(app, links, url);
            Detail::OpenDelayAccumulator() += delayMs;
        }
    }
}

} // namespace Zentar::App::AppTest
