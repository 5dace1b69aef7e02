#pragma once

#include <Zentar/App/ZentarAppExport.h>

#include <QByteArray>

namespace Zentar::App
{

/// A product's handler of native window messages, registered with
/// Application::RegisterEventHandler. Its result is not used.
class ZENTAR_APP_EXPORT EventHandler
{
public:
    virtual ~EventHandler();
    /// Sees a native message the gesture router did not take; called on the GUI thread.
    virtual bool HandleNativeEvent(const QByteArray& eventType, void* message, long* result) = 0;
};

} // namespace Zentar::App
