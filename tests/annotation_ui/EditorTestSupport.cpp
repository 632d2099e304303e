// SPDX-License-Identifier: GPL-3.0-or-later
#include "EditorTestSupport.h"

#include "common/TestEnvironment.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QMouseEvent>
#include <QWidget>

namespace EditorTestSupport {

namespace {

void send(QWidget *w, QEvent::Type type, const QPointF &p, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, p, w->mapToGlobal(p), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

} // namespace

void press(QWidget *w, const QPointF &p) { send(w, QEvent::MouseButtonPress, p, Qt::LeftButton); }
void move(QWidget *w, const QPointF &p) { send(w, QEvent::MouseMove, p, Qt::LeftButton); }
void release(QWidget *w, const QPointF &p) { send(w, QEvent::MouseButtonRelease, p, Qt::NoButton); }

void drag(QWidget *w, const QPointF &from, const QPointF &to)
{
    press(w, from);
    move(w, (from + to) / 2);
    move(w, to);
    release(w, to);
}

void click(QWidget *w, const QPointF &p)
{
    press(w, p);
    release(w, p);
}

QString writeImage(const QString &name, int width, int height, const QColor &color)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    const QString folder = TestEnvironment::makeFolder(QStringLiteral("images-") + name);
    const QString path = folder + QLatin1Char('/') + name;
    image.save(path);
    return path;
}

} // namespace EditorTestSupport
