#pragma once

#include "GestureSource.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QGuiApplication>
#include <QObject>
#include <QPointer>
#include <QStyleHints>
#include <QTimer>
#include <QTouchEvent>
#include <QWindow>

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
//
// The source is one object with a tracker per top-level window. Its work is
// spread over files by concern: GestureSource_unix.cpp takes the touch
// events and sends the messages, GestureRecognition_unix.cpp tells the
// gestures apart, GestureInertia_unix.cpp lets a fast pan glide on, and
// GestureReplay_unix.cpp hands touches that make no gesture back to Qt.
namespace Zentar::App::Os::GestureSource
{

inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kRotateThreshold = 0.1; // radians the fingers turn before it is a rotation
inline constexpr double kMinInertiaSpeed = 0.3; // pixels per ms at the release that start inertia
inline constexpr double kMaxInertiaSpeed = 4.0;
inline constexpr double kDeceleration = 0.006; // pixels per ms²
inline constexpr ulong kVelocityWindow = 100; // ms of movement that give the release speed
inline constexpr ulong kRestTime = 80; // ms without movement after which a release is still
inline constexpr int kInertiaInterval = 16; // ms between inertia messages
// How long the first finger must have been down before the second lands for
// the pair to be a press-and-tap; fingers that land together make a
// two-finger tap.
inline constexpr ulong kPressBeforeTap = 250;

inline double NormalizedAngle(double angle)
{
    while (angle > kPi)
        angle -= 2.0 * kPi;
    while (angle <= -kPi)
        angle += 2.0 * kPi;
    return angle;
}

inline double Length(const QPointF& p)
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

inline RecordedTouch Record(const QTouchEvent* event)
{
    return { event->type(), event->device(), event->modifiers(), event->touchPointStates(),
        event->touchPoints(), event->timestamp() };
}

inline const QTouchEvent::TouchPoint* FindPoint(const QList<QTouchEvent::TouchPoint>& points, int id)
{
    for (const auto& point : points)
        if (point.id() == id)
            return &point;
    return nullptr;
}

inline bool IsUp(const QTouchEvent::TouchPoint* point)
{
    return !point || point->state() == Qt::TouchPointReleased;
}

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
    ulong secondTime = 0;

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

} // namespace Zentar::App::Os::GestureSource
