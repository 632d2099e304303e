// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// User notifications through the desktop's notification server
// (org.freedesktop.Notifications on the session bus).
class Notifications
{
public:
    // Desktop notification servers need no permission; kept so callers read as the flow says.
    static void requestAlertPermission() {}

    // Posts at once without waiting for the server; returns false when no session bus exists.
    static bool post(const QString &title, const QString &body);
};
