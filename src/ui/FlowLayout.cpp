// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/FlowLayout.h"

#include <QWidget>

#include <cmath>
#include <limits>

FlowLayout::Arrangement FlowLayout::arrange(const QList<QSizeF> &sizes, qreal spacing, qreal maxWidth)
{
    Arrangement out;
    out.positions.reserve(sizes.size());
    qreal x = 0, y = 0, rowHeight = 0, totalWidth = 0;
    for (const QSizeF &s : sizes) {
        if (x > 0 && x + s.width() > maxWidth) {
            y += rowHeight + spacing;
            x = 0;
            rowHeight = 0;
        }
        out.positions.append(QPointF(x, y));
        rowHeight = std::max(rowHeight, s.height());
        x += s.width() + spacing;
        totalWidth = std::max(totalWidth, x - spacing);
    }
    out.size = QSizeF(totalWidth, y + rowHeight);
    return out;
}

FlowLayout::FlowLayout(QWidget *parent, int spacing) : QLayout(parent), m_spacing(spacing)
{
    setContentsMargins(0, 0, 0, 0);
}

FlowLayout::~FlowLayout()
{
    while (!m_items.isEmpty()) {
        delete m_items.takeLast();
    }
}

void FlowLayout::addItem(QLayoutItem *item) { m_items.append(item); }

QLayoutItem *FlowLayout::takeAt(int index)
{
    if (index < 0 || index >= m_items.size()) {
        return nullptr;
    }
    return m_items.takeAt(index);
}

void FlowLayout::setSpacing(int spacing)
{
    m_spacing = spacing;
    invalidate();
}

void FlowLayout::clear()
{
    // Later, not now: the clear may run inside a signal of one of the widgets.
    while (QLayoutItem *item = takeAt(0)) {
        if (QWidget *w = item->widget()) {
            w->hide();
            w->deleteLater();
        }
        delete item;
    }
}

FlowLayout::Arrangement FlowLayout::measure(qreal width, QList<QLayoutItem *> *shown) const
{
    QList<QSizeF> sizes;
    sizes.reserve(m_items.size());
    for (QLayoutItem *item : m_items) {
        if (item->isEmpty()) { // a hidden widget takes no place
            continue;
        }
        sizes.append(QSizeF(item->sizeHint()));
        if (shown) {
            shown->append(item);
        }
    }
    return arrange(sizes, m_spacing, width);
}

int FlowLayout::heightForWidth(int width) const
{
    const QMargins m = contentsMargins();
    return int(std::ceil(measure(width - m.left() - m.right()).size.height())) + m.top() + m.bottom();
}

QSize FlowLayout::sizeHint() const
{
    const QMargins m = contentsMargins();
    const QSizeF s = measure(std::numeric_limits<qreal>::infinity()).size;
    return QSize(int(std::ceil(s.width())) + m.left() + m.right(), int(std::ceil(s.height())) + m.top() + m.bottom());
}

QSize FlowLayout::minimumSize() const
{
    // As narrow as the widest item: everything else wraps.
    QSize widest;
    for (QLayoutItem *item : m_items) {
        if (!item->isEmpty()) {
            widest = widest.expandedTo(item->sizeHint());
        }
    }
    const QMargins m = contentsMargins();
    return QSize(widest.width() + m.left() + m.right(), widest.height() + m.top() + m.bottom());
}

void FlowLayout::setGeometry(const QRect &rect)
{
    QLayout::setGeometry(rect);
    const QRect inner = rect.marginsRemoved(contentsMargins());
    QList<QLayoutItem *> shown;
    const Arrangement a = measure(inner.width(), &shown);
    for (qsizetype i = 0; i < shown.size(); ++i) {
        const QPointF &p = a.positions.at(i);
        shown.at(i)->setGeometry(QRect(QPoint(inner.left() + int(p.x()), inner.top() + int(p.y())), shown.at(i)->sizeHint()));
    }
}
