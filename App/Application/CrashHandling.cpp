// What the application does about crashes beyond tracking sessions: reports
// of why a run crashed, quitting in order on the signals of a logout or a
// shutdown, and counting crashes in a row so that a product can start safe.
#include "Application_p.h"

#include <Zentar/Settings/ISettingsManager.h>

#include "../Platform/OsCrash.h"
#include "../Platform/OsQuit.h"

#include <QFile>

#include <glog/logging.h>

#include <algorithm>

namespace Zentar::App
{

const char* const kCrashesInRowKey = "crashTracking/crashesInRow";
const char* const kSessionHistoryGroup = "crashTracking/sessions";

namespace
{

std::string CurrentVersion()
{
    const QString version = QCoreApplication::applicationVersion();
    return version.isEmpty() ? std::string("unknown") : version.toStdString();
}

std::string HistoryKey(const std::string& version)
{
    return std::string(kSessionHistoryGroup) + "/" + version;
}

// One character per ended session, oldest first: '1' clean, '0' crashed.
void AppendOutcome(ISettingsManager& store, const std::string& version, bool clean)
{
    std::string history = store.GetString(HistoryKey(version), std::string()) + (clean ? '1' : '0');
    if (history.size() > size_t(kSessionHistoryLength))
        history.erase(0, history.size() - size_t(kSessionHistoryLength));
    store.SetString(HistoryKey(version), history);
}

Os::QuitSignal ToOs(Application::QuitSignal signal)
{
    switch (signal) {
    case Application::QuitSignal::Interrupt:
        return Os::QuitSignal::Interrupt;
    case Application::QuitSignal::Hangup:
        return Os::QuitSignal::Hangup;
    case Application::QuitSignal::Terminate:
        break;
    }
    return Os::QuitSignal::Terminate;
}

std::string ReportHeader(const std::string& sessionId)
{
    return "session " + sessionId + "\nversion " + CurrentVersion() + "\n";
}

} // namespace

void Application::Private::InstallCrashHandlers()
{
    const std::string session = crashTracker.SessionId();
    const QString path = crashTracker.CrashReportPath(session);
    crashReports = Os::InstallCrashHandlers(QFile::encodeName(path).toStdString(), ReportHeader(session));
}

bool Application::Private::CountCrashes(Application& app)
{
    if (crashesCounted)
        return true;
    const auto store = app.GetProductSettingsManager();
    if (!store)
        return false;
    crashesCounted = true;
    const auto crashed = crashTracker.BadSessionsList();
    if (crashed.empty())
        return true;
    store->SetInt(kCrashesInRowKey, store->GetInt(kCrashesInRowKey, 0) + int(crashed.size()));
    for (const std::string& session : crashed) {
        // A run killed outright left no report: it counts for this version.
        const std::string version = app.GetCrashReport(session).version;
        AppendOutcome(*store, version.empty() ? CurrentVersion() : version, false);
    }
    return true;
}

void Application::Private::CloseSessionCleanly(Application& app)
{
    if (!cleanEndRecorded && CountCrashes(app)) {
        cleanEndRecorded = true;
        const auto store = app.GetProductSettingsManager();
        store->SetInt(kCrashesInRowKey, 0);
        AppendOutcome(*store, CurrentVersion(), true);
    }
    crashTracker.StopSession();
}

void Application::Private::OnQuitSignal(Application& app)
{
    if (Os::TakeQuitSignals() == 0)
        return;
    LOG(INFO) << "Asked to quit by a signal";
    if (app.TryToQuit()) {
        // Closed now: the quit may be cut short by a second signal.
        CloseSessionCleanly(app);
        Os::SetQuitUnderWay(true);
    } else {
        Os::SetQuitUnderWay(false);
    }
}

CrashReport Application::GetCrashReport(const std::string& sessionId)
{
    auto found = d->reports.find(sessionId);
    if (found == d->reports.end())
        found = d->reports.emplace(sessionId, d->crashTracker.GetCrashReport(sessionId)).first;
    return found->second;
}

void Application::SetCrashReportsEnabled(bool enabled)
{
    if (enabled && !d->crashReports)
        d->InstallCrashHandlers();
    else if (!enabled && d->crashReports)
        Os::UninstallCrashHandlers();
    d->crashReports = enabled && d->crashReports;
}

void Application::SetQuitOnSignal(QuitSignal signal, bool quit)
{
    Os::WatchQuitSignal(ToOs(signal), quit);
}

int Application::GetCrashesInRow()
{
    if (!d->CountCrashes(*this))
        ThrowMissingCollaborator("Application::GetCrashesInRow", kNeedsProductSettings);
    return std::max(0, GetProductSettingsManager()->GetInt(kCrashesInRowKey, 0));
}

double Application::GetCrashFreeShare(const std::string& version)
{
    if (!d->CountCrashes(*this))
        ThrowMissingCollaborator("Application::GetCrashFreeShare", kNeedsProductSettings);
    const std::string history = GetProductSettingsManager()->GetString(
        HistoryKey(version.empty() ? CurrentVersion() : version), std::string());
    if (history.empty())
        return 1.0;
    return double(std::count(history.begin(), history.end(), '1')) / double(history.size());
}

void Application::SetCrashLoopThreshold(int crashes)
{
    d->crashLoopThreshold = std::max(1, crashes);
}

bool Application::IsInCrashLoop()
{
    return GetCrashesInRow() >= d->crashLoopThreshold;
}

void Application::StartInSafeMode()
{
    if (d->started)
        LOG(WARNING) << "Safe mode asked for after the start; it applies to what is set up from now on";
    LOG(INFO) << "Starting in safe mode: default theme and language, no start-up pages, no test options";
    d->safeMode = true;
}

bool Application::IsSafeMode() const
{
    return d->safeMode;
}

} // namespace Zentar::App
