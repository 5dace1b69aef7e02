#pragma once

#include <Zentar/App/CrashReport.h>
#include <Zentar/App/WorkingMode.h>
#include <Zentar/App/ZentarAppExport.h>
#include <Zentar/Links/URLKeys.h>

#include <QApplication>
#include <QCommandLineOption>
#include <QList>
#include <QString>

#include <cstdint>
#include <deque>
#include <memory>
#include <string>

class QMainWindow;

namespace Zentar::ExternalStimulus
{
class IGateway;
}

namespace Zentar::Links
{
class ILinksManager;
}

namespace Zentar::App
{

class EventHandler;
class ICustomizationManager;
class ILookAndFeelManager;
class ISettingsManager;
class ISplash;

// The application object every product creates once in main(): it holds the
// product's managers, tracks crashes across runs, knows the launch history
// and runs the start-up sequence. Other code reaches it through
// qobject_cast<Application*>(QCoreApplication::instance()).
class ZENTAR_APP_EXPORT Application : public QApplication
{
    Q_OBJECT

public:
    enum LaunchType : int32_t {
        FirstLaunch = 1,
        Reinstall = 2,
        FirstLaunchAfterUpdate = 3,
        RegularLaunch = 4,
    };

    struct AppContext {
        bool createRunningMutex = true;
    };

    // The requests to end the process in order that the application answers
    // like a quit: SIGTERM (logout, shutdown, service stop), SIGINT (Ctrl+C)
    // and SIGHUP (the terminal closed).
    enum class QuitSignal { Terminate, Interrupt, Hangup };

    // Days after which a temporary file counts as expired.
    static const int DAYS_TO_FILE_EXPIRE = 10;

    Application(int& argc, char** argv);
    Application(int& argc, char** argv, const AppContext& context);
    ~Application() override;

    bool notify(QObject* receiver, QEvent* event) override;

    // Managers. Getters return copies, empty when nothing was set. An
    // operation that needs a manager not installed throws std::logic_error
    // naming it.
    void SetCustomizationManager(std::shared_ptr<ICustomizationManager> manager, bool initLogging);
    std::shared_ptr<ICustomizationManager> GetCustomizationManager() const;

    void SetLookAndFeel(std::shared_ptr<ILookAndFeelManager> manager);
    std::shared_ptr<ILookAndFeelManager> GetLookAndFeel();
    std::shared_ptr<ILookAndFeelManager> GetLookAndFeel() const;

    void SetSettingsManager(std::shared_ptr<ISettingsManager> settings);
    void SetProductSettingsManager(std::shared_ptr<ISettingsManager> settings);
    void SetMailSettingsManager(std::shared_ptr<ISettingsManager> settings);
    std::shared_ptr<ISettingsManager> GetSettingsManager();
    std::shared_ptr<ISettingsManager> GetSettingsManager() const;
    // Falls back to the settings store.
    std::shared_ptr<ISettingsManager> GetProductSettingsManager();
    std::shared_ptr<ISettingsManager> GetProductSettingsManager() const;
    // Falls back to the product settings store.
    std::shared_ptr<ISettingsManager> GetMailSettingsManager();
    std::shared_ptr<ISettingsManager> GetMailSettingsManager() const;
    // A fresh store of the values the installer wrote; an empty name means
    // the customization manager's installer product name.
    std::shared_ptr<ISettingsManager> GetInstallerSettings(const std::string& name) const;

    void SetSplash(std::shared_ptr<ISplash> splash);
    std::shared_ptr<ISplash> GetSplash();

    void SetExternalStimulusGateway(const std::shared_ptr<Zentar::ExternalStimulus::IGateway>& gateway);
    std::shared_ptr<Zentar::ExternalStimulus::IGateway> GetExternalStimulusGateway();

    // The process-wide main window, shared with the dialogs of the library.
    void SetMainWindow(QMainWindow* window);
    QWidget* GetMainWindow();

    QString ApplicationName();
    QString GetProductNameAbout();

    bool IsStarted() const;
    bool IsQuitting() const;

    // Crash tracking of this executable's runs.
    std::string SessionId();
    bool HasUnreportedCrash();
    std::deque<std::string> GetCrashedSessions();
    void ClearCrashes();
    // Why a crashed session ended (signal or exception, address, thread,
    // version, time, stack frames by name); empty when it left no report.
    CrashReport GetCrashReport(const std::string& sessionId);
    // On by default: a fatal signal or an uncaught exception writes a report
    // beside the session file. Off puts back the handlers found before.
    void SetCrashReportsEnabled(bool enabled);
    // On by default for each: the signal quits the application in order
    // (aboutToQuit, a clean end of the session); a second one while the
    // quit runs ends the process at once. Off puts back the previous handling.
    void SetQuitOnSignal(QuitSignal signal, bool quit);

    // Crash loops, counted in the product settings store (which these need):
    // runs that crashed since the last clean exit, and the share of clean
    // ends among the last sessions of a product version (empty: this one;
    // 1 when none is recorded).
    int GetCrashesInRow();
    double GetCrashFreeShare(const std::string& version = std::string());
    // How many crashes in a row make a crash loop; 3 unless set.
    void SetCrashLoopThreshold(int crashes);
    bool IsInCrashLoop();
    // Before Start: this run uses the default theme and language, shows no
    // start-up pages and takes no test options.
    void StartInSafeMode();
    bool IsSafeMode() const;

    // Launch history, computed once per process and kept in the stores.
    virtual LaunchType CheckFirstLaunch(const std::shared_ptr<ISettingsManager>& settings);
    LaunchType GetProductLaunchType();
    LaunchType GetLaunchType();
    bool IsFirstProductLaunch() const;
    bool IsFirstLaunch() const;
    int GetDaysPassed() const;
    // True while the installer holds its mutex; waits up to half a second.
    static bool CheckRunnedInstaller();

    // Runs OnStart once; later calls do nothing.
    virtual void Start();
    virtual void OnStart();
    // Quits and starts this executable again with `arguments` as its command
    // line; see RestartApplication.
    virtual void TryToRestart(Zentar::Enums::WorkingMode mode, QString arguments);

    // The virtual operations from CheckFirstLaunch to ShowEmailDialogIfNeeded
    // keep their declaration order, whatever their access: products are built
    // against the order of the table of virtual functions.
private:
    // What TryToQuit does; returns whether the application is quitting.
    virtual bool TryToQuitImpl();
    virtual QList<QCommandLineOption> GetAdditionalTestOptions() const;

public:
    virtual QString GetUrl(const Zentar::URLKeys& key) const;

private:
    virtual bool NeedOpenUrlThankForInstall() const;

protected:
    virtual void ShowEmailDialogIfNeeded();

public:
    // Native message handlers, called in registration order.
    void RegisterEventHandler(std::shared_ptr<EventHandler> handler);
    void UnregisterEventHandler(std::shared_ptr<EventHandler> handler);

    bool TryToQuit();

    QString GetApplicationTemporaryFilesDir();
    void ClearApplicationTemporaryFiles(int days) const;

    // Web links: the product's links service, built on first use from the
    // customization and look-and-feel managers and the mail and installer
    // stores (std::logic_error while one of the first three is missing).
    std::shared_ptr<Zentar::Links::ILinksManager> GetLinksManager() const;
    QString GetPreferredBrowserUserAgent() const;
    // The install landing page, now or through the external-stimulus gateway.
    void OpenThankForInstall() const;

Q_SIGNALS:
    void AutoUpdateCheckRequested();
    void ApplicationStarted();
    void BeforeShowEmailDialog();
    void AfterShowEmailDialog();

protected Q_SLOTS:
    void OnAboutToQuit();

private:
    void OpenUrlThankForInstall() const;
    void ShowEmailDialog();
    void RequestCheckAutoUpdate() const;
    void HandleTestOptions();
    QString PreferredBrowserPath() const;

    struct Private;
    std::unique_ptr<Private> const d;
};

} // namespace Zentar::App
