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

} // namespace Zentar::App::Detail
