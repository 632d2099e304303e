// SPDX-License-Identifier: GPL-3.0-or-later
#include "annotation/widgets/ColorWell.h"

#include <QColorDialog>
#include <QPainter>

ColorWell::ColorWell(QWidget *parent) : QAbstractButton(parent)
{
    setToolTip(QStringLiteral("Custom color"));
    setAccessibleName(QStringLiteral("Custom color"));
    setFixedSize(sizeHint());
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QAbstractButton::clicked, this, &ColorWell::openDialog);
}

void ColorWell::setColor(const QColor &color)
{
    if (color != m_color) {
        m_color = color;
        update();
    }
}

void ColorWell::openDialog()
{
    if (m_dialog) {
        m_dialog->raise();
        return;
    }
    m_dialog = new QColorDialog(m_color, this);
    m_dialog->setWindowTitle(QStringLiteral("Custom color"));
    m_dialog->setOption(QColorDialog::ShowAlphaChannel);
    m_dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_dialog, &QColorDialog::colorSelected, this, [this](const QColor &c) {
        setColor(c);
        emit colorPicked(c);
    });
    m_dialog->open();
}

void ColorWell::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(1, 1, -1, -1);
    // A conic rim says "any colour"; the middle shows the current one over a checkerboard,
    // so a translucent choice reads as such.
    QConicalGradient rim(box.center(), 90);
    for (int i = 0; i <= 6; ++i) {
        rim.setColorAt(i / 6.0, QColor::fromHsvF(i % 6 / 6.0, 0.85, 0.95));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(rim);
    p.drawEllipse(box);
    const QRectF inner = box.adjusted(4, 4, -4, -4);
    p.setBrush(Qt::white);
    p.drawEllipse(inner);
    p.setBrush(QBrush(QColor(200, 200, 200), Qt::Dense4Pattern));
    p.drawEllipse(inner);
    p.setBrush(m_color);
    p.drawEllipse(inner);
    if (hasFocus()) {
        p.setPen(QPen(palette().color(QPalette::Highlight), 1.5, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(rect()).adjusted(0.75, 0.75, -0.75, -0.75));
    }
}
