// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QEvent>
#include <QObject>
#include <QWidget>

// Sets a flag once the watched widget has finished handling a paint event.
class PaintWatcher : public QObject
{
public:
    bool painted = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            // Let the widget paint first, then record it: the time includes the paint itself.
            auto *widget = static_cast<QWidget *>(watched);
            widget->removeEventFilter(this);
            QApplication::sendEvent(widget, event);
            painted = true;
            return true;
        }
        return QObject::eventFilter(watched, event);
    }
};
