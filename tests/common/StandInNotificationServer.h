// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

// A notification server on the private session bus: records each Notify call, presses a
// notification's button and closes it as a person would.
class StandInNotificationServer : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Call
    {
        QString app, icon, summary, body;
        QStringList actions;
        QVariantMap hints;
        int timeout = 0;
    };

    // Connects to the bus at address and takes the server's name; isRunning() says if it did.
    explicit StandInNotificationServer(const QString &address)
        : m_bus(QDBusConnection::connectToBus(address, m_name))
    {
        m_running = m_bus.isConnected()
                    && m_bus.registerObject(m_path, this, QDBusConnection::ExportScriptableSlots |
                                                              QDBusConnection::ExportScriptableSignals)
                    && m_bus.registerService(m_service);
    }
    ~StandInNotificationServer() override
    {
        m_bus.unregisterService(m_service);
        m_bus.unregisterObject(m_path);
        QDBusConnection::disconnectFromBus(m_name);
    }
    bool isRunning() const { return m_running; }

    QList<Call> calls;
    // Presses the button with this key on notification id (ids count from 1 in call order).
    void press(uint id, const QString &key) { emit ActionInvoked(id, key); }
    void close(uint id) { emit NotificationClosed(id, 2); } // dismissed by the user

public slots:
    Q_SCRIPTABLE uint Notify(const QString &app, uint replaces, const QString &icon, const QString &summary,
                             const QString &body, const QStringList &actions, const QVariantMap &hints, int timeout)
    {
        Q_UNUSED(replaces);
        calls.append({app, icon, summary, body, actions, hints, timeout});
        return uint(calls.size());
    }

signals:
    Q_SCRIPTABLE void ActionInvoked(uint id, const QString &key);
    Q_SCRIPTABLE void NotificationClosed(uint id, uint reason);

private:
    const QString m_name = QStringLiteral("stand-in-notifications");
    const QString m_service = QStringLiteral("org.freedesktop.Notifications");
    const QString m_path = QStringLiteral("/org/freedesktop/Notifications");
    QDBusConnection m_bus;
    bool m_running = false;
};
