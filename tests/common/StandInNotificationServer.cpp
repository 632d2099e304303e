// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/StandInNotificationServer.h"

#include <QDBusConnectionInterface>

StandInNotificationServer::StandInNotificationServer(const QString &address)
    : m_name(QStringLiteral("stand-in-notifications"))
    , m_bus(QDBusConnection::connectToBus(address, m_name))
{
    m_running = m_bus.isConnected()
                && m_bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), this,
                                        QDBusConnection::ExportScriptableSlots | QDBusConnection::ExportScriptableSignals)
                && m_bus.registerService(QStringLiteral("org.freedesktop.Notifications"));
}

StandInNotificationServer::~StandInNotificationServer()
{
    m_bus.unregisterService(QStringLiteral("org.freedesktop.Notifications"));
    m_bus.unregisterObject(QStringLiteral("/org/freedesktop/Notifications"));
    QDBusConnection::disconnectFromBus(m_name);
}

uint StandInNotificationServer::Notify(const QString &app, uint, const QString &icon, const QString &summary,
                                       const QString &body, const QStringList &actions, const QVariantMap &hints,
                                       int timeout)
{
    calls.append({app, icon, summary, body, actions, hints, timeout});
    return uint(calls.size());
}
