// SPDX-License-Identifier: GPL-3.0-or-later
#include "annotation/widgets/ToolButton.h"

#include "ui/Symbols.h"

#include <QPainter>
#include <QPainterPath>

ToolButton::ToolButton(AnnotationTool tool, QWidget *parent) : QAbstractButton(parent), m_tool(tool)
{
    const QString name = AnnotationTools::displayName(tool);
    setText(name);
    setToolTip(name);
    setAccessibleName(name);
    setCheckable(true);
    setFixedSize(kSize);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::ArrowCursor);
}

void ToolButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor accent = palette().color(QPalette::Highlight);
    const QRectF box = QRectF(rect()).adjusted(0.75, 0.75, -0.75, -0.75);
    if (isChecked()) {
        QColor fill = accent;
        fill.setAlphaF(0.2);
        p.setPen(QPen(accent, 1.5));
        p.setBrush(fill);
        p.drawRoundedRect(box, 6, 6);
    } else if (isDown() || underMouse()) {
        QColor fill = palette().color(QPalette::WindowText);
        fill.setAlphaF(isDown() ? 0.14 : 0.07);
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawRoundedRect(box, 6, 6);
    }
    if (hasFocus()) {
        p.setPen(QPen(accent, 1, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(box.adjusted(2, 2, -2, -2), 4, 4);
    }
    const QColor fg = palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText);
    const QRect iconRect((width() - 20) / 2, 4, 20, 20);
    if (const std::optional<Symbols::Symbol> s = Symbols::named(AnnotationTools::symbolName(m_tool))) {
        Symbols::themedIcon(*s, fg).paint(&p, iconRect.adjusted(2, 2, -2, -2));
    }
    QFont f = font();
    f.setPixelSize(9);
    p.setFont(f);
    p.setPen(fg);
    p.drawText(QRect(0, iconRect.bottom() + 2, width(), 12), Qt::AlignHCenter | Qt::AlignTop, text());
}
