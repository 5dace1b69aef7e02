#include "ChannelPipes.h"

#include <Zentar/App/IPCFocusTransfererSlave.h>

namespace
{

Fuzz::ChannelPipes* g_pipes = nullptr;

class Slave : public Zentar::App::IPCFocusTransfererSlave
{
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    Fuzz::StartQApplication();
    g_pipes = new Fuzz::ChannelPipes("fuzz-reply");
    return 0;
}

// Input: the master's answer to the slave's hand-back, as one message.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string reply = Fuzz::FrameHeader(size) + Fuzz::Text(data, size);
    g_pipes->feeder->Write(reply.data(), reply.size());
    {
        Slave slave;
        slave.SetCommunicationChannel(g_pipes->NewChannel());
        slave.GiveFocusToParent();
    }
    const std::string closed = Zentar::App::IPCFocusTransfererSlave::APPLICATION_CLOSE_MESSAGE.toStdString();
    if (g_pipes->Drain() != Fuzz::FrameHeader(closed.size()) + closed)
        Fuzz::Fail("the slave did not send exactly one hand-back message");
    if (g_pipes->channelInput->WaitForData(0))
        Fuzz::Fail("the slave left part of the reply unread");
    return 0;
}
