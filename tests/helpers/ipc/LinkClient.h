#pragma once

// The client side of a link, for both ends: keeps the channel and the
// handle of the process at the other end.
#include <Zentar/App/IIPCClient.h>
#include <Zentar/IO/IDataChannel.h>

#include <unistd.h>

class LinkClient : public Zentar::App::IIPCClient
{
public:
    ~LinkClient() override
    {
        if (other > 0)
            ::close(int(other));
    }
    void SetCommunicationChannel(boost::intrusive_ptr<Zentar::Core::IDataChannel> c) override { channel = c; }
    void SetAppHandler(long long handle) override { other = handle; }
    void ChannelClosed() override { channel.reset(); }

    boost::intrusive_ptr<Zentar::Core::IDataChannel> channel;
    long long other = 0;
};
