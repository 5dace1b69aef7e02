#include "GestureSource_unix.h"

#include "../Gesture/GestureArgument.h"

#include <algorithm>
#include <cmath>

namespace Zentar::App::Os::GestureSource
{

bool Source::Begin(Tracker& t, QTouchEvent* event)
{
    const auto& points = event->touchPoints();
    if (points.isEmpty())
        return false;
    const auto& first = points.first();
    t.held.clear();
    t.taken = false;
    t.instanceId = ++m_instances;
    t.primaryId = first.id();
    t.secondId = -1;
    t.startScreen = first.screenPos();
    t.startTime = event->timestamp();

    SendNotify(t, t.startScreen, t.startTime);
    if (!t.window)
        return false;
    t.config = GestureConfigOf(t.window);
    if (!t.config.Any()) {
        t.state = State::Passthrough;
        return false;
    }
    t.state = State::Undecided;
    t.held.push_back(Record(event));
    if (points.size() >= 2)
        return StartTwoFinger(t, event, first, points.at(1));
    return true;
}

bool Source::Undecided(Tracker& t, QTouchEvent* event)
{
    t.held.push_back(Record(event));
    if (event->type() == QEvent::TouchCancel) {
        // Nothing reached the window yet, so there is nothing to cancel.
        t.held.clear();
        t.state = State::Idle;
        return true;
    }
    const auto& points = event->touchPoints();
    const auto* primary = FindPoint(points, t.primaryId);
    if (!primary) {
        Fallback(t, event->type() == QEvent::TouchEnd);
        return true;
    }
    for (const auto& point : points) {
        if (point.id() != t.primaryId)
            return StartTwoFinger(t, event, *primary, point);
    }
    if (primary->state() == Qt::TouchPointReleased) {
        Fallback(t, true);
        return true;
    }
    if ((primary->screenPos() - t.startScreen).manhattanLength() < Threshold())
        return true;
    return StartPan(t, event, *primary);
}

bool Source::StartPan(Tracker& t, const QTouchEvent* event, const QTouchEvent::TouchPoint& primary)
{
    const uint32_t pan = t.config.Of(GestureIdPan);
    const QPointF delta = primary.screenPos() - t.startScreen;
    const bool vertical = std::abs(delta.y()) >= std::abs(delta.x());
    const bool allowVertical = pan & ConfigPanSingleFingerVertically;
    const bool allowHorizontal = pan & ConfigPanSingleFingerHorizontally;
    if (!(pan & ConfigAll) || (vertical ? !allowVertical : !allowHorizontal)) {
        Fallback(t, false);
        return true;
    }
    t.lockX = allowVertical && !allowHorizontal;
    t.lockY = allowHorizontal && !allowVertical;
    // In the gutter the pan keeps to the axis it started along until the
    // finger strays far enough from it.
    t.gutterLocked = allowVertical && allowHorizontal && (pan & ConfigPanWithGutter);
    if (t.gutterLocked)
        (vertical ? t.lockX : t.lockY) = true;

    // The pan starts where the finger went down, so the content follows the
    // whole movement.
    if (!SendGesture(t, GestureIdPan, GestureFlagBegin, t.startScreen, 0, event->timestamp())) {
        Fallback(t, false);
        return true;
    }
    Take(t);
    t.state = State::Pan;
    t.lastSent = t.startScreen.toPoint();
    t.samples.clear();
    t.samples.emplace_back(t.startScreen, t.startTime);
    PanMove(t, primary.screenPos(), event->timestamp());
    return true;
}

void Source::PanMove(Tracker& t, QPointF screen, ulong time)
{
    if (t.gutterLocked) {
        const double stray
            = t.lockX ? std::abs(screen.x() - t.startScreen.x()) : std::abs(screen.y() - t.startScreen.y());
        if (stray > 3 * Threshold())
            t.gutterLocked = t.lockX = t.lockY = false;
    }
    if (t.lockX)
        screen.setX(t.startScreen.x());
    if (t.lockY)
        screen.setY(t.startScreen.y());

    t.samples.emplace_back(screen, time);
    while (t.samples.size() > 2 && t.samples.front().second + kVelocityWindow < time)
        t.samples.pop_front();

    const QPoint point = screen.toPoint();
    if (point != t.lastSent) {
        t.lastSent = point;
        SendGesture(t, GestureIdPan, 0, point, 0, time);
    }
}

bool Source::PanEvent(Tracker& t, QTouchEvent* event)
{
    const ulong time = event->timestamp();
    const bool last = event->type() == QEvent::TouchEnd;
    if (event->type() == QEvent::TouchCancel) {
        SendGesture(t, GestureIdPan, GestureFlagEnd, t.lastSent, 0, time);
        t.state = State::Idle;
        return true;
    }
    const auto& points = event->touchPoints();
    const bool anotherFinger = std::any_of(points.begin(), points.end(),
        [&](const auto& p) { return p.id() != t.primaryId && p.state() != Qt::TouchPointReleased; });
    if (anotherFinger) {
        // A one-finger pan ends when a second finger comes down.
        SendGesture(t, GestureIdPan, GestureFlagEnd, t.lastSent, 0, time);
        t.state = last ? State::Idle : State::Finished;
        return true;
    }
    const auto* primary = FindPoint(points, t.primaryId);
    if (!primary)
        return true;
    PanMove(t, primary->screenPos(), time);
    if (t.state == State::Pan && primary->state() == Qt::TouchPointReleased)
        ReleasePan(t, time, last);
    return true;
}

void Source::ReleasePan(Tracker& t, ulong time, bool last)
{
    const QPointF velocity = ReleaseVelocity(t);
    if ((t.config.Of(GestureIdPan) & ConfigPanWithInertia) && Length(velocity) >= kMinInertiaSpeed) {
        StartInertia(t, velocity, time);
        return;
    }
    SendGesture(t, GestureIdPan, GestureFlagEnd, t.lastSent, 0, time);
    t.state = last ? State::Idle : State::Finished;
}

bool Source::StartTwoFinger(Tracker& t, QTouchEvent* event, const QTouchEvent::TouchPoint& primary,
    const QTouchEvent::TouchPoint& second)
{
    const GestureSourceConfig& c = t.config;
    if (!c.Wants(GestureIdZoom) && !c.Wants(GestureIdRotate) && !c.Wants(GestureIdTwoFingerTap)
        && !c.Wants(GestureIdPressAndTap)) {
        Fallback(t, event->type() == QEvent::TouchEnd);
        return true;
    }
    t.state = State::TwoFinger;
    t.secondId = second.id();
    t.secondTime = event->timestamp();
    t.aStart = t.aLast = primary.screenPos();
    t.bStart = t.bLast = second.screenPos();
    const QPointF line = t.bStart - t.aStart;
    t.startDistance = t.sentDistance = Length(line);
    t.startAngle = t.lastRawAngle = std::atan2(line.y(), line.x());
    t.rotation = t.sentRotation = 0;
    t.moved = t.zoomActive = t.rotateActive = false;
    return TwoFingerEvent(t, event);
}

bool Source::TwoFingerEvent(Tracker& t, QTouchEvent* event)
{
    const ulong time = event->timestamp();
    const bool last = event->type() == QEvent::TouchEnd;
    if (event->type() == QEvent::TouchCancel) {
        EndTwoFinger(t, time);
        t.held.clear();
        t.state = State::Idle;
        return true;
    }
    const auto& points = event->touchPoints();
    const auto* a = FindPoint(points, t.primaryId);
    const auto* b = FindPoint(points, t.secondId);
    if (a)
        t.aLast = a->screenPos();
    if (b)
        t.bLast = b->screenPos();
    const double threshold = Threshold();
    if ((t.aLast - t.aStart).manhattanLength() > threshold
        || (t.bLast - t.bStart).manhattanLength() > threshold)
        t.moved = true;

    const QPointF center = (t.aLast + t.bLast) / 2.0;
    const QPointF line = t.bLast - t.aLast;
    const double distance = Length(line);
    const bool aUp = IsUp(a);
    const bool bUp = IsUp(b);

    if (!aUp && !bUp) {
        const double raw = std::atan2(line.y(), line.x());
        t.rotation += NormalizedAngle(raw - t.lastRawAngle);
        t.lastRawAngle = raw;

        if (t.config.Wants(GestureIdZoom)) {
            if (!t.zoomActive && std::abs(distance - t.startDistance) > threshold) {
                if (!SendGesture(t, GestureIdZoom, GestureFlagBegin, center,
                        GestureArgument::EncodeDistance(t.startDistance), time)) {
                    Fallback(t, false);
                    return true;
                }
                Take(t);
                t.zoomActive = true;
            }
            if (t.zoomActive && std::llround(distance) != std::llround(t.sentDistance)) {
                t.sentDistance = distance;
                SendGesture(t, GestureIdZoom, 0, center, GestureArgument::EncodeDistance(distance), time);
            }
        }
        if (t.config.Wants(GestureIdRotate)) {
            if (!t.rotateActive && std::abs(t.rotation) > kRotateThreshold) {
                if (!SendGesture(t, GestureIdRotate, GestureFlagBegin, center,
                        GestureArgument::EncodeAngle(NormalizedAngle(t.startAngle)), time)) {
                    Fallback(t, false);
                    return true;
                }
                Take(t);
                t.rotateActive = true;
            }
            if (t.rotateActive
                && GestureArgument::EncodeAngle(t.rotation) != GestureArgument::EncodeAngle(t.sentRotation)) {
                t.sentRotation = t.rotation;
                SendGesture(t, GestureIdRotate, 0, center, GestureArgument::EncodeAngle(t.rotation), time);
            }
        }
        return true;
    }

    // A finger lifted.
    if (t.zoomActive || t.rotateActive) {
        EndTwoFinger(t, time);
        t.state = last ? State::Idle : State::Finished;
        return true;
    }
    if (bUp && !aUp) {
        const bool pressed = t.secondTime >= t.startTime + kPressBeforeTap;
        if (!t.moved && pressed && t.config.Wants(GestureIdPressAndTap)) {
            const QPointF offset = t.bLast - t.aLast;
            if (SendGesture(t, GestureIdPressAndTap, GestureFlagBegin | GestureFlagEnd, t.aLast,
                    GestureArgument::EncodeTapOffset(offset), time)) {
                Take(t);
                t.state = State::Finished;
            } else {
                Fallback(t, false);
            }
            return true;
        }
        // A two-finger tap may still come when the first finger lifts too.
        if (!t.moved && t.config.Wants(GestureIdTwoFingerTap))
            return true;
        Fallback(t, false);
        return true;
    }
    if (!t.moved && t.config.Wants(GestureIdTwoFingerTap)) {
        if (SendGesture(t, GestureIdTwoFingerTap, GestureFlagBegin | GestureFlagEnd, center,
                GestureArgument::EncodeDistance(distance), time)) {
            Take(t);
            t.state = last ? State::Idle : State::Finished;
        } else {
            Fallback(t, last);
        }
        return true;
    }
    Fallback(t, last);
    return true;
}

void Source::EndTwoFinger(Tracker& t, ulong time)
{
    const QPointF center = (t.aLast + t.bLast) / 2.0;
    if (t.zoomActive)
        SendGesture(
            t, GestureIdZoom, GestureFlagEnd, center, GestureArgument::EncodeDistance(t.sentDistance), time);
    if (t.rotateActive)
        SendGesture(
            t, GestureIdRotate, GestureFlagEnd, center, GestureArgument::EncodeAngle(t.sentRotation), time);
    t.zoomActive = t.rotateActive = false;
}

} // namespace Zentar::App::Os::GestureSource
