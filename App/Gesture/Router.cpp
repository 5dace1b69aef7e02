#include <Zentar/App/Gesture/Consumer.h>
#include <Zentar/App/Gesture/Router.h>

#include "../Platform/OsGesture.h"

#include <QApplication>
#include <QWidget>

#include <cstring>

namespace Zentar::App
{

Gesture::Router::Router(QObject* parent)
    : QObject(parent)
{
}

Gesture::Router::~Router() = default;

bool Gesture::Router::nativeEvent(const QByteArray& eventType, void* message, long* result)
{
    if (!message || !Os::IsNativeMessageEventType(eventType.constData()))
        return false;
    Os::NativeMessage msg;
    std::memcpy(&msg, message, sizeof(msg));
    void* wParam = reinterpret_cast<void*>(msg.wParam);
    void* lParam = reinterpret_cast<void*>(msg.lParam);

    switch (msg.message) {
    case Os::MessageGesture:
        // Only top-level windows make records; the default procedure passes
        // a child window's gesture on to its parent.
        if (Os::GetParent(msg.window)) {
            const intptr_t answer = Os::DefaultWindowProc(msg.window, msg.message, msg.wParam, msg.lParam);
            if (result)
                *result = static_cast<long>(answer);
            return true;
        }
        if (OnGesture(msg.window, wParam, lParam)) {
            if (result)
                *result = 0;
            return true;
        }
        return false;
    case Os::MessageGestureNotify:
        if (OnGestureNotify(msg.window, wParam, lParam)) {
            if (result)
                *result = 0;
            return true;
        }
        return false;
    default:
        return false;
    }
}

Gesture::Consumer* Gesture::Router::Route(const Gesture& where)
{
    for (QWidget* widget = QApplication::widgetAt(where.screenPosition); widget;
         widget = widget->parentWidget()) {
        for (QObject* child : widget->children()) {
            if (auto* consumer = dynamic_cast<Consumer*>(child))
                return consumer;
        }
    }
    return nullptr;
}

} // namespace Zentar::App
