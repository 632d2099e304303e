// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLayout>
#include <QList>
#include <QPointF>
#include <QSizeF>

// Items in rows from the leading edge, wrapping to a new row when the next item would pass
// the width; the first item of a row never wraps. Every item keeps its ideal size. Nothing
// is cached: sizing and placing measure the items afresh.
class FlowLayout : public QLayout
{
public:
    struct Arrangement
    {
        QList<QPointF> positions;
        QSizeF size;
    };

    // Rows of `sizes` in `maxWidth` (infinite for no width) with `spacing` between items and rows.
    static Arrangement arrange(const QList<QSizeF> &sizes, qreal spacing, qreal maxWidth);

    explicit FlowLayout(QWidget *parent = nullptr, int spacing = 6);
    ~FlowLayout() override;

    void addItem(QLayoutItem *item) override;
    int count() const override { return int(m_items.size()); }
    QLayoutItem *itemAt(int index) const override { return m_items.value(index); }
    QLayoutItem *takeAt(int index) override;
    // Spacing between items and rows; horizontal and vertical are the same.
    int spacing() const override { return m_spacing; }
    void setSpacing(int spacing) override;

    Qt::Orientations expandingDirections() const override { return {}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect &rect) override;

    // Removes every item; the widgets they hold are hidden and deleted when control returns
    // to the event loop.
    void clear();

private:
    // The visible items, their ideal sizes and their arrangement in the width.
    Arrangement measure(qreal width, QList<QLayoutItem *> *shown = nullptr) const;

    QList<QLayoutItem *> m_items;
    int m_spacing;
};
