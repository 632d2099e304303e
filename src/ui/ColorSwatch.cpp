// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ColorSwatch.h"

#include <QPainter>

namespace {
constexpr int kGap = 2;  // between the circle and the ring
constexpr int kRing = 2;
} // namespace

ColorSwatch::ColorSwatch(const QString &name, const QColor &color, QWidget *parent, int diameter)
    : QAbstractButton(parent), m_color(color), m_diameter(diameter)
{
    setText(name);
    setToolTip(name);
    setAccessibleName(name);
    setCheckable(true);
    setFixedSize(sizeHint());
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
}

QSize ColorSwatch::sizeHint() const
{
    const int side = m_diameter + 2 * (kGap + kRing);
    return QSize(side, side);
}

void ColorSwatch::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF all = QRectF(rect());
    const QRectF circle = all.adjusted(kGap + kRing, kGap + kRing, -kGap - kRing, -kGap - kRing);
    p.setPen(Qt::NoPen);
    p.setBrush(m_color);
    p.drawEllipse(circle);
    if (m_color.lightnessF() > 0.9) {
        // A light swatch needs an edge to show on a light bar.
        p.setPen(QPen(QColor(128, 128, 128, 77), 1));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(circle.adjusted(0.5, 0.5, -0.5, -0.5));
    }
    const QColor accent = palette().color(QPalette::Highlight);
    if (isChecked() || hasFocus()) {
        QPen ring(accent, kRing, isChecked() ? Qt::SolidLine : Qt::DotLine);
        p.setPen(ring);
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(all.adjusted(kRing / 2.0, kRing / 2.0, -kRing / 2.0, -kRing / 2.0));
    }
}
