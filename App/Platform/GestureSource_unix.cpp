#include "GestureSource.h"

#include "../Gesture/GestureArgument.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QStyleHints>
#include <QTimer>
#include <QTouchEvent>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <deque>
#include <memory>
#include <unordered_map>
#include <vector>

// Linux has no gesture messages, so this source makes them from the Qt touch
// events of top-level windows, the way the system does it on Windows: a
// notification with the first touch point lets the receiver configure the
// window; then the wanted gesture arrives as a begin message, updates and an
// end message. Touches are held back until it is clear whether they make a
// gesture; when they don't, or nobody takes the gesture, they are handed to
// the window as Qt would have handed them (mouse events included).
namespace Zentar::App::Os
{

namespace
{

constexpr double kPi = 3.14159265358979323846;
constexpr double kRotateThreshold = 0.1; // radians the fingers turn before it is a rotation
constexpr double kMinInertiaSpeed = 0.3; // pixels per ms at the release that start inertia
constexpr double kMaxInertiaSpeed = 4.0;
constexpr double kDeceleration = 0.006; // pixels per ms²
constexpr ulong kVelocityWindow = 100; // ms of movement that give the release speed
constexpr ulong kRestTime = 80; // ms without movement after which a release is still
constexpr int kInertiaInterval = 16; // ms between inertia messages

using GestureArgument::Clamp16;

double NormalizedAngle(double angle)
{
    while (angle > kPi)
        angle -= 2.0 * kPi;
    while (angle <= -kPi)
        angle += 2.0 * kPi;
    return angle;
}

double Length(const QPointF& p)
{
    return std::hypot(p.x(), p.y());
}

struct RecordedTouch {
    QEvent::Type type;
    QTouchDevice* device;
    Qt::KeyboardModifiers modifiers;
    Qt::TouchPointStates states;
    QList<QTouchEvent::TouchPoint> points;
    ulong timestamp;
};

RecordedTouch Record(const QTouchEvent* event)
{
    return { event->type(), event->device(), event->modifiers(), event->touchPointStates(),
        event->touchPoints(), event->timestamp() };
}

const QTouchEvent::TouchPoint* FindPoint(const QList<QTouchEvent::TouchPoint>& points, int id)
{
    for (const auto& point : points)
        if (point.id() == id)
            return &point;
    return nullptr;
}

bool IsUp(const QTouchEvent::TouchPoint* point)
{
    return !point || point->state() == Qt::TouchPointReleased;
}

// One top-level window's touch sequence.
struct Tracker {
    enum class State {
        Idle,
        Undecided, // touches held back until they make a gesture or not
        Passthrough, // the window wants no gesture: Qt has the touches
        Replaying, // no gesture: the held touches went to Qt, the rest follow
        Pan,
        TwoFinger,
        Inertia, // fingers up, the pan glides on
        Finished, // the gesture is over; the remaining touches are dropped
    };

    explicit Tracker(QWindow* w)
        : window(w)
    {
    }

    QPointer<QWindow> window;
    State state = State::Idle;
    GestureSourceConfig config;
    std::vector<RecordedTouch> held;
    bool taken = false;
    uint32_t instanceId = 0;

    int primaryId = -1;
    int secondId = -1;
    QPointF startScreen;
    ulong startTime = 0;

    // Pan
    bool lockX = false;
    bool lockY = false;
    bool gutterLocked = false;
    QPoint lastSent;
    std::deque<std::pair<QPointF, ulong>> samples;

    // Two fingers
    QPointF aStart, bStart, aLast, bLast;
    double startDistance = 0;
    double startAngle = 0;
    double lastRawAngle = 0;
    double rotation = 0;
    double sentDistance = 0;
    double sentRotation = 0;
    bool moved = false;
    bool zoomActive = false;
    bool rotateActive = false;

    // Inertia
    QTimer timer;
    QElapsedTimer clock;
    QPointF gliding;
    QPointF velocity;
};

class Source : public QObject
{
public:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using State = Tracker::State;

    Tracker& TrackerFor(QWindow* window);
    bool HandleTouch(Tracker& t, QTouchEvent* event);
    bool Begin(Tracker& t, QTouchEvent* event);
    bool Undecided(Tracker& t, QTouchEvent* event);
    bool StartPan(Tracker& t, const QTouchEvent* event, const QTouchEvent::TouchPoint& primary);
    void PanMove(Tracker& t, QPointF screen, ulong time);
    bool PanEvent(Tracker& t, QTouchEvent* event);
    void ReleasePan(Tracker& t, ulong time, bool last);
    QPointF ReleaseVelocity(const Tracker& t) const;
    void StartInertia(Tracker& t, QPointF velocity, ulong time);
    void InertiaStep(Tracker& t);
    void FinishInertia(Tracker& t);
    bool StartTwoFinger(Tracker& t, QTouchEvent* event, const QTouchEvent::TouchPoint& primary,
        const QTouchEvent::TouchPoint& second);
    bool TwoFingerEvent(Tracker& t, QTouchEvent* event);
    void EndTwoFinger(Tracker& t, ulong time);
    void Fallback(Tracker& t, bool sequenceOver);
    void Deliver(Tracker& t, const RecordedTouch& touch);
    void Take(Tracker& t);

    void SendNotify(Tracker& t, QPointF screen, ulong time);
    bool SendGesture(Tracker& t, uint32_t id, uint32_t flags, QPointF screen, uint64_t arguments, ulong time);

    static double Threshold() { return QGuiApplication::styleHints()->startDragDistance(); }

    std::unordered_map<QWindow*, std::unique_ptr<Tracker>> m_trackers;
    int m_delivering = 0;
    int m_depth = 0;
    uint32_t m_instances = 0;
    uint32_t m_sequence = 0;
};

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

QPointF Source::ReleaseVelocity(const Tracker& t) const
{
    if (t.samples.size() < 2)
        return {};
    const auto& release = t.samples.back();
    const auto& before = t.samples[t.samples.size() - 2];
    if (release.second > before.second + kRestTime)
        return {};
    const auto& oldest = t.samples.front();
    // Touch timestamps have millisecond steps; quick moves share one.
    const double elapsed = std::max<double>(1.0, double(release.second) - double(oldest.second));
    QPointF velocity = (release.first - oldest.first) / elapsed;
    if (t.lockX)
        velocity.setX(0);
    if (t.lockY)
        velocity.setY(0);
    const double speed = Length(velocity);
    if (speed > kMaxInertiaSpeed)
        velocity *= kMaxInertiaSpeed / speed;
    return velocity;
}

void Source::StartInertia(Tracker& t, QPointF velocity, ulong time)
{
    // The vector is the way the content will still travel.
    const double speed = Length(velocity);
    const QPointF travel = velocity * (speed / (2.0 * kDeceleration));
    const uint64_t arguments = GestureArgument::EncodeInertiaVector(travel);
    t.state = State::Inertia;
    t.gliding = t.lastSent;
    t.velocity = velocity;
    SendGesture(t, GestureIdPan, GestureFlagInertia, t.lastSent, arguments, time);
    if (t.state != State::Inertia)
        return;
    t.clock.start();
    t.timer.start(kInertiaInterval);
}

void Source::InertiaStep(Tracker& t)
{
    if (t.state != State::Inertia || !t.window) {
        t.timer.stop();
        if (t.state == State::Inertia)
            t.state = State::Idle;
        return;
    }
    const double elapsed = std::max<qint64>(1, t.clock.restart());
    const double speed = Length(t.velocity);
    const double slower = std::max(0.0, speed - kDeceleration * elapsed);
    const QPointF direction = speed > 0 ? t.velocity / speed : QPointF();
    t.gliding += direction * ((speed + slower) / 2.0 * elapsed);
    t.velocity = direction * slower;

    const QPoint point = t.gliding.toPoint();
    if (point != t.lastSent) {
        t.lastSent = point;
        SendGesture(t, GestureIdPan, GestureFlagInertia, point, 0, 0);
    }
    if (slower <= 0 && t.state == State::Inertia)
        FinishInertia(t);
}

void Source::FinishInertia(Tracker& t)
{
    t.timer.stop();
    t.state = State::Idle;
    SendGesture(t, GestureIdPan, GestureFlagInertia | GestureFlagEnd, t.lastSent, 0, 0);
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
        if (!t.moved && t.config.Wants(GestureIdPressAndTap)) {
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

int g_starts = 0;
Source* g_source = nullptr;

} // namespace

namespace GestureSource
{

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
