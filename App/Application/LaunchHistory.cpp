#include "Application_p.h"

#include <Zentar/App/MutexNames.h>
#include <Zentar/Core/SleepFor.h>
#include <Zentar/QtUtil/AppMutexLocker.h>
#include <Zentar/QtUtil/Utf8.h>
#include <Zentar/Settings/ISettingsManager.h>

#include "../Platform/OsProcess.h"

#include <QDateTime>
#include <QElapsedTimer>

namespace Zentar::App
{

Application::LaunchType Application::CheckFirstLaunch(const std::shared_ptr<ISettingsManager>& settings)
{
    const auto product = GetProductSettingsManager();
    Required(product, "Application::CheckFirstLaunch", kNeedsProductSettings);
    Required(settings, "Application::CheckFirstLaunch", "a settings store to check");
    const std::string currentVersion = Util::QStringToUtf8(
        QCoreApplication::applicationVersion().replace(QLatin1Char('.'), QLatin1Char('-')));

    const std::string storedVersion = settings->GetString("Version", std::string());
    const std::string installerTime = product->GetString("DateTime", std::string());
    const int recordedType = product->GetInt("ProductInstallType", 0);
    const bool ownsProductRecord = settings == product || recordedType == 0;

    if (storedVersion != currentVersion) {
        settings->SetString("Version", currentVersion);
        const bool startedBefore = !settings->GetString("DateOfFirstStart", std::string()).empty();
        settings->SetString("IsRun", "1");
        settings->SetString(
            "DateOfFirstStart", Util::QStringToUtf8(QDateTime::currentDateTime().toString(Qt::TextDate)));
        settings->SetString("InstallDateTime", installerTime);
        if (!ownsProductRecord)
            return static_cast<LaunchType>(recordedType);
        const LaunchType result = startedBefore ? FirstLaunchAfterUpdate : FirstLaunch;
        product->SetInt("ProductInstallType", result);
        return result;
    }

    if (settings->GetString("InstallDateTime", std::string()) != installerTime) {
        settings->SetString("InstallDateTime", installerTime);
        if (!ownsProductRecord)
            return static_cast<LaunchType>(recordedType);
        product->SetInt("ProductInstallType", Reinstall);
        return Reinstall;
    }

    return RegularLaunch;
}

Application::LaunchType Application::GetProductLaunchType()
{
    if (!d->productLaunchType.known) {
        Required(GetProductSettingsManager(), "Application::GetProductLaunchType", kNeedsProductSettings);
        d->productLaunchType.value = CheckFirstLaunch(GetProductSettingsManager());
        d->productLaunchType.known = true;
    }
    if (d->settings == GetProductSettingsManager())
        d->appLaunchType = d->productLaunchType;
    return d->productLaunchType.value;
}

Application::LaunchType Application::GetLaunchType()
{
    // Checked before the product answer is computed and recorded.
    if (!d->appLaunchType.known)
        Required(d->settings, "Application::GetLaunchType", kNeedsSettings);
    GetProductLaunchType();
    if (!d->appLaunchType.known) {
        d->appLaunchType.value = CheckFirstLaunch(d->settings);
        d->appLaunchType.known = true;
    }
    return d->appLaunchType.value;
}

bool Application::IsFirstProductLaunch() const
{
    const LaunchType type = const_cast<Application*>(this)->GetProductLaunchType();
    return type == FirstLaunch || type == FirstLaunchAfterUpdate;
}

bool Application::IsFirstLaunch() const
{
    const LaunchType type = const_cast<Application*>(this)->GetLaunchType();
    return type == FirstLaunch || type == FirstLaunchAfterUpdate;
}

int Application::GetDaysPassed() const
{
    const QDateTime now = QDateTime::currentDateTime();
    const std::string stored
        = Required(GetProductSettingsManager(), "Application::GetDaysPassed", kNeedsProductSettings)
              .GetString("DateOfFirstStart", Util::QStringToUtf8(now.toString(Qt::TextDate)));
    const QDateTime firstStart = QDateTime::fromString(Util::Utf8ToQString(stored), Qt::TextDate);
    return static_cast<int>(firstStart.daysTo(now));
}

bool Application::CheckRunnedInstaller()
{
    Util::AppMutexLocker locker({ INSTALLER_MUTEX_NAME });
    if (locker.TryLockAppMutex()) {
        locker.Release();
        return false;
    }

    QElapsedTimer elapsed;
    elapsed.start();
    while (elapsed.nsecsElapsed() < 500'000'000) {
        Core::SleepFor(1);
        if (locker.TryLockAppMutex()) {
            locker.Release();
            return false;
        }
    }

    // Tells the user the installer runs; its outcome does not matter here.
    Os::CloseProcessHandle(Os::StartWithShell(L"InstallerMessage.vbs", std::wstring(), std::wstring(), 1));
    locker.Release();
    return true;
}

} // namespace Zentar::App
