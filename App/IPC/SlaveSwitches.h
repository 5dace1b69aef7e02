#pragma once

#include <Zentar/App/ZentarAppExport.h>

#include <QString>
#include <QStringList>

namespace Zentar::App::Detail
{

// The pipe id and master process id a slave was started with. False, with
// both left empty, unless both are there and the id is a usable process id.
ZENTAR_APP_TEST_EXPORT bool ParseSlaveSwitches(
    const QStringList& arguments, QString& pipeId, quint32& processId);

// The connect bound LaunchSlave gives its pipe ends (negative: the pipes'
// default). The slave it starts may connect later for as long as it lives;
// tests shorten the bound to show that in seconds.
ZENTAR_APP_TEST_EXPORT void SetSlaveConnectBoundMs(int timeoutMs);

} // namespace Zentar::App::Detail
