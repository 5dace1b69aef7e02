#include <Zentar/App/Gesture/Scroller.h>

#include "AttachScroller.h"

#include <QAbstractScrollArea>
#include <QScrollBar>

namespace Zentar::App
{

Gesture::Scroller::Scroller(QAbstractScrollArea* area)
    : Emitter(area)
    , area(area)
    , itemView(qobject_cast<QAbstractItemView*>(area))
{
    // An end record without a begin then restores what the view has now.
    if (itemView) {
        savedHorizontalScrollMode = itemView->horizontalScrollMode();
        savedVerticalScrollMode = itemView->verticalScrollMode();
    }
    connect(this, &Emitter::pan, this, &Scroller::scrollByPanning);
    setHorizontalPanEnabled(true);
    setVerticalPanEnabled(true);
    setPanGutterEnabled(true);
    setPanInertiaEnabled(true);
}

Gesture::Scroller::~Scroller() = default;

void Gesture::Scroller::scrollByPanning(const Zentar::App::Gesture::Pan& pan)
{
    QScrollBar* horizontal = area->horizontalScrollBar();
    QScrollBar* vertical = area->verticalScrollBar();

    if (pan.begin && itemView) {
        // Whole-item steps would make the content jump under the finger.
        savedHorizontalScrollMode = itemView->horizontalScrollMode();
        savedVerticalScrollMode = itemView->verticalScrollMode();
        itemView->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
        itemView->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    }

    if (pan.end && itemView) {
        const bool horizontalAtEnd = horizontal->value() == horizontal->maximum();
        const bool verticalAtEnd = vertical->value() == vertical->maximum();
        itemView->setHorizontalScrollMode(savedHorizontalScrollMode);
        itemView->setVerticalScrollMode(savedVerticalScrollMode);
        // A view panned to its end stays there when the range turns back
        // into whole items.
        if (horizontalAtEnd && savedHorizontalScrollMode == QAbstractItemView::ScrollPerItem)
            horizontal->setValue(horizontal->maximum());
        if (verticalAtEnd && savedVerticalScrollMode == QAbstractItemView::ScrollPerItem)
            vertical->setValue(vertical->maximum());
    }

    if (!pan.begin && !pan.end) {
        horizontal->setValue(horizontal->value() + lastPosition.x() - pan.position.x());
        vertical->setValue(vertical->value() + lastPosition.y() - pan.position.y());
    }

    lastPosition = pan.position;
}

void AttachScroller(QObject* receiver)
{
    auto* area = qobject_cast<QAbstractScrollArea*>(receiver);
    if (!area)
        return;
    for (QObject* child : area->children()) {
        if (qobject_cast<Gesture::Scroller*>(child))
            return;
    }
    new Gesture::Scroller(area);
}

} // namespace Zentar::App
