#include "GestureSource_unix.h"

#include <QCoreApplication>
#include <QMouseEvent>

namespace Zentar::App::Os::GestureSource
{

void Source::Take(Tracker& t)
{
    t.taken = true;
    t.held.clear();
}

void Source::Fallback(Tracker& t, bool sequenceOver)
{
    std::vector<RecordedTouch> held;
    held.swap(t.held);
    t.state = sequenceOver ? State::Idle : State::Replaying;
    for (const auto& touch : held)
        Deliver(t, touch);
}

void Source::Deliver(Tracker& t, const RecordedTouch& touch)
{
    if (!t.window)
        return;
    QTouchEvent event(touch.type, touch.device, touch.modifiers, touch.states, touch.points);
    event.setWindow(t.window);
    event.setTimestamp(touch.timestamp);
    ++m_delivering;
    QCoreApplication::sendEvent(t.window, &event);
    --m_delivering;
    if (event.isAccepted() || !t.window
        || !QCoreApplication::testAttribute(Qt::AA_SynthesizeMouseForUnhandledTouchEvents))
        return;

    // What Qt does with touches nobody accepts: the first finger becomes the mouse.
    const auto* point = FindPoint(touch.points, t.primaryId);
    if (!point)
        return;
    QEvent::Type type;
    Qt::MouseButton button = Qt::NoButton;
    Qt::MouseButtons buttons = Qt::LeftButton;
    switch (point->state()) {
    case Qt::TouchPointPressed:
        type = QEvent::MouseButtonPress;
        button = Qt::LeftButton;
        break;
    case Qt::TouchPointMoved:
        type = QEvent::MouseMove;
        break;
    case Qt::TouchPointReleased:
        type = QEvent::MouseButtonRelease;
        button = Qt::LeftButton;
        buttons = Qt::NoButton;
        break;
    default:
        return;
    }
    QMouseEvent mouse(type, point->pos(), point->pos(), point->screenPos(), button, buttons, touch.modifiers,
        Qt::MouseEventSynthesizedByQt);
    mouse.setTimestamp(touch.timestamp);
    ++m_delivering;
    QCoreApplication::sendEvent(t.window, &mouse);
    --m_delivering;
}

} // namespace Zentar::App::Os::GestureSource
