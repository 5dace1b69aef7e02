#include "ApplicationTestMain.h"
#include "TouchTestKit.h"

#include <QtTest>

using namespace TouchTestKit;

// The glide that follows a fast pan: it belongs to its window and to the
// consumer it was chosen for, and ends when a new touch comes or that
// consumer goes.
class TestGestureInertia : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void newTouchEndsTheGlide()
    {
        Pad pad(QStringLiteral("vi"));
        QVERIFY(pad.Exposed());
        pad.Flick(QPoint(200, 250), QPoint(0, -160));
        QTRY_VERIFY(!pad.log->pans.empty() && IsGlide(pad.log->pans.back()));

        pad.Touch().press(0, QPoint(100, 100), &pad.window);
        // The glide ended before the new touch was even recognised.
        QVERIFY(GlideEnded(*pad.log));
        const size_t ended = pad.log->pans.size();
        pad.Touch().move(0, QPoint(100, 40), &pad.window);
        pad.Touch().release(0, QPoint(100, 40), &pad.window);
        QTRY_VERIFY(pad.log->pans.back().end);
        // The new touch is a pan of its own, from its own start: nothing of
        // the old glide came in between.
        QCOMPARE(pad.log->pans.at(ended).begin, true);
        QCOMPARE(pad.log->pans.at(ended).position, QPoint(100, 100));
    }

    // A glide in window A while window B starts and glides: each window's
    // records reach its own consumer only.
    void glidesKeepToTheirWindow()
    {
        Pad a(QStringLiteral("vi"), QPoint(20, 20));
        Pad b(QStringLiteral("vi"), QPoint(500, 20));
        QVERIFY(a.Exposed() && b.Exposed());
        a.Flick(QPoint(200, 250), QPoint(0, -160));
        QTRY_VERIFY(!a.log->pans.empty() && IsGlide(a.log->pans.back()));

        // B's notification comes while A glides on.
        b.Touch().press(0, QPoint(150, 150), &b.window);
        QCOMPARE(b.log->Total(), size_t(0));
        QTRY_VERIFY(GlideEnded(*a.log));
        QCOMPARE(b.log->Total(), size_t(0));
        b.Touch().release(0, QPoint(150, 150), &b.window);

        // Both glide at once.
        a.log->pans.clear();
        a.Flick(QPoint(200, 250), QPoint(0, -160));
        b.Flick(QPoint(200, 50), QPoint(0, 160));
        QTRY_VERIFY(GlideEnded(*a.log) && GlideEnded(*b.log));
        // A's content went up and B's down: no record crossed over.
        for (const auto& pan : a.log->pans)
            QVERIFY(pan.position.y() <= 250);
        for (const auto& pan : b.log->pans)
            QVERIFY(pan.position.y() >= 50);
        QCOMPARE(b.log->pans.front().begin, true);
        QCOMPARE(a.log->pans.front().begin, true);
    }

    // The consumer goes (a page rebuilt, a tab closed) while its window
    // lives and glides: it is not called again, and the glide stops. A
    // second window's glide, started after, times the wait.
    void consumerGoesMidGlide_data()
    {
        QTest::addColumn<bool>("deleted");
        QTest::newRow("deleted") << true;
        QTest::newRow("hidden") << false;
    }
    void consumerGoesMidGlide()
    {
        QFETCH(bool, deleted);
        Pad a(QStringLiteral("vi"), QPoint(20, 20));
        Pad reference(QStringLiteral("vi"), QPoint(500, 20));
        QVERIFY(a.Exposed() && reference.Exposed());
        MessageCounter messages(&a.window);
        a.Flick(QPoint(200, 250), QPoint(0, -160));
        QTRY_VERIFY(!a.log->pans.empty() && IsGlide(a.log->pans.back()));

        const size_t received = a.log->pans.size();
        if (deleted) {
            a.log.reset();
            delete a.panel;
        } else {
            a.panel->hide();
        }
        const int sent = messages.gestures;
        // The glide's next step comes to a window whose consumer is gone.
        QTRY_VERIFY(messages.gestures > sent);
        reference.Flick(QPoint(200, 250), QPoint(0, -160));
        QTRY_VERIFY(GlideEnded(*reference.log));
        // That step found the consumer gone, and the glide stopped.
        QVERIFY2(messages.gestures - sent == 1, qPrintable(QString::number(messages.gestures - sent)));
        if (!deleted)
            QCOMPARE(a.log->pans.size(), received);
    }
};

ZENTAR_APPLICATION_TEST_MAIN(TestGestureInertia)

#include "tst_gestureinertia.moc"
