#include "ApplicationTestMain.h"
#include "TouchTestKit.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

using namespace TouchTestKit;

namespace
{

// A widget that takes touches itself and keeps what it got.
class TouchTarget : public QWidget
{
public:
    explicit TouchTarget(QWidget* parent)
        : QWidget(parent)
    {
        setAttribute(Qt::WA_AcceptTouchEvents);
    }

    bool event(QEvent* e) override
    {
        switch (e->type()) {
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd: {
            const auto* touch = static_cast<QTouchEvent*>(e);
            types.append(e->type());
            fingers.append(touch->touchPoints().size());
            positions.append(touch->touchPoints().first().pos().toPoint());
            e->accept();
            return true;
        }
        default:
            return QWidget::event(e);
        }
    }

    QList<QEvent::Type> types;
    QList<int> fingers;
    QList<QPoint> positions;
};

} // namespace

// Touches that make no gesture the window takes go to Qt's own touch and
// mouse handling, in their order and at their places.
class TestGestureReplay : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A tap is no gesture: the button under it is clicked as by a mouse.
    void tapClicksAButton()
    {
        Pad pad(QStringLiteral("vhzt"));
        auto* button = new QPushButton(QStringLiteral("OK"), pad.panel);
        button->setGeometry(100, 100, 120, 40);
        QVERIFY(pad.Exposed());
        QSignalSpy clicked(button, &QPushButton::clicked);
        pad.Touch().press(0, QPoint(150, 120), &pad.window);
        QCOMPARE(clicked.size(), 0);
        pad.Touch().release(0, QPoint(150, 120), &pad.window);
        QCOMPARE(clicked.size(), 1);
        QCOMPARE(pad.log->Total(), size_t(0));
    }

    // Touches held back while undecided reach a touch widget when the
    // window wants none of what they make.
    void unwantedGestureReachesTheWidget_data()
    {
        QTest::addColumn<QString>("kinds");
        QTest::addColumn<bool>("twoFingers");
        QTest::newRow("horizontal drag, vertical pan wanted") << QStringLiteral("v") << false;
        QTest::newRow("two fingers, only pan wanted") << QStringLiteral("vh") << true;
    }
    void unwantedGestureReachesTheWidget()
    {
        QFETCH(QString, kinds);
        QFETCH(bool, twoFingers);
        Pad pad(kinds);
        auto* target = new TouchTarget(pad.panel);
        target->setGeometry(pad.panel->rect());
        QVERIFY(pad.Exposed());

        const QPoint from(100, 150);
        auto press = pad.Touch();
        press.press(0, from, &pad.window);
        if (twoFingers)
            press.press(1, from + QPoint(100, 0), &pad.window);
        press.commit();
        for (int step = 1; step <= 3; ++step) {
            auto move = pad.Touch();
            move.move(0, from + QPoint(30 * step, 0), &pad.window);
            if (twoFingers)
                move.move(1, from + QPoint(100 + 30 * step, 0), &pad.window);
        }
        auto release = pad.Touch();
        release.release(0, from + QPoint(90, 0), &pad.window);
        if (twoFingers)
            release.release(1, from + QPoint(190, 0), &pad.window);
        release.commit();

        QCOMPARE(pad.log->Total(), size_t(0));
        const QList<QEvent::Type> expected { QEvent::TouchBegin, QEvent::TouchUpdate, QEvent::TouchUpdate,
            QEvent::TouchUpdate, QEvent::TouchEnd };
        QCOMPARE(target->types, expected);
        QCOMPARE(target->fingers, QVector<int>(5, twoFingers ? 2 : 1).toList());
        QCOMPARE(target->positions.first(), from);
        QCOMPARE(target->positions.last(), from + QPoint(90, 0));
    }
};

ZENTAR_APPLICATION_TEST_MAIN(TestGestureReplay)

#include "tst_gesturereplay.moc"
