// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

// Pointer gestures for the editor's widget tests.
namespace EditorTestSupport {

inline void send(QWidget *w, QEvent::Type type, const QPointF &p, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, p, w->mapToGlobal(p), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

// Press at `from`, one move half-way, one to `to`, release there.
inline void drag(QWidget *w, const QPointF &from, const QPointF &to)
{
    send(w, QEvent::MouseButtonPress, from, Qt::LeftButton);
    send(w, QEvent::MouseMove, (from + to) / 2, Qt::LeftButton);
    send(w, QEvent::MouseMove, to, Qt::LeftButton);
    send(w, QEvent::MouseButtonRelease, to, Qt::NoButton);
}

inline void click(QWidget *w, const QPointF &p)
{
    send(w, QEvent::MouseButtonPress, p, Qt::LeftButton);
    send(w, QEvent::MouseButtonRelease, p, Qt::NoButton);
}

} // namespace EditorTestSupport
