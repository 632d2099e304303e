// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/gallery/GalleryGridView.h"

#include "ui/gallery/GalleryCardDelegate.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStyle>

GalleryGridView::GalleryGridView(QWidget *parent) : QListView(parent)
{
    setViewMode(QListView::IconMode);
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    setFlow(QListView::LeftToRight);
    setWrapping(true);
    setUniformItemSizes(true);
    setSpacing(0);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionRectVisible(false);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::NoFrame);
    setMouseTracking(true);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setContextMenuPolicy(Qt::DefaultContextMenu);
    // Half the spacing lies inside each cell; the rest of the padding is this margin.
    const int m = GalleryGrid::padding - GalleryGrid::spacing / 2;
    setViewportMargins(m, m, m, m);
    setAccessibleName(QStringLiteral("Screenshots"));
    m_visibleTimer.setSingleShot(true);
    m_visibleTimer.setInterval(0);
    connect(&m_visibleTimer, &QTimer::timeout, this, &GalleryGridView::visibleRowsChanged);
}

void GalleryGridView::setCardDelegate(GalleryCardDelegate *delegate)
{
    m_delegate = delegate;
    setItemDelegate(delegate);
    relayout();
}

void GalleryGridView::relayout()
{
    // The width QListView wraps against: while the scroll bar may appear, it keeps room for it
    // whether shown or not, so the columns are counted for that width or the last never fits.
    // Half the spacing of the outer cells lies in the viewport margin.
    const int half = GalleryGrid::spacing / 2;
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, verticalScrollBar());
    m_grid = GalleryGrid::forWidth(maximumViewportSize().width() - scrollBar + 2 * half);
    const QSize cell = m_grid.cell(GalleryCardDelegate::cardHeight(font()));
    if (m_delegate) {
        m_delegate->setCell(cell);
    }
    if (gridSize() != cell) {
        setGridSize(cell);
    }
    verticalScrollBar()->setSingleStep(cell.height() / 4);
    m_visibleTimer.start();
}

void GalleryGridView::resizeEvent(QResizeEvent *event)
{
    QListView::resizeEvent(event);
    relayout();
}

void GalleryGridView::scrollContentsBy(int dx, int dy)
{
    QListView::scrollContentsBy(dx, dy);
    m_visibleTimer.start();
}

void GalleryGridView::rowsInserted(const QModelIndex &parent, int start, int end)
{
    QListView::rowsInserted(parent, start, end);
    m_visibleTimer.start();
}

void GalleryGridView::reset()
{
    QListView::reset();
    m_visibleTimer.start();
}

QPair<int, int> GalleryGridView::visibleRowRange() const
{
    const int rows = model() ? model()->rowCount() : 0;
    const QSize cell = gridSize();
    if (rows == 0 || cell.height() <= 0) {
        return {-1, -1};
    }
    const int columns = qMax(1, m_grid.columns);
    const int top = verticalOffset();
    const int first = (top / cell.height()) * columns;
    const int last = ((top + viewport()->height()) / cell.height() + 1) * columns - 1;
    return {qMin(first, rows - 1), qMin(last, rows - 1)};
}

QList<int> GalleryGridView::rowsToLoad() const
{
    const auto [first, last] = visibleRowRange();
    QList<int> rows;
    if (first < 0) {
        return rows;
    }
    const int count = model()->rowCount();
    const int screen = last - first + 1;
    for (int r = first; r <= last; ++r) {
        rows.append(r);
    }
    for (int r = last + 1; r < qMin(count, last + 1 + screen); ++r) {
        rows.append(r);
    }
    for (int r = first - 1; r >= qMax(0, first - screen); --r) {
        rows.append(r);
    }
    return rows;
}

void GalleryGridView::openMenuFor(const QModelIndex &index, bool fromKeyboard, const QPoint &globalPos)
{
    if (!index.isValid()) {
        return;
    }
    setCurrentIndex(index);
    QPoint at = globalPos;
    if (fromKeyboard) {
        scrollTo(index);
        const QRect r = visualRect(index);
        at = viewport()->mapToGlobal(QPoint(r.left() + r.width() / 2, r.top() + GalleryGrid::thumbnailHeight / 2));
    }
    emit cardMenuRequested(index, at);
}

void GalleryGridView::contextMenuEvent(QContextMenuEvent *event)
{
    const bool keyboard = event->reason() == QContextMenuEvent::Keyboard;
    openMenuFor(keyboard ? currentIndex() : indexAt(viewport()->mapFromGlobal(event->globalPos())), keyboard,
                event->globalPos());
}

void GalleryGridView::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) || event->key() == Qt::Key_Menu) {
        openMenuFor(currentIndex(), true);
        return;
    }
    QListView::keyPressEvent(event);
}
