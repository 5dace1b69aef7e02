#include "FuzzSupport.h"

#include "IPC/SlaveSwitches.h"

#include <Zentar/App/IPCManager.h>
#include <Zentar/IO/NamedPipe.h>

#include <QRegularExpression>

using Zentar::App::IPCManager;

namespace
{

std::string g_pipeDirectory;

void CheckPipePath(const QString& name)
{
    const std::string path = Zentar::Core::NamedPipePath(name.toStdString());
    if (path.empty())
        return;
    const std::string leaf = path.substr(g_pipeDirectory.size());
    if (path.compare(0, g_pipeDirectory.size(), g_pipeDirectory) != 0 || leaf.empty()
        || leaf.find('/') != std::string::npos || leaf == "." || leaf == "..")
        Fuzz::Fail("pipe " + name.toStdString() + " maps outside the pipe folder: " + path);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    Fuzz::StartQApplication();
    const std::string probe = Zentar::Core::NamedPipePath("probe");
    g_pipeDirectory = probe.substr(0, probe.size() - 5);
    return 0;
}

// Input: a slave's arguments, one a line. The first line also serves as
// the product arguments a master starts a slave with.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QStringList lines = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<int>(size))
                                  .split(QLatin1Char('\n'));
    QString pipeId;
    quint32 processId = 1;
    if (Zentar::App::Detail::ParseSlaveSwitches(lines, pipeId, processId)) {
        if (pipeId.isEmpty() || processId == 0)
            Fuzz::Fail("accepted switches without a pipe id or process id");
        CheckPipePath(IPCManager::InputPipeName(pipeId));
        CheckPipePath(IPCManager::OutputPipeName(pipeId));
    } else if (!pipeId.isEmpty() || processId != 0) {
        Fuzz::Fail("rejected switches left values behind");
    }

    // What a master writes, its slave reads back, whatever the product's
    // own arguments (quotes aside, which group words on the way).
    const QString product = lines.constFirst();
    if (product.contains(QLatin1Char('"')))
        return 0;
    const int pipeNumber = static_cast<int>(qHash(product) & 0x7fffffff);
    const quint32 masterId = static_cast<quint32>(size) * 2654435761u | 1u;
    const QStringList slaveArguments
        = IPCManager::SlaveParameters(product, pipeNumber, masterId)
              .split(QRegularExpression(QStringLiteral("[ \t]+")), Qt::SkipEmptyParts);
    if (!Zentar::App::Detail::ParseSlaveSwitches(slaveArguments, pipeId, processId)
        || pipeId != QString::number(pipeNumber) || processId != masterId)
        Fuzz::Fail("slave read pipe id [" + pipeId.toStdString() + "] and process "
            + std::to_string(processId) + " from the switches for pipe " + std::to_string(pipeNumber)
            + " and process " + std::to_string(masterId));
    return 0;
}
