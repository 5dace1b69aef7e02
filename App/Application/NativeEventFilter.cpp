#include "NativeEventFilter.h"

#include <Zentar/App/EventHandler.h>
#include <Zentar/App/Gesture/Router.h>

#include "../Platform/OsGesture.h"
#include "../Platform/OsQuit.h"

#include <algorithm>

namespace Zentar::App
{

EventHandler::~EventHandler() = default;

NativeEventFilter::NativeEventFilter(QObject* parent)
    : QObject(parent)
{
    // Where the system does not send gesture messages itself, touches are
    // turned into them from now on.
    Os::StartGestureSource();
}

NativeEventFilter::~NativeEventFilter()
{
    Os::StopGestureSource();
}

bool NativeEventFilter::nativeEventFilter(const QByteArray& eventType, void* message, long* result)
{
    Os::HandleSessionEndMessage(eventType.constData(), message, m_sessionEnd);
    std::call_once(m_routerOnce, [this] { m_router = new Gesture::Router(this); });
    if (m_router->nativeEvent(eventType, message, result))
        return true;

    // A copy, so that a handler may register or unregister handlers while
    // the message is being handed round.
    const auto handlers = m_handlers;
    for (const auto& handler : handlers)
        handler->HandleNativeEvent(eventType, message, result);
    return false;
}

void NativeEventFilter::RegisterEventHandler(std::shared_ptr<EventHandler> handler)
{
    m_handlers.push_back(std::move(handler));
}

void NativeEventFilter::UnregisterEventHandler(const std::shared_ptr<EventHandler>& handler)
{
    const auto it = std::find(m_handlers.begin(), m_handlers.end(), handler);
    if (it != m_handlers.end())
        m_handlers.erase(it);
}

void NativeEventFilter::SetSessionEndHandler(std::function<void()> handler)
{
    m_sessionEnd = std::move(handler);
}

} // namespace Zentar::App
