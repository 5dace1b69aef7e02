#pragma once

#include <Zentar/App/ZentarAppExport.h>
#include <Zentar/IO/IDataChannel.h>

#include <QObject>

#include <boost/intrusive_ptr.hpp>

namespace Zentar::App
{

/// One side of a master-slave link, as IPCManager sets it up: it receives the
/// message channel to the other process and a handle of that process.
class ZENTAR_APP_EXPORT IIPCClient
{
public:
    IIPCClient() = default;
    /// Copied only as part of a derived class.
    IIPCClient(const IIPCClient&) = default;
    virtual ~IIPCClient();

    /// The channel to the other process; the client holds a reference.
    virtual void SetCommunicationChannel(boost::intrusive_ptr<Zentar::Core::IDataChannel> channel) = 0;
    /// The other process as a process handle (0 when it could not be opened);
    /// the client owns it from now on.
    virtual void SetAppHandler(long long handle) = 0;
    /// The channel is gone; the client drops it.
    virtual void ChannelClosed() = 0;
};

} // namespace Zentar::App

Q_DECLARE_INTERFACE(Zentar::App::IIPCClient, "IIPCClient")
