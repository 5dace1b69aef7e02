#pragma once

#include <Zentar/App/Gesture/Emitter.h>
#include <Zentar/App/Gesture/Router.h>

#include "Platform/OsGesture.h"

#include <QAbstractEventDispatcher>
#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QObject>
#include <QWindow>

#include <vector>

// Helpers that talk to the gesture code the way the window system does: by
// native messages handed to the application's native event filters.
namespace GestureTestKit
{

using Zentar::App::Gesture;
namespace Os = Zentar::App::Os;

// Switches an emitter's kinds on by letter: pans Vertical, Horizontal, with
// Inertia, with Gutter; Zoom, Rotate, Tap, Press-and-tap.
inline void Enable(Gesture::Emitter* emitter, const QString& kinds)
{
    emitter->setVerticalPanEnabled(kinds.contains(QLatin1Char('v')));
    emitter->setHorizontalPanEnabled(kinds.contains(QLatin1Char('h')));
    emitter->setPanInertiaEnabled(kinds.contains(QLatin1Char('i')));
    emitter->setPanGutterEnabled(kinds.contains(QLatin1Char('g')));
    emitter->setZoomEnabled(kinds.contains(QLatin1Char('z')));
    emitter->setRotateEnabled(kinds.contains(QLatin1Char('r')));
    emitter->setTapEnabled(kinds.contains(QLatin1Char('t')));
    emitter->setPressAndTapEnabled(kinds.contains(QLatin1Char('p')));
}

// Keeps what an emitter (or a scroller) signals.
struct EmitterLog {
    explicit EmitterLog(Gesture::Emitter* emitter)
    {
        QObject::connect(
            emitter, &Gesture::Emitter::pan, [this](const Gesture::Pan& g) { pans.push_back(g); });
        QObject::connect(
            emitter, &Gesture::Emitter::zoom, [this](const Gesture::Zoom& g) { zooms.push_back(g); });
        QObject::connect(
            emitter, &Gesture::Emitter::rotate, [this](const Gesture::Rotate& g) { rotates.push_back(g); });
        QObject::connect(
            emitter, &Gesture::Emitter::tap, [this](const Gesture::Tap& g) { taps.push_back(g); });
        QObject::connect(emitter, &Gesture::Emitter::pressAndTap,
            [this](const Gesture::PressAndTap& g) { pressAndTaps.push_back(g); });
    }
    bool Ended() const { return !pans.empty() && pans.back().end; }
    size_t Total() const
    {
        return zooms.size() + pans.size() + rotates.size() + taps.size() + pressAndTaps.size();
    }
    std::vector<Gesture::Pan> pans;
    std::vector<Gesture::Zoom> zooms;
    std::vector<Gesture::Rotate> rotates;
    std::vector<Gesture::Tap> taps;
    std::vector<Gesture::PressAndTap> pressAndTaps;
};

// Installs a router as a native event filter of the application, as the
// application's own filter does.
class RouterFilter : public QAbstractNativeEventFilter
{
public:
    RouterFilter() { QCoreApplication::instance()->installNativeEventFilter(this); }
    ~RouterFilter() override { QCoreApplication::instance()->removeNativeEventFilter(this); }

    bool nativeEventFilter(const QByteArray& eventType, void* message, long* result) override
    {
        return router.nativeEvent(eventType, message, result);
    }

    Gesture::Router router;
};

inline bool Dispatch(Os::NativeMessage& message)
{
    long result = 0;
    return QAbstractEventDispatcher::instance()->filterNativeEvent(
        QByteArray(Os::NativeMessageEventType()), &message, &result);
}

inline Os::Point16 ToPoint16(const QPoint& p)
{
    return { static_cast<int16_t>(p.x()), static_cast<int16_t>(p.y()) };
}

// The notification that precedes a gesture, at a screen point.
inline bool Notify(QWindow* window, const QPoint& screen)
{
    Os::GestureNotifyInfo info { sizeof(Os::GestureNotifyInfo), 0, window, ToPoint16(screen), 1 };
    Os::NativeMessage message { window, Os::MessageGestureNotify, 0, reinterpret_cast<intptr_t>(&info), 0,
        screen.x(), screen.y() };
    return Dispatch(message);
}

inline Os::GestureInfo Info(uint32_t id, uint32_t flags, const QPoint& screen, uint64_t arguments)
{
    return Os::GestureInfo { sizeof(Os::GestureInfo), flags, id, nullptr, ToPoint16(screen), 0, 0, arguments,
        0 };
}

inline Os::NativeMessage GestureMessage(QWindow* window, Os::GestureInfoHandle handle)
{
    return Os::NativeMessage { window, Os::MessageGesture, 0, reinterpret_cast<intptr_t>(handle), 0, 0, 0 };
}

inline bool HandleOpen(Os::GestureInfoHandle handle)
{
    Os::GestureInfo info {};
    info.size = sizeof(info);
    return Os::GetGestureInfo(handle, &info);
}

// One gesture message through the filters; tells whether it was consumed.
inline bool SendGesture(
    QWindow* window, uint32_t id, uint32_t flags, const QPoint& screen, uint64_t arguments = 0)
{
    Os::GestureInfoHandle handle = Os::OpenGestureInfoHandle(Info(id, flags, screen, arguments));
    Os::NativeMessage message = GestureMessage(window, handle);
    const bool consumed = Dispatch(message);
    Os::CloseGestureInfoHandle(handle);
    return consumed;
}

inline Os::GestureConfig ConfigOf(QWindow* window, uint32_t id)
{
    Os::GestureConfig config { id, 0xFFFF, 0xFFFF };
    Os::GetGestureConfig(window, 1, &config);
    return config;
}

} // namespace GestureTestKit
