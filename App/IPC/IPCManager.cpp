#include <Zentar/App/IFocusTransferer.h>
#include <Zentar/App/IIPCClient.h>
#include <Zentar/App/IPCManager.h>

#include "../Platform/OsProcess.h"
#include "SlaveSwitches.h"

#include <Zentar/IO/CommunicationChannel.h>
#include <Zentar/IO/DataInputPipe.h>
#include <Zentar/IO/DataOutputPipe.h>
#include <Zentar/IO/IOException.h>
#include <Zentar/IO/NamedPipe.h>
#include <Zentar/QtUtil/Utf8.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <glog/logging.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <memory>

namespace Zentar::App
{

IIPCClient::~IIPCClient() = default;
IFocusTransferer::~IFocusTransferer() = default;

namespace
{

const QString kInputPipeTemplate = QStringLiteral("\\\\.\\pipe\\ZentarIPCInput%1");
const QString kOutputPipeTemplate = QStringLiteral("\\\\.\\pipe\\ZentarIPCOutput%1");
const QString kPipeIdSwitch = QStringLiteral("/MasterPipeId=");
const QString kProcessIdSwitch = QStringLiteral("/ProcessId=");

constexpr int kShowNormal = 1;
// Two thousand busy names in a row mean something else is wrong.
constexpr int kMaxPipeNumberDraws = 2000;
// The master makes both pipes before it starts the slave, so they are
// there when the slave looks; the wait only covers a slow file system.
constexpr int kSlaveOpenTimeoutMs = 2000;

// Everything before the last separator, as a path's parent; empty for a bare name.
QString ParentOf(const QString& path)
{
    const int slash = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    if (slash < 0)
        return QString();
    return slash == 0 ? path.left(1) : path.left(slash);
}

QString ResolveExecutable(const QString& slavePath)
{
    const QString besideUs = QDir(QCoreApplication::applicationDirPath()).filePath(slavePath);
    if (QFileInfo::exists(besideUs))
        return QDir::toNativeSeparators(besideUs);
    // Relative to the current directory; a bare name that exists nowhere is
    // left for the system to look up.
    const QFileInfo asGiven(slavePath);
    return QDir::toNativeSeparators(asGiven.exists() ? asGiven.absoluteFilePath() : slavePath);
}

bool HasEnded(Os::ProcessHandle process)
{
    return !process || Os::WaitForProcessOrEvent(process, 0, 0) == Os::WaitResult::ProcessEnded;
}

int g_slaveConnectBoundMs = -1;

// Whether the slave that LaunchSlave starts still lives, for the master's
// pipe ends: while it does, a slave that has not connected yet is simply
// late (its first call that connects may come at any time).
class SlaveWatch
{
public:
    ~SlaveWatch() { Os::CloseProcessHandle(m_process.load()); }

    void Started(Os::ProcessHandle slave)
    {
        m_process = slave ? Os::DuplicateProcessHandle(slave) : 0;
        m_failed = m_process.load() == 0;
    }
    bool Alive() const
    {
        if (m_failed)
            return false;
        // Not started yet: the pipes are made before the slave.
        const Os::ProcessHandle process = m_process.load();
        return !process || Os::WaitForProcessOrEvent(process, 0, 0) != Os::WaitResult::ProcessEnded;
    }

private:
    std::atomic<Os::ProcessHandle> m_process { 0 };
    std::atomic<bool> m_failed { false };
};

} // namespace

QString IPCManager::InputPipeName(const QString& pipeId)
{
    return kInputPipeTemplate.arg(pipeId);
}

QString IPCManager::OutputPipeName(const QString& pipeId)
{
    return kOutputPipeTemplate.arg(pipeId);
}

QString IPCManager::SlaveParameters(const QString& arguments, int pipeNumber, quint32 masterProcessId)
{
    return arguments + QLatin1Char(' ') + kPipeIdSwitch + QString::number(pipeNumber) + QLatin1Char(' ')
        + kProcessIdSwitch + QString::number(masterProcessId);
}

bool IPCManager::LaunchSlave(
    IIPCClient& client, const QString& slavePath, const QString& arguments, bool channelFlag)
{
    if (slavePath.isEmpty())
        return false;
    const QString executable = ResolveExecutable(slavePath);
    const QString workingDirectory = ParentOf(executable);
    const quint32 processId = Os::GetCurrentProcessId();
    std::srand(static_cast<unsigned>(std::time(nullptr)));

    int pipeNumber = -1;
    QString inputName;
    QString outputName;
    for (int draw = 0; draw < kMaxPipeNumberDraws && pipeNumber < 0; ++draw) {
        const int candidate = std::rand();
        outputName = OutputPipeName(QString::number(candidate));
        inputName = InputPipeName(QString::number(candidate));
        if (!Core::NamedPipeExists(Util::QStringToUtf8(outputName))
            && !Core::NamedPipeExists(Util::QStringToUtf8(inputName)))
            pipeNumber = candidate;
    }
    if (pipeNumber < 0) {
        VLOG(1) << "No free pipe name for a slave link after " << kMaxPipeNumberDraws << " tries";
        return false;
    }

    const auto watch = std::make_shared<SlaveWatch>();
    const std::function<bool()> slaveAlive = [watch] { return watch->Alive(); };
    try {
        // Input and Output are named from the slave's side.
        auto input = Core::DataInputPipe::Create(
            Util::QStringToUtf8(outputName), true, g_slaveConnectBoundMs, slaveAlive);
        auto output = Core::DataOutputPipe::Create(
            Util::QStringToUtf8(inputName), true, g_slaveConnectBoundMs, slaveAlive);
        client.SetCommunicationChannel(Core::CommunicationChannel::Create(input, output, channelFlag));
    } catch (const Core::IOException& e) {
        VLOG(1) << "Cannot set up the link to the slave " << Util::QStringToUtf8(executable) << ": "
                << e.what();
        return false;
    }

    const QString parameters = SlaveParameters(arguments, pipeNumber, processId);
    const Os::ProcessHandle slave = Os::StartWithShell(
        executable.toStdWString(), parameters.toStdWString(), workingDirectory.toStdWString(), kShowNormal);
    watch->Started(slave);
    if (!slave) {
        VLOG(1) << "Cannot start the slave " << Util::QStringToUtf8(executable);
        return false;
    }
    client.SetAppHandler(static_cast<long long>(slave));
    return true;
}

void Detail::SetSlaveConnectBoundMs(int timeoutMs)
{
    g_slaveConnectBoundMs = timeoutMs;
}

bool Detail::ParseSlaveSwitches(const QStringList& arguments, QString& pipeId, quint32& processId)
{
    pipeId.clear();
    processId = 0;
    for (const QString& argument : arguments) {
        if (argument.contains(kPipeIdSwitch))
            pipeId = QString(argument).remove(kPipeIdSwitch);
        if (argument.contains(kProcessIdSwitch)) {
            bool ok = false;
            const qulonglong value = QString(argument).remove(kProcessIdSwitch).toULongLong(&ok, 10);
            processId = ok && value <= 0xFFFFFFFFu ? static_cast<quint32>(value) : 0;
        }
    }
    if (!pipeId.isEmpty() && processId != 0)
        return true;
    pipeId.clear();
    processId = 0;
    return false;
}

bool IPCManager::SetUpSlaveClient(IIPCClient& client, bool channelFlag)
{
    if (!QCoreApplication::instance())
        return false;
    QString pipeId;
    quint32 processId = 0;
    if (!Detail::ParseSlaveSwitches(QCoreApplication::arguments(), pipeId, processId))
        return false;

    const std::string inputName = Util::QStringToUtf8(InputPipeName(pipeId));
    const std::string outputName = Util::QStringToUtf8(OutputPipeName(pipeId));
    const Os::ProcessHandle master = Os::OpenProcess(processId);
    // A master that is gone never answers: nothing to wait for.
    if (HasEnded(master)) {
        VLOG(1) << "Started as a slave of process " << processId << ", which has ended";
        Os::CloseProcessHandle(master);
        // It died before we connected, so it could not remove its pipes.
        Core::RemoveNamedPipe(inputName);
        Core::RemoveNamedPipe(outputName);
        return false;
    }
    try {
        auto input = Core::DataInputPipe::Create(inputName, false, kSlaveOpenTimeoutMs);
        auto output = Core::DataOutputPipe::Create(outputName, false, kSlaveOpenTimeoutMs);
        client.SetCommunicationChannel(Core::CommunicationChannel::Create(input, output, channelFlag));
        client.SetAppHandler(static_cast<long long>(master));
        return true;
    } catch (const Core::IOException& e) {
        VLOG(1) << "Started as a slave of process " << processId
                << ", but cannot open the link to it: " << e.what();
        if (HasEnded(master)) {
            Core::RemoveNamedPipe(inputName);
            Core::RemoveNamedPipe(outputName);
        }
        Os::CloseProcessHandle(master);
        return false;
    }
}

} // namespace Zentar::App
