// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/GlobalShortcutPortal.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QEventLoop>
#include <QTimer>
#include <QUuid>

namespace {

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString shortcutsInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString shortcutId = QStringLiteral("annotate-latest");

struct PortalShortcut
{
    QString id;
    QVariantMap properties;
};

QDBusArgument &operator<<(QDBusArgument &arg, const PortalShortcut &s)
{
    arg.beginStructure();
    arg << s.id << s.properties;
    arg.endStructure();
    return arg;
}

const QDBusArgument &operator>>(const QDBusArgument &arg, PortalShortcut &s)
{
    arg.beginStructure();
    arg >> s.id >> s.properties;
    arg.endStructure();
    return arg;
}

QString token() { return QStringLiteral("pictrove_") + QUuid::createUuid().toString(QUuid::Id128); }

} // namespace

Q_DECLARE_METATYPE(PortalShortcut)

bool GlobalShortcutPortal::isAvailable()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return false;
    }
    QDBusMessage get = QDBusMessage::createMethodCall(portalService, portalPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("Get"));
    get << shortcutsInterface << QStringLiteral("version");
    return bus.call(get, QDBus::Block, 2000).type() == QDBusMessage::ReplyMessage;
}

GlobalShortcutPortal::~GlobalShortcutPortal() { unregisterShortcut(); }

QString GlobalShortcutPortal::requestPath(const QString &t) const
{
    // The portal names its request object after our unique bus name and the handle token.
    QString sender = QDBusConnection::sessionBus().baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    return portalPath + QStringLiteral("/request/") + sender + QLatin1Char('/') + t;
}

bool GlobalShortcutPortal::watchResponse(const QString &path, const char *slot)
{
    return QDBusConnection::sessionBus().connect(portalService, path, QStringLiteral("org.freedesktop.portal.Request"),
                                                 QStringLiteral("Response"), this, slot);
}

int GlobalShortcutPortal::registerShortcut()
{
    if (!m_session.isEmpty()) {
        return 0;
    }
    // Creating the session asks nobody, so it is awaited; binding may show a dialog and is not.
    const QString t = token();
    if (!watchResponse(requestPath(t), SLOT(onSessionCreated(uint, QVariantMap)))) {
        return -2;
    }
    QDBusMessage create = QDBusMessage::createMethodCall(portalService, portalPath, shortcutsInterface,
                                                         QStringLiteral("CreateSession"));
    create << QVariantMap{{QStringLiteral("handle_token"), t}, {QStringLiteral("session_handle_token"), token()}};
    // The answer that matters is the Response signal; the method's reply only names the request.
    if (!QDBusConnection::sessionBus().send(create)) {
        return -3;
    }
    QEventLoop loop;
    QTimer timeout;
    timeout.setSingleShot(true);
    connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(this, &GlobalShortcutPortal::sessionReady, &loop, &QEventLoop::quit);
    connect(this, &GlobalShortcutPortal::registrationFailed, &loop, &QEventLoop::quit);
    timeout.start(3000);
    loop.exec();
    return m_session.isEmpty() ? -4 : 0;
}

void GlobalShortcutPortal::onSessionCreated(uint response, const QVariantMap &results)
{
    if (response != 0) {
        emit registrationFailed(-int(response) - 10);
        return;
    }
    m_session = results.value(QStringLiteral("session_handle")).toString();
    emit sessionReady();
    if (!m_activatedConnected) {
        m_activatedConnected = QDBusConnection::sessionBus().connect(
            portalService, portalPath, shortcutsInterface, QStringLiteral("Activated"), this,
            SLOT(onActivated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
    }
    qDBusRegisterMetaType<PortalShortcut>();
    qDBusRegisterMetaType<QList<PortalShortcut>>();
    const QString t = token();
    watchResponse(requestPath(t), SLOT(onBound(uint, QVariantMap)));
    const QList<PortalShortcut> shortcuts = {
        {shortcutId,
         {{QStringLiteral("description"), QStringLiteral("Annotate the newest screenshot")},
          {QStringLiteral("preferred_trigger"), QStringLiteral("CTRL+SHIFT+a")}}}};
    QDBusMessage bind = QDBusMessage::createMethodCall(portalService, portalPath, shortcutsInterface,
                                                       QStringLiteral("BindShortcuts"));
    bind << QVariant::fromValue(QDBusObjectPath(m_session)) << QVariant::fromValue(shortcuts) << QString()
         << QVariantMap{{QStringLiteral("handle_token"), t}};
    QDBusConnection::sessionBus().send(bind);
}

void GlobalShortcutPortal::onBound(uint response, const QVariantMap &)
{
    if (response != 0) {
        emit registrationFailed(-int(response) - 10);
    }
}

void GlobalShortcutPortal::onActivated(const QDBusObjectPath &session, const QString &id, qulonglong, const QVariantMap &)
{
    if (session.path() == m_session && id == shortcutId) {
        emit pressed();
    }
}

void GlobalShortcutPortal::unregisterShortcut()
{
    if (m_session.isEmpty()) {
        return;
    }
    QDBusConnection::sessionBus().send(QDBusMessage::createMethodCall(
        portalService, m_session, QStringLiteral("org.freedesktop.portal.Session"), QStringLiteral("Close")));
    m_session.clear();
}
