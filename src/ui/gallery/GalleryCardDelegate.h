// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStyledItemDelegate>

class GalleryModel;
class GalleryThumbnails;

// Paints one card: the thumbnail (or its placeholder) with the shield when the file holds
// personal information, the application, the date and the tags.
class GalleryCardDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    GalleryCardDelegate(const GalleryModel &model, const GalleryThumbnails &thumbnails, QObject *parent = nullptr);

    void setCell(const QSize &cell) { m_cell = cell; }
    // Height of a card (without the grid's spacing) in the widget's fonts.
    static int cardHeight(const QFont &font);
    // Where the shield sits on a card drawn in rect (a grid cell).
    static QRect shieldRect(const QRect &cell);
    static QFont captionFont(const QFont &base);
    static QFont caption2Font(const QFont &base);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;

private:
    const GalleryModel &m_model;
    const GalleryThumbnails &m_thumbnails;
    QSize m_cell;
};
