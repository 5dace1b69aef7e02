#include "Gesture/GestureArgument.h"

#include <QtTest>

#include <cmath>

namespace Argument = Zentar::App::GestureArgument;

// The 64-bit argument of gesture messages: what the Linux gesture source
// encodes must decode to the same value in the producer, and the words on
// the wire must be the ones the system itself sends.
class TestGestureArgument : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void distance_data()
    {
        QTest::addColumn<double>("distance");
        QTest::addColumn<uint>("decoded");
        QTest::newRow("none") << 0.0 << 0u;
        QTest::newRow("zoom begin") << 100.0 << 100u;
        QTest::newRow("rounded up") << 149.5 << 150u;
        QTest::newRow("rounded down") << 149.49 << 149u;
        QTest::newRow("wider than 16 bits") << 70000.0 << 70000u;
        QTest::newRow("largest") << 4294967295.0 << 4294967295u;
    }
    void distance()
    {
        QFETCH(double, distance);
        QFETCH(uint, decoded);
        const uint64_t argument = Argument::EncodeDistance(distance);
        QCOMPARE(argument >> 32, uint64_t(0)); // the high half is the pan's inertia vector
        QCOMPARE(Argument::DecodeDistance(argument), decoded);
        // A pan carries its distance beside the inertia vector; neither disturbs the other.
        const uint64_t pan = argument | Argument::EncodeInertiaVector(QPointF(-3, 4));
        QCOMPARE(Argument::DecodeDistance(pan), decoded);
        QCOMPARE(Argument::DecodeInertiaVector(pan), QPoint(-3, 4));
    }

    void points_data()
    {
        QTest::addColumn<QPointF>("point");
        QTest::addColumn<QPoint>("decoded");
        QTest::addColumn<uint>("word"); // the 32 bits that carry it
        QTest::newRow("zero") << QPointF(0, 0) << QPoint(0, 0) << 0u;
        QTest::newRow("right, up") << QPointF(1, -1) << QPoint(1, -1) << 0xFFFF0001u;
        QTest::newRow("left, down") << QPointF(-20, 5) << QPoint(-20, 5) << 0x0005FFECu;
        QTest::newRow("fractions round") << QPointF(12.4, -7.6) << QPoint(12, -8) << 0xFFF8000Cu;
        QTest::newRow("16-bit ends") << QPointF(-32768, 32767) << QPoint(-32768, 32767) << 0x7FFF8000u;
        QTest::newRow("beyond 16 bits, clamped")
            << QPointF(40000, -1e9) << QPoint(32767, -32768) << 0x80007FFFu;
    }
    void points()
    {
        QFETCH(QPointF, point);
        QFETCH(QPoint, decoded);
        QFETCH(uint, word);

        // Pan inertia: the high half, x in its lower 16 bits.
        const uint64_t inertia = Argument::EncodeInertiaVector(point);
        QCOMPARE(inertia, uint64_t(word) << 32);
        QCOMPARE(Argument::DecodeInertiaVector(inertia), decoded);
        QCOMPARE(Argument::DecodeDistance(inertia), 0u);

        // Press and tap: the low half.
        const uint64_t offset = Argument::EncodeTapOffset(point);
        QCOMPARE(offset, uint64_t(word));
        QCOMPARE(Argument::DecodeTapOffset(offset), decoded);
    }

    void angle_data()
    {
        QTest::addColumn<double>("angle");
        QTest::addColumn<double>("decoded");
        const double pi = 3.14159265358979323846;
        QTest::newRow("zero") << 0.0 << 0.0;
        QTest::newRow("quarter turn") << pi / 2 << pi / 2;
        QTest::newRow("half turn back") << -pi << -pi;
        QTest::newRow("almost two turns") << 6.28 << 6.28;
        QTest::newRow("two turns back") << -6.2831853 << -6.2831853;
        QTest::newRow("past two turns, clamped") << 3 * pi << 6.2831853;
        QTest::newRow("past two turns back, clamped") << -3 * pi << -6.2831853;
    }
    void angle()
    {
        QFETCH(double, angle);
        QFETCH(double, decoded);
        const uint64_t argument = Argument::EncodeAngle(angle);
        QVERIFY(argument <= 65535);
        // 65535 steps over four pi: a round trip is off by half a step at most.
        const double halfStep = 4 * 3.14159265 / 65535 / 2;
        const double back = Argument::DecodeAngle(argument);
        QVERIFY2(std::abs(back - decoded) <= halfStep * 1.0001,
            qPrintable(QStringLiteral("%1 came back as %2").arg(angle).arg(back)));
        // The encoder takes the step nearest to the angle, so encoding what
        // came back lands on the same step.
        QCOMPARE(Argument::EncodeAngle(back), argument);
    }
};

QTEST_APPLESS_MAIN(TestGestureArgument)
#include "tst_gestureargument.moc"
