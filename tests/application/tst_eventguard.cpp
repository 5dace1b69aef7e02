#include "ApplicationTestMain.h"
#include <Zentar/App/Application.h>
#include <Zentar/App/EventHandler.h>
#include <Zentar/App/ISplash.h>

#include "../gesture/GestureTestKit.h"
#include "LogCapture.h"

#include <QMouseEvent>
#include <QTimer>
#include <QtTest>

#include <boost/exception/diagnostic_information.hpp>

#include <memory>
#include <stdexcept>
#include <utility>

using namespace Zentar::App;
using namespace GestureTestKit;

// Counts the timer events that reach it.
struct TimerCounter : QObject {
    int fired = 0;
    void timerEvent(QTimerEvent*) override { ++fired; }
    // Sends one timer event; tells whether it arrived.
    int Tick()
    {
        QTimerEvent event(4242);
        QCoreApplication::sendEvent(this, &event);
        return std::exchange(fired, 0);
    }
};

namespace WebCore
{
// Named like the timer class the guard holds back while the mouse drags.
class SharedTimerQt : public TimerCounter
{
    Q_OBJECT
};
} // namespace WebCore

class OrdinaryTimer : public TimerCounter
{
    Q_OBJECT
};

// Throws from its event handler; the log line names it.
class Thrower : public QObject
{
    Q_OBJECT
    void customEvent(QEvent*) override { throw std::runtime_error("boom"); }
};

struct BoomEvent : QEvent {
    BoomEvent()
        : QEvent(QEvent::User)
    {
    }
};

namespace
{

class GuardApp : public Application
{
public:
    using Application::Application;
    int quitRequests = 0;
    // Start's own work needs the product's managers, which these tests do not install.
    void OnStart() override { }

private:
    bool TryToQuitImpl() override { return ++quitRequests, false; }
};

GuardApp& App()
{
    return *static_cast<GuardApp*>(QCoreApplication::instance());
}

struct CountingSplash : ISplash {
    int startupEvents = 0;
    void ShowMessage(const std::string&) override { }
    void OnStartupEvent() override { ++startupEvents; }
};

struct NamedHandler : EventHandler {
    NamedHandler(char n, QString* l)
        : name(n)
        , log(l)
    {
    }
    bool HandleNativeEvent(const QByteArray&, void*, long*) override
    {
        log->append(QLatin1Char(name));
        return true; // ignored: the next handler still sees the message
    }
    char name;
    QString* log;
};

void SendMouse(QWidget* widget, QEvent::Type type, Qt::MouseButtons buttons)
{
    const QPoint pos(10, 10);
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, pos, widget->mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

} // namespace

class TestEventGuard : public QObject
{
    Q_OBJECT

    std::shared_ptr<CountingSplash> m_splash = std::make_shared<CountingSplash>();

private Q_SLOTS:
    void initTestCase() { App().SetSplash(m_splash); }

    void splashWakesOnActivationBeforeStart()
    {
        QWidget window;
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTRY_COMPARE(QGuiApplication::applicationState(), Qt::ApplicationActive);
        QCOMPARE(m_splash->startupEvents, 1);

        // The same word from the platform again, before and after Start.
        QApplicationStateChangeEvent active(Qt::ApplicationActive);
        QCoreApplication::sendEvent(qApp, &active);
        QCOMPARE(m_splash->startupEvents, 2);
        App().Start();
        QCOMPARE(m_splash->startupEvents, 3); // Start tells the splash itself
        QCoreApplication::sendEvent(qApp, &active);
        QCOMPARE(m_splash->startupEvents, 3);
    }

    void timerGuardHoldsBackOnlyWhileDragging()
    {
        QWidget widget;
        widget.show();
        WebCore::SharedTimerQt web;
        OrdinaryTimer ordinary;
        SendMouse(&widget, QEvent::MouseMove, Qt::NoButton);
        QCOMPARE(web.Tick(), 1);
        SendMouse(&widget, QEvent::MouseButtonPress, Qt::LeftButton);
        QCOMPARE(web.Tick(), 1); // pressed, not yet moved
        SendMouse(&widget, QEvent::MouseMove, Qt::LeftButton);
        QCOMPARE(web.Tick(), 0);
        QCOMPARE(ordinary.Tick(), 1);
        // Once the button is up every timer runs again.
        SendMouse(&widget, QEvent::MouseButtonRelease, Qt::NoButton);
        QCOMPARE(web.Tick(), 1);
    }

    void exceptionIsLoggedOnceAndRethrown()
    {
        LogCapture capture;
        Thrower thrower;
        BoomEvent event;
        std::string details;
        try {
            QCoreApplication::sendEvent(&thrower, &event);
            QFAIL("the exception did not come through");
        } catch (const std::runtime_error& e) {
            QCOMPARE(std::string(e.what()), std::string("boom"));
            details = boost::diagnostic_information(e);
        }

        const auto errors = capture.Texts(google::GLOG_ERROR);
        QCOMPARE(errors.size(), size_t(1));
        const std::string expected = "Exception has been caught in event processing\n"
                                     "\tReceiver: Thrower\n"
                                     "\tEvent class: BoomEvent. Event type: QEvent::User\n"
                                     "\tException details: "
            + details;
        // glog drops the line's final newline.
        QCOMPARE(QString::fromStdString(errors.front()),
            QString::fromStdString(expected.substr(0, expected.find_last_not_of('\n') + 1)));
    }

    void handlersInOrderButNotForConsumedMessages()
    {
        QString log;
        auto a = std::make_shared<NamedHandler>('A', &log);
        auto b = std::make_shared<NamedHandler>('B', &log);
        App().RegisterEventHandler(a);
        App().RegisterEventHandler(b);
        App().RegisterEventHandler(a);
        QWidget window;
        window.resize(300, 200);
        auto* emitter = new Gesture::Emitter(&window);
        emitter->setVerticalPanEnabled(true);
        EmitterLog gestures(emitter);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QPoint screen = window.mapToGlobal(QPoint(100, 100));

        // The notification always goes on, to the handlers too; a gesture
        // the router takes reaches none, one it does not take reaches them.
        QVERIFY(!Notify(window.windowHandle(), screen));
        QCOMPARE(log, QStringLiteral("ABA"));
        QVERIFY(SendGesture(window.windowHandle(), Os::GestureIdPan, Os::GestureFlagBegin, screen));
        QCOMPARE(gestures.pans.size(), size_t(1));
        QCOMPARE(log, QStringLiteral("ABA"));
        QVERIFY(!SendGesture(window.windowHandle(), Os::GestureIdBegin, 0, screen));
        QCOMPARE(log, QStringLiteral("ABAABA"));
        App().UnregisterEventHandler(a);
        App().UnregisterEventHandler(a);
        App().UnregisterEventHandler(b);
    }

    // Last: runs the event loop to its end. A refused quit must leave the
    // loop running, so the next event is still delivered and the loop ends
    // only with the code the test gives it.
    void refusedQuitLeavesTheApplicationRunning()
    {
        bool quitting = true;
        int laterEvents = 0;
        QTimer::singleShot(0, &App(), [&] {
            quitting = App().TryToQuit();
            QTimer::singleShot(0, &App(), [&] {
                ++laterEvents;
                QCoreApplication::exit(7);
            });
        });
        // Only if the loop never ends at all.
        QTimer::singleShot(30000, &App(), [] { QCoreApplication::exit(1); });

        QCOMPARE(QCoreApplication::exec(), 7);
        QVERIFY(!quitting);
        QCOMPARE(App().quitRequests, 1);
        QVERIFY(!App().IsQuitting());
        QCOMPARE(laterEvents, 1);
    }
};

ZENTAR_APPLICATION_TEST_MAIN_WITH(GuardApp, TestEventGuard)

#include "tst_eventguard.moc"
