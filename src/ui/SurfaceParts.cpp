// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/SurfaceParts.h"

#include <QPainter>

namespace SurfaceParts {

QColor withAlpha(QColor color, qreal alpha)
{
    color.setAlphaF(alpha);
    return color;
}

QFont scaled(const QFont &base, qreal factor, int weight)
{
    QFont f = base;
    f.setPointSizeF(base.pointSizeF() * factor);
    f.setWeight(QFont::Weight(weight));
    return f;
}

Divider::Divider(QWidget *parent) : QWidget(parent) { setFixedHeight(1); }

void Divider::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), withAlpha(palette().color(QPalette::WindowText), 0.12));
}

SearchBox::SearchBox(QWidget *parent, qreal radius) : QWidget(parent), m_radius(radius) {}

void SearchBox::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(withAlpha(palette().color(QPalette::WindowText), 0.07));
    p.drawRoundedRect(QRectF(rect()), m_radius, m_radius);
}

SymbolView::SymbolView(Symbols::Symbol symbol, int size, std::function<QColor(const QPalette &)> color, QWidget *parent)
    : QWidget(parent), m_symbol(symbol), m_color(std::move(color))
{
    setFixedSize(size, size);
}

void SymbolView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    Symbols::paint(p, m_symbol, QRectF(rect()), m_color(palette()));
}

} // namespace SurfaceParts
