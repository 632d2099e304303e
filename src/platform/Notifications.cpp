// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Notifications.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QVariantMap>

namespace {

const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString path = QStringLiteral("/org/freedesktop/Notifications");
const QString interface = QStringLiteral("org.freedesktop.Notifications");
const QString actionKey = QStringLiteral("pictrove-action");

QDBusMessage notifyCall(const QString &title, const QString &body, const QStringList &actions)
{
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, QStringLiteral("Notify"));
    // The desktop-entry hint lets the server show our name and icon and group our notices.
    const QVariantMap hints = {{QStringLiteral("desktop-entry"), QStringLiteral("pictrove")}};
    call << QStringLiteral("Pictrove") << uint(0) << QStringLiteral("pictrove") << title << body << actions << hints
         << int(-1);
    return call;
}

// Listens for the server's answer to one notification and ends when it is closed.
class ActionListener : public QObject
{
    Q_OBJECT

public:
    ActionListener(QObject *context, std::function<void()> pressed) : QObject(context), m_pressed(std::move(pressed))
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.connect(service, path, interface, QStringLiteral("ActionInvoked"), this, SLOT(actionInvoked(uint, QString)));
        bus.connect(service, path, interface, QStringLiteral("NotificationClosed"), this, SLOT(closed(uint, uint)));
    }

    uint id = 0;

public slots:
    void actionInvoked(uint notification, const QString &key)
    {
        if (id != 0 && notification == id && key == actionKey && m_pressed) {
            m_pressed();
        }
    }
    void closed(uint notification, uint)
    {
        if (id != 0 && notification == id) {
            deleteLater();
        }
    }

private:
    std::function<void()> m_pressed;
};

} // namespace

bool Notifications::post(const QString &title, const QString &body)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return false;
    }
    // Fire and forget: a missing or slow server must never hold up filing the next capture.
    return bus.send(notifyCall(title, body, {}));
}

void Notifications::postWithAction(const QString &title, const QString &body, const QString &actionLabel,
                                   QObject *context, std::function<void(bool)> posted, std::function<void()> pressed)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        if (posted) {
            posted(false);
        }
        return;
    }
    auto *listener = new ActionListener(context, std::move(pressed));
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(notifyCall(title, body, {actionKey, actionLabel})), listener);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, listener,
                     [listener, watcher, posted = std::move(posted)] {
                         const QDBusPendingReply<uint> reply = *watcher;
                         watcher->deleteLater();
                         if (reply.isError()) {
                             listener->deleteLater();
                         } else {
                             listener->id = reply.value();
                         }
                         if (posted) {
                             posted(!reply.isError());
                         }
                     });
}

#include "Notifications.moc"
