// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ThumbnailBadge.h"

#include "ui/Symbols.h"

#include <QPainter>
#include <QPropertyAnimation>

ThumbnailBadge::ThumbnailBadge(QWidget *parent) : QAbstractButton(parent)
{
    setFixedSize(24, 24);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    setToolTip(QStringLiteral("Sensitive info detected — click to redact"));
    setAccessibleName(QStringLiteral("Sensitive info detected"));
}

void ThumbnailBadge::setScale(qreal s)
{
    m_scale = s;
    update();
}

void ThumbnailBadge::appear()
{
    auto *grow = new QPropertyAnimation(this, "scale", this);
    grow->setStartValue(0.1);
    grow->setEndValue(1.0);
    grow->setDuration(250);
    grow->start(QAbstractAnimation::DeleteWhenStopped);
}

void ThumbnailBadge::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c = QRectF(rect()).center();
    p.translate(c);
    p.scale(m_scale, m_scale);
    p.translate(-c);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, int(255 * 0.55)));
    p.drawEllipse(QRectF(rect()));
    // White mark on a system-orange shield.
    Symbols::paint(p, Symbols::Symbol::ExclamationShield, QRectF(4, 4, 16, 16), Qt::white, QColor(0xff, 0x95, 0x00));
}
