// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ActiveWindow.h"

#include <QObject>

#include <memory>
#include <optional>

// Tells which application's window is in front, and when another application comes to the
// front. Main thread only.
class ActiveWindowSource : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // The window in front now, or none when no window is.
    virtual std::optional<ActiveWindow> current() = 0;

    // The X11 source where an X server is reachable, else a source that never knows a window;
    // `whyNull` then says why.
    static std::unique_ptr<ActiveWindowSource> create(QString *whyNull = nullptr);

signals:
    // Another application's window came to the front.
    void activated(const ActiveWindow &window);
};
