#pragma once

#include <Zentar/App/ZentarAppExport.h>

#include <QString>

namespace Zentar::App
{

class IIPCClient;

/// Sets up the two sides of a master-slave link over a pair of named pipes.
///
/// The master starts the slave executable with "/MasterPipeId=<n>" and
/// "/ProcessId=<master pid>" appended to its arguments; the slave finds them
/// on its own command line and opens the same pipes from the other end. Of
/// the pipes "ZentarIPCInput<n>" and "ZentarIPCOutput<n>", the slave reads the
/// first and writes the second.
///
/// `channelFlag` true lets a channel read wait as long as the other side
/// lives; false bounds each wait for a message (see CommunicationChannel).
/// All operations are static and belong to the GUI thread.
class ZENTAR_APP_EXPORT IPCManager
{
public:
    /// Master side. `slavePath` is taken relative to the application's
    /// directory, or as given when nothing exists there. Creates the pipes,
    /// hands the channel to `client` before the slave starts, then starts it
    /// in its own directory and hands its process handle to `client`. True
    /// when the slave was started.
    /// Throws nothing: a pipe that cannot be made gives false.
    static bool LaunchSlave(
        IIPCClient& client, const QString& slavePath, const QString& arguments, bool channelFlag);

    /// Slave side. True when this process was started as a slave and the
    /// link to its master is open; `client` then has the channel and a handle
    /// of the master process. Without both switches nothing happens.
    static bool SetUpSlaveClient(IIPCClient& client, bool channelFlag);

    /// The parameter text a slave gets: `arguments`, then the two switches,
    /// each after one space (so it begins with a space when `arguments` is empty).
    static QString SlaveParameters(const QString& arguments, int pipeNumber, quint32 masterProcessId);
    /// The name of the pipe the slave reads: "ZentarIPCInput" and `pipeId`.
    static QString InputPipeName(const QString& pipeId);
    /// The name of the pipe the slave writes: "ZentarIPCOutput" and `pipeId`.
    static QString OutputPipeName(const QString& pipeId);
};

} // namespace Zentar::App
