// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/SingleInstance.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>

bool SingleInstance::claim()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return true;
    }
    bus.registerObject(QString::fromLatin1(objectPath), this, QDBusConnection::ExportScriptableSlots);
    // Taking the name is atomic on the bus, so two starts at the same moment cannot both win.
    if (bus.registerService(QString::fromLatin1(serviceName))) {
        return true;
    }
    bus.unregisterObject(QString::fromLatin1(objectPath));
    const QDBusMessage call = QDBusMessage::createMethodCall(
        QString::fromLatin1(serviceName), QString::fromLatin1(objectPath), QStringLiteral("com.pictrove.Pictrove"),
        QStringLiteral("Activate"));
    bus.call(call, QDBus::Block, 5000);
    return false;
}

bool SingleInstance::postToRunning(const QString &name, const QVariantMap &userInfo)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()->isServiceRegistered(QString::fromLatin1(serviceName))) {
        return false;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(serviceName), QString::fromLatin1(objectPath),
                                                       QStringLiteral("com.pictrove.Pictrove"),
                                                       QStringLiteral("OpenWindow"));
    call << name << userInfo;
    return bus.call(call, QDBus::Block, 5000).type() == QDBusMessage::ReplyMessage;
}

void SingleInstance::Activate() { emit activateRequested(); }

void SingleInstance::OpenWindow(const QString &name, const QVariantMap &userInfo)
{
    emit openWindowRequested(name, userInfo);
}
