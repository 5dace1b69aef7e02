#include <Zentar/App/Gesture/Emitter.h>

namespace Zentar::App
{

Gesture::Emitter::Emitter(QObject* parent)
    : QObject(parent)
{
}

Gesture::Emitter::~Emitter() = default;

void Gesture::Emitter::setZoomEnabled(bool on)
{
    zoomEnabled = on;
}
void Gesture::Emitter::setRotateEnabled(bool on)
{
    rotateEnabled = on;
}
void Gesture::Emitter::setTapEnabled(bool on)
{
    tapEnabled = on;
}
void Gesture::Emitter::setPressAndTapEnabled(bool on)
{
    pressAndTapEnabled = on;
}
void Gesture::Emitter::setHorizontalPanEnabled(bool on)
{
    horizontalPanEnabled = on;
}
void Gesture::Emitter::setVerticalPanEnabled(bool on)
{
    verticalPanEnabled = on;
}
void Gesture::Emitter::setPanGutterEnabled(bool on)
{
    panGutterEnabled = on;
}
void Gesture::Emitter::setPanInertiaEnabled(bool on)
{
    panInertiaEnabled = on;
}

int Gesture::Emitter::allOrNone(bool on)
{
    return on ? Gesture::All : Gesture::None;
}

void Gesture::Emitter::OnGesture(const Gesture::PressAndTap& gesture)
{
    Q_EMIT pressAndTap(gesture);
}
void Gesture::Emitter::OnGesture(const Gesture::Tap& gesture)
{
    Q_EMIT tap(gesture);
}
void Gesture::Emitter::OnGesture(const Gesture::Rotate& gesture)
{
    Q_EMIT rotate(gesture);
}
void Gesture::Emitter::OnGesture(const Gesture::Zoom& gesture)
{
    Q_EMIT zoom(gesture);
}
void Gesture::Emitter::OnGesture(const Gesture::Pan& gesture)
{
    Q_EMIT pan(gesture);
}

int Gesture::Emitter::WantGesture(const Gesture::PressAndTap&)
{
    return allOrNone(pressAndTapEnabled);
}
int Gesture::Emitter::WantGesture(const Gesture::Tap&)
{
    return allOrNone(tapEnabled);
}
int Gesture::Emitter::WantGesture(const Gesture::Rotate&)
{
    return allOrNone(rotateEnabled);
}
int Gesture::Emitter::WantGesture(const Gesture::Zoom&)
{
    return allOrNone(zoomEnabled);
}

int Gesture::Emitter::WantGesture(const Gesture::Pan&)
{
    // Never All: a pan is only ever wanted in the directions switched on.
    return (panGutterEnabled ? Gesture::PanGutter : 0) | (panInertiaEnabled ? Gesture::PanInertia : 0)
        | (horizontalPanEnabled ? Gesture::PanHorizontal : 0)
        | (verticalPanEnabled ? Gesture::PanVertical : 0);
}

} // namespace Zentar::App
