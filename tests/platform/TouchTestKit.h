#pragma once

// Real touch sequences on windows of an application, for the tests of the
// Linux gesture source: a pad is a top-level window whose gestures go to an
// emitter, and fingers are driven with QTest::touchEvent.
#include "../gesture/GestureTestKit.h"

#include <QAbstractEventDispatcher>
#include <QAbstractNativeEventFilter>
#include <QWidget>
#include <QtTest>

#include <memory>

namespace TouchTestKit
{

using GestureTestKit::EmitterLog;
using Zentar::App::Gesture;

inline QTouchDevice* Device()
{
    static QTouchDevice* device = QTest::createTouchDevice();
    return device;
}

// A top-level window with one panel that fills it; the panel's emitter
// takes the window's gestures, so deleting the panel deletes the consumer
// while the window lives. `fingers` is one sequence for a whole gesture:
// each commit sends one touch event, and a stationary finger keeps where
// it was.
struct Pad {
    explicit Pad(const QString& kinds, const QPoint& at = QPoint(50, 50))
        : fingers(QTest::touchEvent(&window, Device(), false))
    {
        window.setGeometry(QRect(at, QSize(400, 300)));
        panel = new QWidget(&window);
        panel->setGeometry(window.rect());
        emitter = new Gesture::Emitter(panel);
        GestureTestKit::Enable(emitter, kinds);
        log = std::make_unique<EmitterLog>(emitter);
    }
    bool Exposed()
    {
        window.show();
        return QTest::qWaitForWindowExposed(&window);
    }
    QTest::QTouchEventSequence Touch() { return QTest::touchEvent(&window, Device()); }

    // One quick finger stroke from `from` by `move`, fast enough to glide.
    void Flick(QPoint from, QPoint move)
    {
        Touch().press(0, from, &window);
        for (int i = 1; i <= 4; ++i)
            Touch().move(0, from + move * i / 4, &window);
        Touch().release(0, from + move, &window);
    }

    QWidget window;
    QTest::QTouchEventSequence fingers;
    QWidget* panel = nullptr;
    Gesture::Emitter* emitter = nullptr;
    std::unique_ptr<EmitterLog> log;
};

// Counts the gesture messages the gesture source sends to one window,
// whether or not anybody takes them.
class MessageCounter : public QAbstractNativeEventFilter
{
public:
    explicit MessageCounter(QWidget* window)
        : m_window(window->windowHandle())
    {
        QAbstractEventDispatcher::instance()->installNativeEventFilter(this);
    }
    ~MessageCounter() override { QAbstractEventDispatcher::instance()->removeNativeEventFilter(this); }

    bool nativeEventFilter(const QByteArray& eventType, void* message, long*) override
    {
        if (eventType != Zentar::App::Os::NativeMessageEventType())
            return false;
        const auto* msg = static_cast<const Zentar::App::Os::NativeMessage*>(message);
        if (msg->window == m_window && msg->message == Zentar::App::Os::MessageGesture)
            ++gestures;
        return false;
    }

    int gestures = 0;

private:
    void* m_window;
};

inline bool IsGlide(const Gesture::Pan& pan)
{
    return pan.inertia && !pan.end;
}

inline bool GlideEnded(const EmitterLog& log)
{
    return !log.pans.empty() && log.pans.back().inertia && log.pans.back().end;
}

} // namespace TouchTestKit
