// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ActiveWindowSource.h"

#include <memory>

// Follows the EWMH _NET_ACTIVE_WINDOW property of the root window on a connection of its own,
// so it works whichever Qt platform plugin runs (and in tests without one).
class X11ActiveWindowSource : public ActiveWindowSource
{
    Q_OBJECT

public:
    // Returns null when no X server can be reached or the window manager does not
    // publish the active window; `error` then says why.
    static std::unique_ptr<X11ActiveWindowSource> open(QString *error = nullptr);
    ~X11ActiveWindowSource() override;

    std::optional<ActiveWindow> current() override;

private:
    struct Private;
    explicit X11ActiveWindowSource(std::unique_ptr<Private> d);
    void readEvents();

    std::unique_ptr<Private> d;
};
