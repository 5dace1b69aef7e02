#include <Zentar/App/IPCFocusTransfererSlave.h>
#include <Zentar/App/IPCManager.h>

#include "../Platform/OsProcess.h"
#include "../Platform/OsWindow.h"

#include <Zentar/IO/IOException.h>
#include <Zentar/QtUtil/Utf8.h>

#include <QCoreApplication>
#include <QFuture>
#include <QFutureWatcher>
#include <QList>
#include <QStringList>
#include <QtConcurrent>

#include <glog/logging.h>

#include <atomic>
#include <vector>

namespace Zentar::App
{

const QString IPCFocusTransfererSlave::APPLICATION_CLOSE_MESSAGE = QStringLiteral("applicationClosed");
const QString IPCFocusTransfererSlave::RETURN_YES = QStringLiteral("yes");
const QString IPCFocusTransfererSlave::RETURN_NO = QStringLiteral("no");

namespace
{

// The application object waits for the global thread pool when it is
// destroyed, right after its post routines: the watch task must end before
// that wait, or a slave that leaves without handing the focus back would
// wait for a master that may be waiting for it.
std::atomic<Os::EventHandle> g_stopBeforePoolWait { 0 };
std::atomic<bool> g_postRoutineAdded { false };

void StopWatchingBeforePoolWait()
{
    g_postRoutineAdded = false;
    Os::SetEvent(g_stopBeforePoolWait.load());
}

std::string Shortened(const QString& text)
{
    constexpr int kShown = 80;
    return Util::QStringToUtf8(text.size() > kShown ? text.left(kShown) + QStringLiteral("...") : text);
}

} // namespace

struct IPCFocusTransfererSlave::Private {
    // The instance holds one reference of its own until the process ends.
    mutable std::atomic<unsigned int> refCount { 1 };
    boost::intrusive_ptr<Core::IDataChannel> channel;
    long long masterProcess = 0;
    Os::EventHandle stopEvent = Os::CreateManualResetEvent();
    QFuture<bool> watcherFuture;
    QFutureWatcher<bool> watcher;
    bool masterAlive = false;
    bool linkEstablished = false;
    bool focusGiven = false;
    // A set-up was tried with an application object; a failed one is not
    // repeated, as its master can only have gone since.
    bool setUpTried = false;

    // Every watch task and master handle ever started or received, so that
    // destruction can wait for and close them all.
    QList<QFuture<bool>> tasks;
    std::vector<long long> masterHandles;
};

IPCFocusTransfererSlave::IPCFocusTransfererSlave()
    : d(std::make_unique<Private>())
{
    connect(&d->watcher, &QFutureWatcher<bool>::finished, this, &IPCFocusTransfererSlave::OnMasterDied);
}

IPCFocusTransfererSlave::~IPCFocusTransfererSlave()
{
    Os::SetEvent(d->stopEvent);
    for (QFuture<bool>& task : d->tasks) {
        if (task.isRunning())
            task.cancel();
        task.waitForFinished();
    }
    d->watcher.disconnect(this);
    if (g_stopBeforePoolWait.load() == d->stopEvent)
        g_stopBeforePoolWait = 0;
    for (long long handle : d->masterHandles)
        Os::CloseProcessHandle(static_cast<Os::ProcessHandle>(handle));
    Os::CloseEvent(d->stopEvent);
}

IPCFocusTransfererSlave& IPCFocusTransfererSlave::Instance()
{
    static IPCFocusTransfererSlave instance;
    if (!instance.d->linkEstablished && !instance.d->setUpTried && QCoreApplication::instance()) {
        instance.d->setUpTried = true;
        IPCManager::SetUpSlaveClient(instance, false);
    }
    return instance;
}

void IPCFocusTransfererSlave::SetCommunicationChannel(boost::intrusive_ptr<Core::IDataChannel> channel)
{
    d->channel = std::move(channel);
    d->masterAlive = true;
    d->linkEstablished = true;
}

void IPCFocusTransfererSlave::SetAppHandler(long long handle)
{
    d->masterProcess = handle;
    if (handle)
        d->masterHandles.push_back(handle);
    // The task gets its own copy of the handle: a later SetAppHandler
    // replaces the member while this task still runs.
    d->watcherFuture = QtConcurrent::run([this, handle] { return RunningProcessesWatcher(handle); });
    d->tasks.append(d->watcherFuture);
    if (d->watcher.future() != d->watcherFuture)
        d->watcher.setFuture(d->watcherFuture);
    // Without an application object, the pool is a static made after this
    // instance, so this instance's destructor stops the task before the
    // pool waits for it.
    g_stopBeforePoolWait = d->stopEvent;
    if (QCoreApplication::instance() && !g_postRoutineAdded.exchange(true))
        qAddPostRoutine(&StopWatchingBeforePoolWait);
}

void IPCFocusTransfererSlave::ChannelClosed()
{
    d->channel.reset();
}

bool IPCFocusTransfererSlave::RunningProcessesWatcher(long long masterProcess)
{
    if (masterProcess == 0)
        return false;
    Os::WaitForProcessOrEvent(static_cast<Os::ProcessHandle>(masterProcess), d->stopEvent);
    return false;
}

void IPCFocusTransfererSlave::GiveFocusToParent()
{
    if (d->focusGiven)
        return;
    d->focusGiven = true;
    if (!d->channel || !d->masterAlive)
        return;

    try {
        const QByteArray message = APPLICATION_CLOSE_MESSAGE.toLatin1();
        d->channel->Write(message.constData(), static_cast<size_t>(message.size()));
        const size_t length = d->channel->GetMessageLength();
        std::vector<char> buffer(length + 1, '\0');
        d->channel->Read(buffer.data(), length);
        const QString reply = QString::fromUtf8(buffer.data());

        const QStringList parts = reply.split(QLatin1Char('='));
        if (parts.size() >= 2 && parts.at(0) == RETURN_YES) {
            bool ok = false;
            const qlonglong window = parts.at(1).toLongLong(&ok, 10);
            if (!ok || window <= 0 || !Os::ActivateWindow(static_cast<Os::WindowId>(window)))
                VLOG(1) << "The master's window '" << Shortened(parts.at(1)) << "' cannot be activated";
        } else if (reply != RETURN_NO) {
            VLOG(1) << "Unexpected answer from the master to the hand-back: '" << Shortened(reply) << "'";
        }
    } catch (const Core::IOException& e) {
        VLOG(1) << "Cannot hand the focus back to the master: " << e.what();
    }
    Os::SetEvent(d->stopEvent);
}

void IPCFocusTransfererSlave::OnMasterDied()
{
    d->masterAlive = false;
}

unsigned int IPCFocusTransfererSlave::AddRef() const
{
    return d->refCount.fetch_add(1, std::memory_order_relaxed) + 1;
}

unsigned int IPCFocusTransfererSlave::Release() const
{
    // The count never reaches zero, so the static instance is never deleted:
    // a Release without its AddRef is refused.
    unsigned int count = d->refCount.load(std::memory_order_relaxed);
    do {
        if (count <= 1) {
            VLOG(1) << "IPCFocusTransfererSlave::Release without a matching AddRef ignored";
            return count;
        }
    } while (!d->refCount.compare_exchange_weak(count, count - 1, std::memory_order_acq_rel));
    return count - 1;
}

unsigned int IPCFocusTransfererSlave::GetRefCount() const
{
    return d->refCount.load(std::memory_order_relaxed);
}

bool IPCFocusTransfererSlave::IsLinkEstablished() const
{
    return d->linkEstablished;
}

bool IPCFocusTransfererSlave::IsMasterAlive() const
{
    return d->masterAlive;
}

} // namespace Zentar::App
