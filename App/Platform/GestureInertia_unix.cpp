#include "GestureSource_unix.h"

#include "../Gesture/GestureArgument.h"

#include <algorithm>
#include <cmath>

namespace Zentar::App::Os::GestureSource
{

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
    // A glide that nobody takes stops: the consumer it served is gone or hidden.
    if (!SendGesture(t, GestureIdPan, GestureFlagInertia, t.lastSent, arguments, time)
        && t.state == State::Inertia)
        t.state = State::Idle;
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
        if (!SendGesture(t, GestureIdPan, GestureFlagInertia, point, 0, 0) && t.state == State::Inertia) {
            t.timer.stop();
            t.state = State::Idle;
            return;
        }
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

} // namespace Zentar::App::Os::GestureSource
