// SPDX-License-Identifier: GPL-3.0-or-later
// The portal back end against a stand-in desktop portal on a private session bus: the
// session and binding handshake, the press, and a refusal.
#include "app/HotkeyManager.h"
#include "platform/GlobalShortcutPortal.h"

#include "common/PrivateSessionBus.h"

#include <gtest/gtest.h>

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVirtualObject>
#include <QTest>

namespace {

const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString shortcutsInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");

// Answers like xdg-desktop-portal: each request's outcome comes as a Response signal on the
// request object named after the caller and its handle token.
class FakePortal : public QDBusVirtualObject
{
public:
    explicit FakePortal(QDBusConnection bus) : m_bus(bus) {}

    uint bindResponse = 0; // 0 granted, 1 cancelled by the user
    QString session;
    QStringList boundIds;
    QString preferredTrigger;

    QString introspect(const QString &) const override { return {}; }

    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override
    {
        const QString member = message.member();
        if (message.interface() == QLatin1String("org.freedesktop.DBus.Properties") && member == QLatin1String("Get")) {
            connection.send(message.createReply(QVariant::fromValue(QDBusVariant(uint(1)))));
            return true;
        }
        if (member == QLatin1String("CreateSession")) {
            const QVariantMap options = qdbus_cast<QVariantMap>(message.arguments().value(0));
            session = portalPath + QStringLiteral("/session/") + sender(message) + QLatin1Char('/') +
                      options.value(QStringLiteral("session_handle_token")).toString();
            const QString request = requestPath(message, options);
            connection.send(message.createReply(QVariant::fromValue(QDBusObjectPath(request))));
            respond(request, 0, {{QStringLiteral("session_handle"), session}});
            return true;
        }
        if (member == QLatin1String("BindShortcuts")) {
            const QDBusArgument shortcuts = message.arguments().value(1).value<QDBusArgument>();
            shortcuts.beginArray();
            while (!shortcuts.atEnd()) {
                QString id;
                QVariantMap props;
                shortcuts.beginStructure();
                shortcuts >> id >> props;
                shortcuts.endStructure();
                boundIds << id;
                preferredTrigger = props.value(QStringLiteral("preferred_trigger")).toString();
            }
            shortcuts.endArray();
            const QVariantMap options = qdbus_cast<QVariantMap>(message.arguments().value(3));
            const QString request = requestPath(message, options);
            connection.send(message.createReply(QVariant::fromValue(QDBusObjectPath(request))));
            respond(request, bindResponse, {});
            return true;
        }
        return false;
    }

    void press()
    {
        QDBusMessage signal = QDBusMessage::createSignal(portalPath, shortcutsInterface, QStringLiteral("Activated"));
        signal << QVariant::fromValue(QDBusObjectPath(session)) << QStringLiteral("annotate-latest") << qulonglong(1)
               << QVariantMap();
        m_bus.send(signal);
    }

private:
    static QString sender(const QDBusMessage &message)
    {
        QString s = message.service().mid(1);
        return s.replace(QLatin1Char('.'), QLatin1Char('_'));
    }
    static QString requestPath(const QDBusMessage &message, const QVariantMap &options)
    {
        return portalPath + QStringLiteral("/request/") + sender(message) + QLatin1Char('/') +
               options.value(QStringLiteral("handle_token")).toString();
    }
    void respond(const QString &request, uint response, const QVariantMap &results)
    {
        QDBusMessage signal = QDBusMessage::createSignal(request, QStringLiteral("org.freedesktop.portal.Request"),
                                                         QStringLiteral("Response"));
        signal << response << results;
        m_bus.send(signal);
    }

    QDBusConnection m_bus;
};

class PortalBus : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { s_address = PrivateSessionBus::shared().address(); }

    void SetUp() override
    {
        if (s_address.isEmpty()) {
            GTEST_SKIP() << "no private dbus-daemon";
        }
        m_bus = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(s_address, QStringLiteral("portal")));
        m_portal = std::make_unique<FakePortal>(*m_bus);
        ASSERT_TRUE(m_bus->registerVirtualObject(portalPath, m_portal.get()));
        ASSERT_TRUE(m_bus->registerService(QStringLiteral("org.freedesktop.portal.Desktop")));
    }
    void TearDown() override
    {
        if (m_bus) {
            m_bus->unregisterService(QStringLiteral("org.freedesktop.portal.Desktop"));
            m_bus->unregisterObject(portalPath);
            m_bus.reset();
            QDBusConnection::disconnectFromBus(QStringLiteral("portal"));
        }
    }

    static inline QString s_address;
    std::unique_ptr<QDBusConnection> m_bus;
    std::unique_ptr<FakePortal> m_portal;
};

TEST_F(PortalBus, BindsAndReportsPresses)
{
    HotkeyManager manager([] { return std::make_unique<GlobalShortcutPortal>(); });
    int presses = 0;
    manager.onAnnotateLatest = [&presses] { ++presses; };
    manager.registerHotkey();
    EXPECT_TRUE(manager.isRegistered());
    QTest::qWait(200);
    EXPECT_EQ(m_portal->boundIds, QStringList{"annotate-latest"});
    EXPECT_EQ(m_portal->preferredTrigger, "CTRL+SHIFT+a");
    m_portal->press();
    EXPECT_TRUE(QTest::qWaitFor([&presses] { return presses > 0; }, 5000));
    EXPECT_EQ(presses, 1);
}

TEST_F(PortalBus, RefusedBindingIsLoggedAndLetsARetryThrough)
{
    m_portal->bindResponse = 1;
    HotkeyManager manager([] { return std::make_unique<GlobalShortcutPortal>(); });
    testing::internal::CaptureStdout();
    manager.registerHotkey();
    QTest::qWait(300);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Pictrove: Failed to register hotkey (status -11)\n");
    EXPECT_FALSE(manager.isRegistered());
}

} // namespace
