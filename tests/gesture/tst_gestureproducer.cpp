#include "GestureTestKit.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>
#include <QtTest>

#include <memory>

using namespace GestureTestKit;

namespace
{

Gesture At(const QPoint& screen)
{
    Gesture where;
    where.screenPosition = screen;
    return where;
}

// Products store and compare these numbers; they must never move.
static_assert(Gesture::PanVertical == 2 && Gesture::PanHorizontal == 4 && Gesture::PanInertia == 8
    && Gesture::PanGutter == 16);

} // namespace

// Gesture messages decoded by the producer into records and routed to
// consumers, through the same native-message path the window system uses.
class TestGestureProducer : public QObject
{
    Q_OBJECT

    std::unique_ptr<RouterFilter> m_filter;
    std::unique_ptr<QWidget> m_window;
    Gesture::Emitter* m_emitter = nullptr;
    std::unique_ptr<EmitterLog> m_log;

    QWindow* Window() const { return m_window->windowHandle(); }
    QPoint Screen(const QPoint& client) const { return m_window->mapToGlobal(client); }
    bool Send(uint32_t id, uint32_t flags, const QPoint& client, uint64_t arguments = 0)
    {
        return SendGesture(Window(), id, flags, Screen(client), arguments);
    }

    void WantEverything()
    {
        Enable(m_emitter, QStringLiteral("vhigzrtp"));
        Notify(Window(), Screen(QPoint(320, 240)));
    }

private Q_SLOTS:
    void routesToTheInnermostConsumer()
    {
        m_window->hide(); // only the dialog below is on screen
        QWidget dialog;
        dialog.setGeometry(100, 100, 400, 300);
        auto* layout = new QVBoxLayout(&dialog);
        auto* list = new QListWidget;
        auto* label = new QLabel(QStringLiteral("plain"));
        layout->addWidget(list);
        layout->addWidget(label);
        auto* dialogConsumer = new Gesture::Emitter(&dialog);
        auto* listConsumer = new Gesture::Emitter(list);
        auto* laterListConsumer = new Gesture::Emitter(list);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));

        Gesture::Router router;
        const QPoint overList = list->viewport()->mapToGlobal(list->viewport()->rect().center());
        QCOMPARE(router.Route(At(overList)), static_cast<Gesture::Consumer*>(listConsumer));
        QCOMPARE(router.Route(At(label->mapToGlobal(label->rect().center()))),
            static_cast<Gesture::Consumer*>(dialogConsumer));
        QCOMPARE(router.Route(At(QPoint(-900, -900))), static_cast<Gesture::Consumer*>(nullptr));

        // The earliest consumer child wins, until it goes.
        delete listConsumer;
        QCOMPARE(router.Route(At(overList)), static_cast<Gesture::Consumer*>(laterListConsumer));
        delete laterListConsumer;
        QCOMPARE(router.Route(At(overList)), static_cast<Gesture::Consumer*>(dialogConsumer));
    }

    void init()
    {
        m_filter = std::make_unique<RouterFilter>();
        m_window = std::make_unique<QWidget>();
        m_window->setGeometry(40, 30, 640, 480);
        m_emitter = new Gesture::Emitter(m_window.get());
        m_log = std::make_unique<EmitterLog>(m_emitter);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void cleanup()
    {
        m_log.reset();
        m_window.reset();
        m_filter.reset();
    }

    void decodesEveryKind()
    {
        WantEverything();
        const QPoint client(320, 240);
        QVERIFY(Send(Os::GestureIdZoom, Os::GestureFlagBegin, client, 100));
        Send(Os::GestureIdZoom, 0, client, 150);
        QCOMPARE(m_log->zooms.size(), size_t(2));
        QVERIFY(m_log->zooms[0].begin && !m_log->zooms[0].end);
        QCOMPARE(m_log->zooms[0].position, client);
        QCOMPARE(m_log->zooms[0].screenPosition, Screen(client));
        QCOMPARE(m_log->zooms[1].startDistance, 100.0);
        QCOMPARE(m_log->zooms[1].distance, 150.0);

        Send(Os::GestureIdPan, Os::GestureFlagBegin, QPoint(100, 120));
        Send(Os::GestureIdPan, 0, QPoint(100, 90), (uint64_t(0xFFFF0001) << 32) | 7);
        QCOMPARE(m_log->pans.size(), size_t(2));
        QCOMPARE(m_log->pans[1].startPosition, QPoint(100, 120));
        QCOMPARE(m_log->pans[1].position, QPoint(100, 90));
        QCOMPARE(m_log->pans[1].inertiaVector, QPoint(1, -1));
        QCOMPARE(m_log->pans[1].distance, 7u);

        Send(Os::GestureIdPressAndTap, Os::GestureFlagBegin | Os::GestureFlagEnd, QPoint(300, 200),
            0x0005FFEC); // (-20, 5)
        QCOMPARE(m_log->pressAndTaps.size(), size_t(1));
        QCOMPARE(m_log->pressAndTaps[0].position, QPoint(300, 200));
        QCOMPARE(m_log->pressAndTaps[0].tapPosition, QPoint(280, 205));

        Send(Os::GestureIdTwoFingerTap, Os::GestureFlagBegin | Os::GestureFlagEnd, QPoint(60, 70),
            (uint64_t(5) << 32) | 42);
        QCOMPARE(m_log->taps.size(), size_t(1));
        QCOMPARE(m_log->taps[0].distance, 42u);

        // The angle spans two turns over the argument's 16 bits; 49151 is half a turn.
        const std::pair<uint64_t, double> angles[]
            = { { 0, -6.2831853 }, { 32768, 0.0000959 }, { 65535, 6.2831853 } };
        for (const auto& [argument, angle] : angles) {
            m_log->rotates.clear();
            Send(Os::GestureIdRotate, Os::GestureFlagBegin, QPoint(50, 50), argument);
            Send(Os::GestureIdRotate, 0, QPoint(50, 50), 49151);
            QCOMPARE(m_log->rotates.size(), size_t(2));
            QVERIFY2(qAbs(m_log->rotates[0].angle - angle) < 1e-6, qPrintable(QString::number(argument)));
            QVERIFY(qAbs(m_log->rotates[1].startAngle - angle) < 1e-6);
            QVERIFY(qAbs(m_log->rotates[1].angle - 3.14159265) < 1e-4);
        }
    }

    void configuration_data()
    {
        // The emitter's answer to a pan, then want/block for zoom, pan, rotate, tap, press-and-tap.
        QTest::addColumn<QString>("kinds");
        QTest::addColumn<int>("pan");
        QTest::addColumn<QVector<uint>>("expected");
        QTest::newRow("no pan, the rest")
            << QStringLiteral("zrtp") << Gesture::None << QVector<uint> { 1, 0, 0, 31, 1, 0, 1, 0, 1, 0 };
        QTest::newRow("vertical") << QStringLiteral("v") << Gesture::PanVertical
                                  << QVector<uint> { 0, 1, 3, 28, 0, 1, 0, 1, 0, 1 };
        QTest::newRow("inertia") << QStringLiteral("i") << Gesture::PanInertia
                                 << QVector<uint> { 0, 1, 17, 14, 0, 1, 0, 1, 0, 1 };
        QTest::newRow("inertia, gutter") << QStringLiteral("ig") << (Gesture::PanInertia | Gesture::PanGutter)
                                         << QVector<uint> { 0, 1, 25, 6, 0, 1, 0, 1, 0, 1 };
        QTest::newRow("every pan") << QStringLiteral("vhig")
                                   << (Gesture::PanVertical | Gesture::PanHorizontal | Gesture::PanInertia
                                          | Gesture::PanGutter)
                                   << QVector<uint> { 0, 1, 31, 0, 0, 1, 0, 1, 0, 1 };
    }
    void configuration()
    {
        QFETCH(QString, kinds);
        QFETCH(int, pan);
        QFETCH(QVector<uint>, expected);
        Enable(m_emitter, kinds);
        QCOMPARE(static_cast<Gesture::Consumer*>(m_emitter)->WantGesture(Gesture::Pan()), pan);

        QVERIFY(!Notify(Window(), Screen(QPoint(10, 10)))); // the notification keeps its default course
        QVector<uint> actual;
        for (uint32_t id = Os::GestureIdZoom; id <= Os::GestureIdPressAndTap; ++id) {
            const Os::GestureConfig config = ConfigOf(Window(), id);
            actual << config.want << config.block;
        }
        QCOMPARE(actual, expected);
    }

    void noConsumerBlocksEverything()
    {
        WantEverything();
        QVERIFY(Send(Os::GestureIdPan, Os::GestureFlagBegin, QPoint(5, 5)));

        // Over no widget of the application there is no consumer.
        Notify(Window(), Screen(QPoint(-500, -500)));
        const auto before = m_log->Total();
        for (uint32_t id = Os::GestureIdZoom; id <= Os::GestureIdPressAndTap; ++id) {
            QCOMPARE(ConfigOf(Window(), id).want, 0u);
            QVERIFY(!Send(id, 0, QPoint(5, 5), 100));
        }
        QCOMPARE(m_log->Total(), before);
    }

    void nativeChildWindowGoesToItsParent()
    {
        auto* child = new QWidget(m_window.get());
        child->setGeometry(50, 40, 100, 100);
        child->setAttribute(Qt::WA_NativeWindow);
        child->show();
        QWindow* childWindow = child->windowHandle();
        QVERIFY(childWindow && childWindow->parent() == Window());
        const QPoint screen = child->mapToGlobal(QPoint(10, 10));
        WantEverything();

        // The default procedure hands the child's gesture to the top-level
        // window, which makes the only record, in its own coordinates.
        Os::GestureInfoHandle handle
            = Os::OpenGestureInfoHandle(Info(Os::GestureIdPan, Os::GestureFlagBegin, screen, 0));
        Os::NativeMessage message = GestureMessage(childWindow, handle);
        long result = 77;
        QVERIFY(m_filter->router.nativeEvent(QByteArray(Os::NativeMessageEventType()), &message, &result));
        QCOMPARE(result, 0L);
        QCOMPARE(m_log->pans.size(), size_t(1));
        QCOMPARE(m_log->pans[0].position, QPoint(60, 50));
        QVERIFY(!HandleOpen(handle));
    }
};

QTEST_MAIN(TestGestureProducer)
#include "tst_gestureproducer.moc"
