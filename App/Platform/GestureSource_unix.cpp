#include "GestureSource_unix.h"

#include "../Gesture/GestureArgument.h"

#include <QCoreApplication>

namespace Zentar::App::Os
{
namespace GestureSource
{

using GestureArgument::Clamp16;

bool Source::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
        break;
    default:
        return false;
    }
    if (m_delivering || !watched->isWindowType())
        return false;
    auto* window = static_cast<QWindow*>(watched);
    if (window->parent())
        return false;

    ++m_depth;
    const bool swallow = HandleTouch(TrackerFor(window), static_cast<QTouchEvent*>(event));
    --m_depth;
    if (swallow)
        event->accept();
    return swallow;
}

Tracker& Source::TrackerFor(QWindow* window)
{
    auto it = m_trackers.find(window);
    if (it != m_trackers.end() && it->second->window)
        return *it->second;
    if (m_depth == 1) {
        // Only outside nested deliveries: a tracker further up the stack may
        // belong to a window that just died.
        for (auto i = m_trackers.begin(); i != m_trackers.end();) {
            if (!i->second->window)
                i = m_trackers.erase(i);
            else
                ++i;
        }
    }
    auto tracker = std::make_unique<Tracker>(window);
    Tracker* raw = tracker.get();
    connect(&raw->timer, &QTimer::timeout, this, [this, raw] { InertiaStep(*raw); });
    m_trackers[window] = std::move(tracker);
    return *raw;
}

bool Source::HandleTouch(Tracker& t, QTouchEvent* event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::TouchBegin) {
        // A sequence whose end never came still ends its gesture first.
        if (t.state == State::Inertia)
            FinishInertia(t);
        else if (t.state == State::Pan)
            SendGesture(t, GestureIdPan, GestureFlagEnd, t.lastSent, 0, event->timestamp());
        else if (t.state == State::TwoFinger)
            EndTwoFinger(t, event->timestamp());
        return Begin(t, event);
    }
    const bool over = type == QEvent::TouchEnd || type == QEvent::TouchCancel;

    switch (t.state) {
    case State::Idle:
    case State::Inertia:
        return false; // a sequence whose begin this source did not see
    case State::Passthrough:
        if (over)
            t.state = State::Idle;
        return false;
    case State::Replaying:
        if (over)
            t.state = State::Idle;
        Deliver(t, Record(event));
        return true;
    case State::Finished:
        if (over)
            t.state = State::Idle;
        return true;
    case State::Undecided:
        return Undecided(t, event);
    case State::Pan:
        return PanEvent(t, event);
    case State::TwoFinger:
        if (!t.taken)
            t.held.push_back(Record(event));
        return TwoFingerEvent(t, event);
    }
    return false;
}

void Source::SendNotify(Tracker& t, QPointF screen, ulong time)
{
    QWindow* window = t.window;
    if (!window)
        return;
    GestureNotifyInfo notify { sizeof(GestureNotifyInfo), 0, window,
        { Clamp16(screen.x()), Clamp16(screen.y()) }, t.instanceId };
    const NativeMessage message { window, MessageGestureNotify, 0, reinterpret_cast<intptr_t>(&notify),
        static_cast<uint32_t>(time), notify.location.x, notify.location.y };
    SendNativeMessage(message, nullptr);
}

bool Source::SendGesture(
    Tracker& t, uint32_t id, uint32_t flags, QPointF screen, uint64_t arguments, ulong time)
{
    QWindow* window = t.window;
    if (!window)
        return false;
    GestureInfo info {};
    info.size = sizeof(info);
    info.flags = flags;
    info.id = id;
    info.target = window;
    info.location = { Clamp16(screen.x()), Clamp16(screen.y()) };
    info.instanceId = t.instanceId;
    info.sequenceId = ++m_sequence;
    info.arguments = arguments;
    GestureInfoHandle handle = OpenGestureInfoHandle(info);
    const NativeMessage message { window, MessageGesture, 0, reinterpret_cast<intptr_t>(handle),
        static_cast<uint32_t>(time), info.location.x, info.location.y };
    const bool taken = SendNativeMessage(message, nullptr);
    // A handle is only good while its message is handled.
    CloseGestureInfoHandle(handle);
    return taken;
}

namespace
{

int g_starts = 0;
Source* g_source = nullptr;

} // namespace

void Start()
{
    ++g_starts;
    if (!g_source && QCoreApplication::instance())
        g_source = new Source;
}

void Stop()
{
    if (g_starts == 0 || --g_starts > 0)
        return;
    delete g_source;
    g_source = nullptr;
}

bool Offer(QObject* receiver, QEvent* event)
{
    return g_source && g_source->eventFilter(receiver, event);
}

} // namespace GestureSource
} // namespace Zentar::App::Os
