// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/GlobalShortcutKGlobalAccel.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QKeyCombination>

namespace {

const QString service = QStringLiteral("org.kde.kglobalaccel");
const QString component = QStringLiteral("pictrove");
const QString action = QStringLiteral("annotate-latest");

QStringList actionId()
{
    return {component, action, QStringLiteral("Pictrove"), QStringLiteral("Annotate Latest Screenshot")};
}

QDBusMessage call(const QString &method, const QVariantList &args)
{
    QDBusMessage m = QDBusMessage::createMethodCall(service, QStringLiteral("/kglobalaccel"),
                                                    QStringLiteral("org.kde.KGlobalAccel"), method);
    m.setArguments(args);
    return QDBusConnection::sessionBus().call(m, QDBus::Block, 3000);
}

} // namespace

bool GlobalShortcutKGlobalAccel::isAvailable()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.isConnected() && bus.interface() && bus.interface()->isServiceRegistered(service).value();
}

int GlobalShortcutKGlobalAccel::registerShortcut()
{
    QDBusMessage reply = call(QStringLiteral("doRegister"), {actionId()});
    if (reply.type() == QDBusMessage::ErrorMessage) {
        return -2;
    }
    const int keys = QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_A).toCombined();
    // Flags: SetPresent (2) | NoAutoloading (4), so our choice wins over a stale stored one.
    reply = call(QStringLiteral("setShortcut"), {actionId(), QVariant::fromValue(QList<int>{keys}), uint(2 | 4)});
    if (reply.type() == QDBusMessage::ErrorMessage) {
        return -3;
    }
    const QList<int> granted = qdbus_cast<QList<int>>(reply.arguments().value(0));
    if (!granted.contains(keys)) {
        return -4; // another application holds the combination
    }
    if (!m_connected) {
        m_connected = QDBusConnection::sessionBus().connect(
            service, QStringLiteral("/component/") + component, QStringLiteral("org.kde.kglobalaccel.Component"),
            QStringLiteral("globalShortcutPressed"), this, SLOT(onPressed(QString, QString, qlonglong)));
    }
    return 0;
}

void GlobalShortcutKGlobalAccel::unregisterShortcut()
{
    call(QStringLiteral("setInactive"), {actionId()});
}

void GlobalShortcutKGlobalAccel::onPressed(const QString &c, const QString &a, qlonglong)
{
    if (c == component && a == action) {
        emit pressed();
    }
}
