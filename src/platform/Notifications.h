// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

#include <functional>

// User notifications through the desktop's notification server
// (org.freedesktop.Notifications on the session bus).
class Notifications
{
public:
    // Desktop notification servers need no permission; kept so callers read as the flow says.
    static void requestAlertPermission() {}

    // Posts at once without waiting for the server; returns false when no session bus exists.
    static bool post(const QString &title, const QString &body);

    // Posts a notification with one button. `posted` hears whether the server took it;
    // `pressed` runs when the user presses the button. Both run on the main thread, and
    // neither after `context` is gone.
    static void postWithAction(const QString &title, const QString &body, const QString &actionLabel,
                               QObject *context, std::function<void(bool)> posted, std::function<void()> pressed);
};
