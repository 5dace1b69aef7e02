#include "ApplicationTestMain.h"
#include "GestureTestKit.h"

#include <Zentar/App/Application.h>
#include <Zentar/App/Gesture/Scroller.h>

#include <QLabel>
#include <QListView>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QStringListModel>
#include <QTableView>
#include <QTextEdit>
#include <QtTest>

#include <functional>
#include <memory>

using namespace Zentar::App;
using GestureTestKit::EmitterLog;

namespace
{

QTouchDevice* Device()
{
    static QTouchDevice* device = QTest::createTouchDevice();
    return device;
}

QList<Gesture::Scroller*> ScrollersOf(QObject* area)
{
    return area->findChildren<Gesture::Scroller*>(QString(), Qt::FindDirectChildrenOnly);
}

// One finger from `from`, in steps, to `from + move`, on `target`.
void Drag(QWidget* target, QPoint from, QPoint move, int steps, bool release = true)
{
    QTest::touchEvent(target, Device()).press(0, from, target);
    for (int i = 1; i <= steps; ++i)
        QTest::touchEvent(target, Device()).move(0, from + move * i / steps, target);
    if (release)
        QTest::touchEvent(target, Device()).release(0, from + move, target);
}

} // namespace

// Touch sequences on real widgets of an application: the gesture source
// turns them into gesture messages, the application's router and the
// automatic scrollers do the rest.
class TestGestureTouch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void contentFollowsTheFinger_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QPoint>("move");
        QTest::newRow("list up") << QStringLiteral("list") << QPoint(0, -120);
        QTest::newRow("table left") << QStringLiteral("table") << QPoint(-150, 0);
        QTest::newRow("text up") << QStringLiteral("text") << QPoint(0, -100);
        QTest::newRow("scroll area up") << QStringLiteral("area") << QPoint(0, -140);
    }
    void contentFollowsTheFinger()
    {
        QFETCH(QString, kind);
        QFETCH(QPoint, move);

        std::unique_ptr<QAbstractScrollArea> area;
        // Where the content's first pixel is, in viewport coordinates.
        std::function<QPoint()> contentOrigin;
        QAbstractItemView* view = nullptr;
        if (kind == QLatin1String("list")) {
            view = new QListView;
            view->setModel(
                new QStringListModel(QVector<QString>(300, QStringLiteral("Line")).toList(), view));
        } else if (kind == QLatin1String("table")) {
            view = new QTableView;
            view->setModel(new QStandardItemModel(200, 30, view));
        }
        if (view) {
            contentOrigin = [view] { return view->visualRect(view->model()->index(0, 0)).topLeft(); };
            area.reset(view);
        } else if (kind == QLatin1String("text")) {
            auto* edit = new QTextEdit;
            edit->setPlainText(QStringLiteral("Line\n").repeated(400));
            contentOrigin = [edit] { return edit->cursorRect(QTextCursor(edit->document())).topLeft(); };
            area.reset(edit);
        } else {
            auto* scrollArea = new QScrollArea;
            auto* content = new QLabel(QStringLiteral("content"));
            content->setFixedSize(2000, 2000);
            scrollArea->setWidget(content);
            contentOrigin = [content] { return content->pos(); };
            area.reset(scrollArea);
        }
        area->resize(400, 300);
        for (int shown = 0; shown < 3; ++shown) {
            area->hide();
            area->show();
            area->viewport()->hide();
            area->viewport()->show();
        }
        QVERIFY(QTest::qWaitForWindowExposed(area.get()));

        QCOMPARE(ScrollersOf(area.get()).size(), 1);
        EmitterLog log(ScrollersOf(area.get()).first());

        QWidget* viewport = area->viewport();
        const QPoint from = viewport->rect().center() + QPoint(100, 80);
        const QPoint origin = contentOrigin();
        Drag(viewport, from, move, 4, false);
        // While the finger is down the content moves exactly with it.
        QCOMPARE(contentOrigin(), origin + move);

        QTest::touchEvent(viewport, Device()).release(0, from + move, viewport);
        QTRY_VERIFY(log.Ended());
        QVERIFY(log.pans.front().begin);
        // Whatever glide follows goes the finger's way; an item view may
        // settle back by less than a row when it returns to its own mode.
        const QPoint after = contentOrigin() - origin;
        const int along = QPoint::dotProduct(after, move) / move.manhattanLength();
        QVERIFY2(along > move.manhattanLength() - 30,
            qPrintable(QStringLiteral("%1,%2").arg(after.x()).arg(after.y())));
    }

    void tablePannedToItsEndStaysThere()
    {
        QTableView table;
        table.setModel(new QStandardItemModel(60, 3, &table));
        table.setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
        table.resize(300, 250);
        table.show();
        QVERIFY(QTest::qWaitForWindowExposed(&table));
        EmitterLog log(ScrollersOf(&table).value(0));

        table.scrollToBottom();
        table.verticalScrollBar()->setValue(table.verticalScrollBar()->maximum() - 2);
        // Far more than is left: the pan ends at the last pixel row.
        Drag(table.viewport(), QPoint(150, 200), QPoint(0, -180), 6);
        QTRY_VERIFY(log.Ended());

        QCOMPARE(table.verticalScrollMode(), QAbstractItemView::ScrollPerItem);
        QCOMPARE(table.verticalScrollBar()->value(), table.verticalScrollBar()->maximum());
        QVERIFY(table.viewport()->rect().contains(table.visualRect(table.model()->index(59, 0))));
    }
};

ZENTAR_APPLICATION_TEST_MAIN(TestGestureTouch)

#include "tst_gesturetouch.moc"
