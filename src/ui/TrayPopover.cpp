// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/TrayPopover.h"

#include "ui/MenuBarView.h"
#include "ui/PopoverGeometry.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>

TrayPopover::TrayPopover(MenuBarView *content)
    : QWidget(nullptr, Qt::Popup | Qt::FramelessWindowHint), m_content(content)
{
    setWindowTitle(QStringLiteral("Pictrove"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    m_scroll = new QScrollArea(this);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setWidgetResizable(true);
    m_scroll->setWidget(content);
    layout->addWidget(m_scroll);
    connect(content, &MenuBarView::commandChosen, this, &QWidget::close);
    connect(content, &MenuBarView::contentSizeChanged, this, &TrayPopover::followContentSize);
}

QSize TrayPopover::contentSize() const
{
    m_content->adjustSize();
    return PopoverGeometry::contentSize(m_content->sizeHint());
}

void TrayPopover::toggle()
{
    if (isVisible()) {
        close();
        return;
    }
    if (m_closedAt.isValid() && m_closedAt.elapsed() < 250) {
        return;
    }
    showAtPointer();
}

void TrayPopover::showAtPointer()
{
    const QSize content = contentSize();
    const QSize size = content + QSize(2, 2);
    setFixedSize(size);
    const QRect icon = m_anchor ? m_anchor() : QRect();
    const QPoint pointer = icon.isValid() && !icon.isEmpty() ? QPoint(icon.center().x(), icon.bottom()) : QCursor::pos();
    QScreen *screen = QGuiApplication::screenAt(pointer);
    if (!screen) {
        screen = QGuiApplication::primaryScreen();
    }
    m_available = screen ? screen->availableGeometry() : QRect(0, 0, 0, 0);
    move(PopoverGeometry::placement(pointer, size, m_available));
    show();
    raise();
    activateWindow();
}

void TrayPopover::followContentSize()
{
    if (!isVisible()) {
        return;
    }
    // Grow or shrink from the top edge, staying inside the screen.
    const QSize size = contentSize() + QSize(2, 2);
    QPoint topLeft = pos();
    const int bottom = m_available.y() + m_available.height();
    if (topLeft.y() + size.height() > bottom) {
        topLeft.setY(std::max(m_available.y(), bottom - size.height()));
    }
    setFixedSize(size);
    move(topLeft);
}

void TrayPopover::hideEvent(QHideEvent *)
{
    m_closedAt.start();
}

void TrayPopover::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    QColor border = palette().color(QPalette::WindowText);
    border.setAlphaF(0.25);
    p.fillRect(rect(), border);
}
