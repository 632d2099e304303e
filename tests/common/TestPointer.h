// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QList>
#include <QMouseEvent>
#include <QWidget>

// Left-button pointer gestures sent straight to a widget.
namespace TestPointer {

inline void send(QWidget *w, QEvent::Type type, const QPointF &p)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, p, w->mapToGlobal(p), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

// Press at `from`, move through `moves`, release at `to`.
inline void gesture(QWidget *w, const QPointF &from, const QList<QPointF> &moves, const QPointF &to)
{
    send(w, QEvent::MouseButtonPress, from);
    for (const QPointF &m : moves) {
        send(w, QEvent::MouseMove, m);
    }
    send(w, QEvent::MouseButtonRelease, to);
}

// One move half-way, one to `to`.
inline void drag(QWidget *w, const QPointF &from, const QPointF &to) { gesture(w, from, {(from + to) / 2, to}, to); }

inline void click(QWidget *w, const QPointF &p) { gesture(w, p, {}, p); }

} // namespace TestPointer
