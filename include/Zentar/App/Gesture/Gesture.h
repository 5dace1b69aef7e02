#pragma once

#include <Zentar/App/ZentarAppExport.h>

#include <QPoint>

#include <cstdint>

namespace Zentar::App
{

// A touch gesture as the window saw it; the kinds below extend it. All
// coordinates are pixels.
struct ZENTAR_APP_EXPORT Gesture {
    // How a consumer answers WantGesture: All or None for zoom, rotate, tap
    // and press-and-tap; for pan a mask of All (every pan mode) or the Pan
    // bits below. Inertia and gutter are the reverse of the native order.
    static const int All;
    static const int None;
    static const int PanVertical = 2; // single-finger vertical
    static const int PanHorizontal = 4; // single-finger horizontal
    static const int PanInertia = 8;
    static const int PanGutter = 16;

    QPoint position; // client coordinates of the window that got the message
    QPoint screenPosition; // as the message gave it
    bool begin = false;
    bool end = false;

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

struct Gesture::Zoom : Gesture {
    double startDistance = 0; // distance between the contacts at the last begin
    double distance = 0;
};

struct Gesture::Pan : Gesture {
    QPoint startPosition; // position of the last begin
    QPoint inertiaVector;
    bool inertia = false;
    uint32_t distance = 0; // between the two contacts
};

struct Gesture::Rotate : Gesture {
    double startAngle = 0; // radians, of the last begin
    double angle = 0;
};

struct Gesture::Tap : Gesture {
    uint32_t distance = 0; // between the two fingers
};

struct Gesture::PressAndTap : Gesture {
    QPoint tapPosition; // where the second finger tapped, in client coordinates
};

} // namespace Zentar::App
