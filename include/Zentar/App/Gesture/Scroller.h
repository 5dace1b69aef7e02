#pragma once

#include <Zentar/App/Gesture/Emitter.h>

#include <QAbstractItemView>
#include <QPoint>

class QAbstractScrollArea;

namespace Zentar::App
{

/// Scrolls a scroll area with the finger: the content follows the pan. The
/// area owns it. Item views scroll per pixel while a pan is under way and go
/// back to their own modes when it ends. The application gives every scroll
/// area one when it is first shown.
class ZENTAR_APP_EXPORT Gesture::Scroller : public Gesture::Emitter
{
    Q_OBJECT

public:
    /// A scroller for `area`, owned by it; it wants every pan mode.
    explicit Scroller(QAbstractScrollArea* area);
    ~Scroller() override;

private Q_SLOTS:
    void scrollByPanning(const Zentar::App::Gesture::Pan& pan);

private:
    QAbstractScrollArea* area;
    QAbstractItemView* itemView;
    QPoint lastPosition;
    QAbstractItemView::ScrollMode savedHorizontalScrollMode = QAbstractItemView::ScrollPerItem;
    QAbstractItemView::ScrollMode savedVerticalScrollMode = QAbstractItemView::ScrollPerItem;
};

} // namespace Zentar::App
