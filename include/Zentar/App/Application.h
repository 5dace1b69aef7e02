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

/// The application object every product creates once in main(): it holds the
/// product's managers, tracks crashes across runs, knows the launch history
/// and runs the start-up sequence. Other code reaches it through
/// qobject_cast<Application*>(QCoreApplication::instance()).
///
/// Everything belongs to the GUI thread. The managers are shared with the
/// product; the application keeps them until it is destroyed.
class ZENTAR_APP_EXPORT Application : public QApplication
{
    Q_OBJECT

public:
    /// What this launch is to the store asked; products keep the values.
    enum LaunchType : int32_t {
        FirstLaunch = 1,
        Reinstall = 2,
        FirstLaunchAfterUpdate = 3,
        RegularLaunch = 4,
    };

    /// Choices made when the application object is built.
    struct AppContext {
        /// Hold APPLICATION_RUNNING_MUTEX_NAME while the application lives, so that an installer
        /// sees the product running.
        bool createRunningMutex = true;
    };

    /// The requests to end the process in order that the application answers
    /// like a quit: SIGTERM (logout, shutdown, service stop), SIGINT (Ctrl+C)
    /// and SIGHUP (the terminal closed).
    enum class QuitSignal { Terminate, Interrupt, Hangup };

    /// Days after which a temporary file counts as expired.
    static const int DAYS_TO_FILE_EXPIRE = 10;

    /// Builds the application as AppContext's defaults say.
    Application(int& argc, char** argv);
    /// Builds the application: opens this run's session in the crash-tracking
    /// file, installs the native event filter, has web links open in the
    /// preferred browser, holds the running mutex when `context` asks for it
    /// and reads the secure-connection test options (Zentar::Exception when
    /// they contradict each other).
    Application(int& argc, char** argv, const AppContext& context);
    ~Application() override;

    /// Delivers every event: gives each scroll area a Gesture::Scroller when it
    /// is first shown, tells the splash of an activation before Start, and logs
    /// an exception that escapes delivery before letting it go on.
    bool notify(QObject* receiver, QEvent* event) override;

    // Managers. Getters return copies, empty when nothing was set. An
    // operation that needs a manager not installed throws std::logic_error
    // naming it.

    /// Installs the product's branding: sets the application's name, version
    /// and organisation from it and, with `initLogging`, sets up logging (log
    /// file named after its installer product name).
    void SetCustomizationManager(std::shared_ptr<ICustomizationManager> manager, bool initLogging);
    /// The customization manager; empty when none was set.
    std::shared_ptr<ICustomizationManager> GetCustomizationManager() const;

    /// Installs the look-and-feel manager; it is not initialised here.
    void SetLookAndFeel(std::shared_ptr<ILookAndFeelManager> manager);
    //!@{
    /// The look-and-feel manager; empty when none was set.
    std::shared_ptr<ILookAndFeelManager> GetLookAndFeel();
    std::shared_ptr<ILookAndFeelManager> GetLookAndFeel() const;
    //!@}

    /// Installs the main settings store (the application's launch history, the colour dialog's
    /// colours).
    void SetSettingsManager(std::shared_ptr<ISettingsManager> settings);
    /// Installs the product store (launch history, browser, path, update check).
    void SetProductSettingsManager(std::shared_ptr<ISettingsManager> settings);
    /// Installs the mail store (the e-mail address and whether the user registered).
    void SetMailSettingsManager(std::shared_ptr<ISettingsManager> settings);
    //!@{
    /// The main settings store; empty when none was set.
    std::shared_ptr<ISettingsManager> GetSettingsManager();
    std::shared_ptr<ISettingsManager> GetSettingsManager() const;
    //!@}
    //!@{
    /// The product store.
    /// Falls back to the settings store.
    std::shared_ptr<ISettingsManager> GetProductSettingsManager();
    std::shared_ptr<ISettingsManager> GetProductSettingsManager() const;
    //!@}
    //!@{
    /// The mail store.
    /// Falls back to the product settings store.
    std::shared_ptr<ISettingsManager> GetMailSettingsManager();
    std::shared_ptr<ISettingsManager> GetMailSettingsManager() const;
    //!@}
    /// A fresh store of the values the installer wrote; an empty name means
    /// the customization manager's installer product name.
    std::shared_ptr<ISettingsManager> GetInstallerSettings(const std::string& name) const;

    /// Installs the splash screen, told when the application starts.
    void SetSplash(std::shared_ptr<ISplash> splash);
    /// The splash screen; empty when none was set.
    std::shared_ptr<ISplash> GetSplash();

    /// Installs the gateway that takes the landing page and the e-mail dialog
    /// instead of having them shown at once; empty shows them at once.
    void SetExternalStimulusGateway(const std::shared_ptr<Zentar::ExternalStimulus::IGateway>& gateway);
    /// The gateway; empty when none was set.
    std::shared_ptr<Zentar::ExternalStimulus::IGateway> GetExternalStimulusGateway();

    /// The process-wide main window, shared with the dialogs of the library.
    /// Not owned; null clears it.
    void SetMainWindow(QMainWindow* window);
    /// The main window; null when none is set or it was deleted.
    QWidget* GetMainWindow();

    /// The customization manager's application name, else Qt's.
    QString ApplicationName();
    /// The product's name for its About box; throws std::logic_error without a
    /// customization manager.
    QString GetProductNameAbout();

    /// Whether Start has run.
    bool IsStarted() const;
    /// Whether TryToQuit was accepted.
    bool IsQuitting() const;

    // Crash tracking of this executable's runs.

    /// This run's session id in the crash-tracking file.
    std::string SessionId();
    /// Whether this start found earlier runs that did not exit cleanly.
    bool HasUnreportedCrash();
    /// The session ids of those runs, in the order found.
    std::deque<std::string> GetCrashedSessions();
    /// Forgets those runs and empties the crash-tracking file, this run's entry
    /// included (as before a restart that must not count as a crash).
    void ClearCrashes();
    /// Why a crashed session ended (signal or exception, address, thread,
    /// version, time, stack frames by name); empty when it left no report.
    CrashReport GetCrashReport(const std::string& sessionId);
    /// On by default: a fatal signal or an uncaught exception writes a report
    /// beside the session file. Off puts back the handlers found before.
    void SetCrashReportsEnabled(bool enabled);
    /// On by default for each: the signal quits the application in order
    /// (aboutToQuit, a clean end of the session); a second one while the
    /// quit runs ends the process at once. Off puts back the previous handling.
    void SetQuitOnSignal(QuitSignal signal, bool quit);

    //!@{
    /// Crash loops, counted in the product settings store (which these need):
    /// runs that crashed since the last clean exit, and the share of clean
    /// ends among the last sessions of a product version (empty: this one;
    /// 1 when none is recorded).
    int GetCrashesInRow();
    double GetCrashFreeShare(const std::string& version = std::string());
    //!@}
    /// How many crashes in a row make a crash loop; 3 unless set.
    void SetCrashLoopThreshold(int crashes);
    /// Whether the last runs crashed in a row at least as often as the threshold.
    bool IsInCrashLoop();
    /// Before Start: this run uses the default theme and language, shows no
    /// start-up pages and takes no test options.
    void StartInSafeMode();
    /// Whether StartInSafeMode was called.
    bool IsSafeMode() const;

    // Launch history, computed once per process and kept in the stores.

    /// Decides what this launch is to `settings` from the version and the
    /// installer time it recorded, and records the new ones; the product store
    /// also keeps the product's answer. Called once per store; a product may
    /// override it.
    virtual LaunchType CheckFirstLaunch(const std::shared_ptr<ISettingsManager>& settings);
    /// This launch to the product store, computed once per process.
    LaunchType GetProductLaunchType();
    /// This launch to the main settings store, computed once per process (after the product's).
    LaunchType GetLaunchType();
    /// Whether GetProductLaunchType is FirstLaunch or FirstLaunchAfterUpdate.
    bool IsFirstProductLaunch() const;
    /// Whether GetLaunchType is FirstLaunch or FirstLaunchAfterUpdate (a reinstall is not).
    bool IsFirstLaunch() const;
    /// Whole days since the first start recorded in the product store; 0 when none is.
    int GetDaysPassed() const;
    /// True while the installer holds its mutex; waits up to half a second.
    static bool CheckRunnedInstaller();

    /// Runs OnStart once; later calls do nothing. A std::logic_error for a
    /// missing manager leaves the application not started, so Start may be
    /// called again once the manager is installed.
    virtual void Start();
    /// The start-up work: records the browser, architecture and path in the
    /// product store, handles the test options, shows the e-mail dialog and the
    /// landing page when due, arms the update-check request and emits
    /// ApplicationStarted. Needs the customization manager and a product (or
    /// main) store: std::logic_error otherwise.
    virtual void OnStart();
    /// Quits and starts this executable again with `arguments` as its command
    /// line; see RestartApplication.
    virtual void TryToRestart(Zentar::Enums::WorkingMode mode, QString arguments);

    // The virtual operations from CheckFirstLaunch to ShowEmailDialogIfNeeded
    // keep their declaration order, whatever their access: products are built
    // against the order of the table of virtual functions.
private:
    // What TryToQuit does; returns whether the application is quitting.
    virtual bool TryToQuitImpl();
    virtual QList<QCommandLineOption> GetAdditionalTestOptions() const;

public:
    /// The URL of `key` from the links service; empty when the product has
    /// none. Throws std::logic_error as GetLinksManager does.
    virtual QString GetUrl(const Zentar::URLKeys& key) const;

private:
    virtual bool NeedOpenUrlThankForInstall() const;

protected:
    /// Shows the e-mail dialog, or hands it to the gateway, on a first launch
    /// of a build that offers it when the user has not registered; emits
    /// BeforeShowEmailDialog and AfterShowEmailDialog around it.
    virtual void ShowEmailDialogIfNeeded();

public:
    /// Adds a handler of native messages; they are called in registration
    /// order with what the gesture router does not take. Shared.
    void RegisterEventHandler(std::shared_ptr<EventHandler> handler);
    /// Removes a handler; an unknown one is no error.
    void UnregisterEventHandler(std::shared_ptr<EventHandler> handler);

    /// Asks the application to quit (a product may refuse in an override);
    /// returns whether it is quitting.
    bool TryToQuit();

    /// The product's temporary folder, `<temp>/<product id>/temp/`, created
    /// when missing; needs the customization manager (std::logic_error
    /// otherwise).
    QString GetApplicationTemporaryFilesDir();
    /// Removes what in the temporary folder was modified more than `days` days
    /// ago (everything for 0); what cannot be removed is logged and left.
    void ClearApplicationTemporaryFiles(int days) const;

    /// Web links: the product's links service, built on first use from the
    /// customization and look-and-feel managers and the mail and installer
    /// stores (std::logic_error while one of the first three is missing).
    std::shared_ptr<Zentar::Links::ILinksManager> GetLinksManager() const;
    /// The user agent of the preferred browser in the current interface language.
    QString GetPreferredBrowserUserAgent() const;
    /// The install landing page, now or through the external-stimulus gateway.
    void OpenThankForInstall() const;

Q_SIGNALS:
    /// Five seconds after OnStart, unless the product store's "autoUpdate" is false.
    void AutoUpdateCheckRequested();
    /// At the end of OnStart.
    void ApplicationStarted();
    /// Just before the e-mail dialog is made; always followed by AfterShowEmailDialog.
    void BeforeShowEmailDialog();
    /// After the e-mail dialog closed, or could not be made.
    void AfterShowEmailDialog();

protected Q_SLOTS:
    /// Closes this run's session in the crash-tracking file, so that the next
    /// run sees a clean exit; connected to aboutToQuit().
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
