// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QPointF>
#include <QString>

class QWidget;

// Pointer gestures and pictures for the editor's widget tests.
namespace EditorTestSupport {

void press(QWidget *w, const QPointF &p);
void move(QWidget *w, const QPointF &p);
void release(QWidget *w, const QPointF &p);
// Press at `from`, one move half-way, one to `to`, release there.
void drag(QWidget *w, const QPointF &from, const QPointF &to);
void click(QWidget *w, const QPointF &p);

// A PNG of the size in one colour under the temporary home; returns its path.
QString writeImage(const QString &name, int width, int height, const QColor &color = QColor(200, 210, 220));

} // namespace EditorTestSupport
