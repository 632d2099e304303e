// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ActiveWindowSource.h"

#include "platform/ActiveWindowNullSource.h"
#include "platform/X11ActiveWindowSource.h"

std::unique_ptr<ActiveWindowSource> ActiveWindowSource::create(QString *whyNull)
{
    // Under Wayland the compositor hides other clients' windows; XWayland's root window still
    // carries _NET_ACTIVE_WINDOW for X clients, which is better than nothing.
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        if (whyNull) {
            *whyNull = QStringLiteral("no X11 display");
        }
        return std::make_unique<ActiveWindowNullSource>();
    }
    QString error;
    if (std::unique_ptr<X11ActiveWindowSource> x11 = X11ActiveWindowSource::open(&error)) {
        return x11;
    }
    if (whyNull) {
        *whyNull = error;
    }
    return std::make_unique<ActiveWindowNullSource>();
}
