#pragma once

#include <Zentar/App/ZentarAppExport.h>

#include <QPoint>

#include <cstdint>

namespace Zentar::App
{

/// A touch gesture as the window saw it; the kinds below extend it. All
/// coordinates are pixels.
struct ZENTAR_APP_EXPORT Gesture {
    /// How a consumer answers WantGesture: All or None for zoom, rotate, tap
    /// and press-and-tap; for pan a mask of All (every pan mode) or the Pan
    /// bits below. Inertia and gutter are the reverse of the native order.
    static const int All;
    /// The answer for no gesture of the kind.
    static const int None;
    /// Single-finger vertical pan.
    static const int PanVertical = 2; // single-finger vertical
    /// Single-finger horizontal pan.
    static const int PanHorizontal = 4; // single-finger horizontal
    /// Inertia after the finger leaves.
    static const int PanInertia = 8;
    /// Panning that sticks to the first direction until it leaves the gutter.
    static const int PanGutter = 16;

    //!@{
    /// Where the gesture is (`position` in the client coordinates of the window that got the
    /// message, `screenPosition` as the message gave it), and whether this record begins or ends it.
    QPoint position; // client coordinates of the window that got the message
    QPoint screenPosition; // as the message gave it
    bool begin = false;
    bool end = false;
    //!@}

    struct Zoom;
    struct Pan;
    struct Rotate;
    struct Tap;
    struct PressAndTap;

    class Consumer;
    class Producer;
    class Router;
    class Emitter;
    class Scroller;
};

/// Two fingers moving apart or together.
struct Gesture::Zoom : Gesture {
    //!@{
    /// The distance between the contacts at the last begin, and now.
    double startDistance = 0; // distance between the contacts at the last begin
    double distance = 0;
    //!@}
};

/// One or two fingers dragging.
struct Gesture::Pan : Gesture {
    //!@{
    /// The position at the last begin, the inertia vector and whether inertia is under way, and the
    /// distance between the two contacts.
    QPoint startPosition; // position of the last begin
    QPoint inertiaVector;
    bool inertia = false;
    uint32_t distance = 0; // between the two contacts
    //!@}
};

/// Two fingers turning.
struct Gesture::Rotate : Gesture {
    //!@{
    /// The angle at the last begin, and now, in radians.
    double startAngle = 0; // radians, of the last begin
    double angle = 0;
    //!@}
};

/// A two-finger tap.
struct Gesture::Tap : Gesture {
    /// The distance between the two fingers.
    uint32_t distance = 0; // between the two fingers
};

/// One finger pressing while another taps.
struct Gesture::PressAndTap : Gesture {
    /// Where the second finger tapped, in client coordinates.
    QPoint tapPosition; // where the second finger tapped, in client coordinates
};

} // namespace Zentar::App
