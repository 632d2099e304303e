// SPDX-License-Identifier: GPL-3.0-or-later
#include "annotation/widgets/RedactionButton.h"

#include "ui/Symbols.h"

#include <QEvent>
#include <QPainter>

RedactionButton::RedactionButton(QWidget *parent) : QToolButton(parent)
{
    setAutoRaise(true);
    setFixedSize(28, 28);
    setIconSize(QSize(18, 18));
    setFocusPolicy(Qt::StrongFocus);
    m_spin.setInterval(60);
    connect(&m_spin, &QTimer::timeout, this, [this] {
        m_angle = (m_angle + 30) % 360;
        update();
    });
    refreshIcon();
}

void RedactionButton::setState(State state)
{
    if (state == m_state) {
        return;
    }
    m_state = state;
    setEnabled(state != State::scanning);
    setAccessibleDescription(state == State::scanning       ? QStringLiteral("Scanning")
                             : state == State::foundNothing ? QStringLiteral("Nothing found")
                                                            : QString());
    if (state == State::scanning) {
        m_spin.start();
    } else {
        m_spin.stop();
    }
    refreshIcon();
    update();
}

void RedactionButton::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange) {
        refreshIcon();
    }
    QToolButton::changeEvent(event);
}

void RedactionButton::refreshIcon()
{
    if (m_state == State::foundNothing) {
        QColor secondary = palette().color(QPalette::WindowText);
        secondary.setAlphaF(0.55);
        setIcon(Symbols::themedIcon(Symbols::Symbol::ShieldSlash, secondary));
    } else {
        setIcon(Symbols::themedIcon(Symbols::Symbol::ShieldHalfFilled, palette().color(QPalette::Highlight)));
    }
}

void RedactionButton::paintEvent(QPaintEvent *event)
{
    if (m_state != State::scanning) {
        QToolButton::paintEvent(event);
        return;
    }
    // A small indeterminate progress ring in place of the icon.
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF ring = QRectF(rect()).adjusted(7, 7, -7, -7);
    QColor track = palette().color(QPalette::WindowText);
    track.setAlphaF(0.15);
    p.setPen(QPen(track, 2));
    p.drawEllipse(ring);
    p.setPen(QPen(palette().color(QPalette::Highlight), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(ring, -m_angle * 16, 100 * 16);
}
