// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/preferences/ColorSwatch.h"

#include "tags/TagColors.h"

#include <QPainter>

ColorSwatch::ColorSwatch(qint64 colorIndex, QWidget *parent)
    : QAbstractButton(parent)
    , m_index(colorIndex)
{
    setCheckable(true);
    setFocusPolicy(Qt::StrongFocus);
    const QString name = TagColors::hasColor(colorIndex) ? TagColors::name(colorIndex) : tr("No color");
    setAccessibleName(name);
    setToolTip(name);
}

QSize ColorSwatch::sizeHint() const
{
    const int side = diameter + 2 * (ringWidth + 1);
    return {side, side};
}

void ColorSwatch::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const QPointF centre = box.center();
    if (isChecked()) {
        p.setPen(QPen(palette().color(QPalette::WindowText), ringWidth));
        p.setBrush(Qt::NoBrush);
        const qreal r = diameter / 2.0 + ringWidth;
        p.drawEllipse(centre, r - ringWidth / 2.0, r - ringWidth / 2.0);
    }
    if (hasFocus()) {
        p.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(box);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(TagColors::color(m_index));
    p.drawEllipse(centre, diameter / 2.0, diameter / 2.0);
}
