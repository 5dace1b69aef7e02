#pragma once

#include <Zentar/App/IFocusTransferer.h>
#include <Zentar/App/IIPCClient.h>
#include <Zentar/App/ZentarAppExport.h>
#include <Zentar/Core/RefCountable.h>

#include <QObject>
#include <QString>

#include <memory>

Q_DECLARE_INTERFACE(Zentar::IRefCountable, "IRefCountable")

namespace Zentar::App
{

/// The slave side of the focus hand-back: when a slave application closes,
/// the window of its master comes to the front again.
///
/// The process-wide instance links itself to the master when this process
/// was started as a slave (see IPCManager), and watches the master process
/// on a thread of the global thread pool. GiveFocusToParent tells the master
/// APPLICATION_CLOSE_MESSAGE; the master answers RETURN_YES + "=" + the
/// decimal id of the window to activate, or RETURN_NO. The hand-back happens
/// at most once, and not at all once the master has ended.
class ZENTAR_APP_EXPORT IPCFocusTransfererSlave : public QObject,
                                                  public IIPCClient,
                                                  public IFocusTransferer,
                                                  public Zentar::IRefCountable
{
    Q_OBJECT
    Q_INTERFACES(Zentar::App::IIPCClient Zentar::App::IFocusTransferer Zentar::IRefCountable)

public:
    /// What the slave sends the master as it closes.
    static const QString APPLICATION_CLOSE_MESSAGE;
    /// The master's answer when it has a window to activate, followed by "=" and its id.
    static const QString RETURN_YES;
    /// The master's answer when it has none.
    static const QString RETURN_NO;

    /// Connects the link on first use in a slave; later calls retry only
    /// while no link has been established.
    static IPCFocusTransfererSlave& Instance();

    ~IPCFocusTransfererSlave() override;

    /// Takes the channel to the master; the link counts as established and the master as alive.
    void SetCommunicationChannel(boost::intrusive_ptr<Zentar::Core::IDataChannel> channel) override;
    /// Takes the master's process handle and starts watching the master on the thread pool.
    void SetAppHandler(long long handle) override;
    /// Drops the channel, so that a later GiveFocusToParent sends nothing.
    void ChannelClosed() override;

    /// Blocks until the master has answered, the link has broken, or the
    /// channel's receive time-out has passed.
    void GiveFocusToParent() override;

    //!@{
    /// The instance lives as long as the process and holds one reference of
    /// its own: the count starts at 1 and never drops below it.
    unsigned int AddRef() const override;
    unsigned int GetRefCount() const override;
    unsigned int Release() const override;
    //!@}

    /// Whether a channel to the master was ever set.
    bool IsLinkEstablished() const;
    /// True from the link's set-up until the master is seen to end or the
    /// focus has been handed back.
    bool IsMasterAlive() const;

protected:
    /// Reached through Instance().
    IPCFocusTransfererSlave();

protected Q_SLOTS:
    /// The watch of the master ended: the master counts as gone. Runs on the GUI thread.
    void OnMasterDied();

private:
    bool RunningProcessesWatcher(long long masterProcess);

    struct Private;
    std::unique_ptr<Private> const d;
};

} // namespace Zentar::App
