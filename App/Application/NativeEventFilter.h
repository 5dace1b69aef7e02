#pragma once

#include <Zentar/App/Gesture/Gesture.h>

#include <QAbstractNativeEventFilter>
#include <QObject>

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace Zentar::App
{

class EventHandler;

// Sees every native message of the process: the gesture router has it
// first; what the router does not consume goes to the product's event
// handlers, in registration order.
class NativeEventFilter : public QObject, public QAbstractNativeEventFilter
{
    Q_OBJECT

public:
    explicit NativeEventFilter(QObject* parent);
    ~NativeEventFilter() override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, long* result) override;

    void RegisterEventHandler(std::shared_ptr<EventHandler> handler);
    void UnregisterEventHandler(const std::shared_ptr<EventHandler>& handler);

    // Called when a native message says the desktop session is ending and
    // the process may be ended once the message is answered.
    void SetSessionEndHandler(std::function<void()> handler);

private:
    Gesture::Router* m_router = nullptr; // the process's one router, a child of this filter
    std::once_flag m_routerOnce;
    std::vector<std::shared_ptr<EventHandler>> m_handlers;
    std::function<void()> m_sessionEnd;
};

} // namespace Zentar::App
