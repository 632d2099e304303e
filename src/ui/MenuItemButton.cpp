// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/MenuItemButton.h"

#include <QPainter>
#include <QPainterPath>

MenuItemButton::MenuItemButton(Symbols::Symbol symbol, const QString &text, QWidget *parent)
    : QAbstractButton(parent), m_symbol(symbol)
{
    setText(text);
    setAccessibleName(text);
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void MenuItemButton::setSymbol(Symbols::Symbol symbol)
{
    m_symbol = symbol;
    update();
}

QSize MenuItemButton::sizeHint() const
{
    const QFontMetrics fm(font());
    return QSize(16 + 16 + 6 + fm.horizontalAdvance(text()), std::max(fm.height(), 16) + 10);
}

void MenuItemButton::enterEvent(QEnterEvent *)
{
    m_hovered = true;
    update();
}

void MenuItemButton::leaveEvent(QEvent *)
{
    m_hovered = false;
    update();
}

void MenuItemButton::paintBackground(QPainter &p)
{
    const qreal opacity = isDown() ? 0.3 : m_hovered ? 0.2 : 0.0;
    if (opacity <= 0) {
        return;
    }
    QColor accent = palette().color(QPalette::Highlight);
    accent.setAlphaF(opacity);
    p.setPen(Qt::NoPen);
    p.setBrush(accent);
    p.drawRoundedRect(QRectF(rect()), 4, 4);
}

void MenuItemButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    paintBackground(p);
    const QRect inner = rect().adjusted(8, 5, -8, -5);
    const QColor fg = palette().color(QPalette::WindowText);
    const int iconSize = 15;
    Symbols::paint(p, m_symbol, QRectF(inner.left(), inner.center().y() - iconSize / 2.0 + 0.5, iconSize, iconSize), fg);
    p.setPen(fg);
    p.drawText(inner.adjusted(iconSize + 7, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, text());
}
