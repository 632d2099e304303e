// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Notifications.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

bool Notifications::post(const QString &title, const QString &body)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return false;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
                                       QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    // The desktop-entry hint lets the server show our name and icon and group our notices.
    const QVariantMap hints = {{QStringLiteral("desktop-entry"), QStringLiteral("pictrove")}};
    call << QStringLiteral("Pictrove") << uint(0) << QStringLiteral("pictrove") << title << body << QStringList()
         << hints << int(-1);
    // Fire and forget: a missing or slow server must never hold up filing the next capture.
    return bus.send(call);
}
