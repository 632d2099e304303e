// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/gallery/GalleryGrid.h"

#include <QListView>
#include <QTimer>

class GalleryCardDelegate;

// The scrolling grid of cards. Lays the cards out from its width, tells which rows are on
// screen, and opens the context menu from the pointer or the keyboard (Menu, Shift+F10).
class GalleryGridView : public QListView
{
    Q_OBJECT

public:
    explicit GalleryGridView(QWidget *parent = nullptr);

    void setCardDelegate(GalleryCardDelegate *delegate);
    const GalleryGrid &grid() const { return m_grid; }
    QSize cellSize() const { return gridSize(); }
    // The rows on screen, then those one screen below and above (worth loading next).
    QList<int> rowsToLoad() const;
    QPair<int, int> visibleRowRange() const; // first and last, -1 when empty

signals:
    void cardMenuRequested(const QModelIndex &index, const QPoint &globalPos);
    // What is on screen changed (scrolled, resized, new rows).
    void visibleRowsChanged();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void rowsInserted(const QModelIndex &parent, int start, int end) override;
    void reset() override;

private:
    void relayout();
    void openMenuFor(const QModelIndex &index, bool fromKeyboard, const QPoint &globalPos = QPoint());

    GalleryCardDelegate *m_delegate = nullptr;
    GalleryGrid m_grid;
    QTimer m_visibleTimer;
};
