#include "ApplicationTestMain.h"
#include "TouchTestKit.h"

#include "Platform/GestureSource_unix.h"

#include <QtTest>

#include <cmath>

using namespace TouchTestKit;
namespace Source = Zentar::App::Os::GestureSource;

namespace
{

constexpr double kPi = 3.14159265358979323846;

// Two fingers down at once.
void PressTwo(Pad& pad, QPoint a, QPoint b)
{
    pad.fingers.press(0, a, &pad.window).press(1, b, &pad.window).commit();
}

} // namespace

// Two-finger gestures recognised from real touch sequences, with the
// records their consumer gets.
class TestGestureRecognition : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void zoom()
    {
        Pad pad(QStringLiteral("z"));
        QVERIFY(pad.Exposed());
        PressTwo(pad, QPoint(150, 150), QPoint(250, 150));
        for (int x = 260; x <= 300; x += 10)
            pad.fingers.stationary(0).move(1, QPoint(x, 150), &pad.window).commit();
        pad.fingers.release(0, QPoint(150, 150), &pad.window)
            .release(1, QPoint(300, 150), &pad.window)
            .commit();

        const auto& zooms = pad.log->zooms;
        QVERIFY(zooms.size() >= 3);
        QVERIFY(zooms.front().begin && !zooms.front().end);
        QCOMPARE(zooms.front().startDistance, 100.0);
        QVERIFY(zooms.back().end);
        for (size_t i = 1; i < zooms.size(); ++i) {
            QVERIFY(!zooms[i].begin);
            QCOMPARE(zooms[i].startDistance, 100.0);
            QVERIFY(zooms[i].end == (i + 1 == zooms.size()));
        }
        QCOMPARE(zooms.back().distance, 150.0);
        // Between the fingers, in the window's coordinates.
        QCOMPARE(zooms.back().position, QPoint(225, 150));
        QCOMPARE(pad.log->Total(), zooms.size());
    }

    void rotate()
    {
        Pad pad(QStringLiteral("r"));
        QVERIFY(pad.Exposed());
        const QPointF center(200, 150);
        PressTwo(pad, QPoint(150, 150), QPoint(250, 150));
        // The second finger goes a quarter turn around the centre, the
        // first the opposite way.
        for (int step = 1; step <= 6; ++step) {
            const double angle = kPi / 2 * step / 6;
            const QPointF arm(50 * std::cos(angle), 50 * std::sin(angle));
            pad.fingers.move(0, (center - arm).toPoint(), &pad.window)
                .move(1, (center + arm).toPoint(), &pad.window)
                .commit();
        }
        pad.fingers.release(0, QPoint(200, 100), &pad.window)
            .release(1, QPoint(200, 200), &pad.window)
            .commit();

        const auto& rotates = pad.log->rotates;
        QVERIFY(rotates.size() >= 3);
        QVERIFY(rotates.front().begin);
        QVERIFY(rotates.back().end);
        QVERIFY(std::abs(rotates.front().angle) < 1e-3);
        QVERIFY(std::abs(rotates.back().startAngle) < 1e-3);
        const double last = rotates[rotates.size() - 2].angle;
        QVERIFY2(std::abs(last - kPi / 2) < 0.01, qPrintable(QString::number(last)));
        QCOMPARE(pad.log->Total(), rotates.size());
    }

    // Fingers that land together make a tap, whichever lifts first; a
    // press-and-tap needs the first finger held before the second lands.
    void twoFingerTap_data()
    {
        QTest::addColumn<int>("firstUp");
        QTest::newRow("second finger lifts first") << 1;
        QTest::newRow("first finger lifts first") << 0;
        QTest::newRow("both lift at once") << -1;
    }
    void twoFingerTap()
    {
        QFETCH(int, firstUp);
        Pad pad(QStringLiteral("tp"));
        QVERIFY(pad.Exposed());
        const QPoint a(150, 150);
        const QPoint b(210, 230);
        PressTwo(pad, a, b);
        if (firstUp < 0) {
            pad.fingers.release(0, a, &pad.window).release(1, b, &pad.window).commit();
        } else {
            const QPoint first = firstUp == 0 ? a : b;
            const QPoint second = firstUp == 0 ? b : a;
            pad.fingers.release(firstUp, first, &pad.window).stationary(1 - firstUp).commit();
            pad.fingers.release(1 - firstUp, second, &pad.window).commit();
        }
        QCOMPARE(pad.log->pressAndTaps.size(), size_t(0));
        QCOMPARE(pad.log->taps.size(), size_t(1));
        const auto& tap = pad.log->taps.front();
        QVERIFY(tap.begin && tap.end);
        QCOMPARE(tap.distance, 100u);
        QCOMPARE(tap.position, QPoint(180, 190));
    }

    void pressAndTap()
    {
        Pad pad(QStringLiteral("tp"));
        QVERIFY(pad.Exposed());
        const QPoint held(150, 150);
        const QPoint tapped(130, 210);
        pad.fingers.press(0, held, &pad.window).commit();
        // The hold is the gesture itself: the first finger rests this long.
        QTest::qWait(int(Source::kPressBeforeTap) + 50);
        pad.fingers.stationary(0).press(1, tapped, &pad.window).commit();
        pad.fingers.stationary(0).release(1, tapped, &pad.window).commit();
        QCOMPARE(pad.log->pressAndTaps.size(), size_t(1));
        pad.fingers.release(0, held, &pad.window).commit();

        const auto& record = pad.log->pressAndTaps.front();
        QVERIFY(record.begin && record.end);
        QCOMPARE(record.position, held);
        QCOMPARE(record.tapPosition, tapped);
        QCOMPARE(pad.log->Total(), size_t(1));
    }

    // A third finger changes nothing: the first two make the zoom.
    void thirdFinger()
    {
        Pad pad(QStringLiteral("zt"));
        QVERIFY(pad.Exposed());
        PressTwo(pad, QPoint(150, 150), QPoint(250, 150));
        pad.fingers.stationary(0).move(1, QPoint(280, 150), &pad.window).commit();
        pad.fingers.stationary(0).stationary(1).press(2, QPoint(100, 250), &pad.window).commit();
        pad.fingers.stationary(0).stationary(1).move(2, QPoint(350, 280), &pad.window).commit();
        pad.fingers.stationary(0).move(1, QPoint(300, 150), &pad.window).stationary(2).commit();
        pad.fingers.release(0, QPoint(150, 150), &pad.window)
            .release(1, QPoint(300, 150), &pad.window)
            .release(2, QPoint(350, 280), &pad.window)
            .commit();

        const auto& zooms = pad.log->zooms;
        QVERIFY(zooms.size() >= 3);
        QVERIFY(zooms.front().begin);
        QCOMPARE(zooms.back().distance, 150.0);
        QCOMPARE(std::count_if(zooms.begin(), zooms.end(), [](const auto& z) { return z.end; }), 1L);
        QVERIFY(zooms.back().end);
        QCOMPARE(pad.log->taps.size(), size_t(0));
    }

    // A cancelled touch ends the gesture under way; the next one starts afresh.
    void cancelledTouch()
    {
        Pad pad(QStringLiteral("v"));
        QVERIFY(pad.Exposed());
        pad.fingers.press(0, QPoint(200, 250), &pad.window).commit();
        pad.fingers.move(0, QPoint(200, 200), &pad.window).commit();
        QCOMPARE(pad.log->pans.size(), size_t(2));

        QTouchEvent::TouchPoint point(0);
        point.setState(Qt::TouchPointReleased);
        point.setScreenPos(pad.window.mapToGlobal(QPoint(200, 200)));
        point.setPos(QPointF(200, 200));
        QTouchEvent cancel(QEvent::TouchCancel, Device(), Qt::NoModifier, Qt::TouchPointReleased, { point });
        cancel.setWindow(pad.window.windowHandle());
        QCoreApplication::sendEvent(pad.window.windowHandle(), &cancel);
        QVERIFY(pad.log->pans.back().end);
        QCOMPARE(pad.log->pans.back().position, QPoint(200, 200));
        // Qt itself still holds the finger; its release ends Qt's sequence.
        pad.fingers.release(0, QPoint(200, 200), &pad.window).commit();
        QVERIFY(pad.log->pans.back().end);

        pad.log->pans.clear();
        pad.fingers.press(0, QPoint(100, 250), &pad.window).commit();
        pad.fingers.move(0, QPoint(100, 180), &pad.window).commit();
        pad.fingers.release(0, QPoint(100, 180), &pad.window).commit();
        QVERIFY(pad.log->pans.front().begin);
        QCOMPARE(pad.log->pans.front().position, QPoint(100, 250));
        QCOMPARE(pad.log->pans.front().startPosition, QPoint(100, 250));
        QVERIFY(pad.log->pans.back().end);
    }
};

ZENTAR_APPLICATION_TEST_MAIN(TestGestureRecognition)

#include "tst_gesturerecognition.moc"
