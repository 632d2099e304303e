// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop services on a private D-Bus session: notifications reach a notification
// server in the form org.freedesktop.Notifications wants, the single instance answers a later
// start, and the shortcut portal back end binds, reports a press and logs a refusal against a
// stand-in portal.
#include "app/AppSettings.h"
#include "app/HotkeyManager.h"
#include "platform/Clipboard.h"
#include "platform/GlobalShortcutPortal.h"
#include "platform/LoginItems.h"
#include "platform/Notifications.h"
#include "platform/SingleInstance.h"
#include "shell/FirstRun.h"

#include "common/PrivateSessionBus.h"
#include "common/StandInNotificationServer.h"
#include "common/TestLog.h"

#include <gtest/gtest.h>

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVirtualObject>
#include <QMimeData>
#include <QTest>
#include <QUrl>

namespace {

// The window tests run first and would make Qt settle on having no session bus: the private
// bus is made before any test, so the whole program runs on it.
struct BusFirst : ::testing::Environment
{
    void SetUp() override { PrivateSessionBus::shared(); }
};
const auto *const busFirst = ::testing::AddGlobalTestEnvironment(new BusFirst);

// All tests share that daemon: the process keeps its first session connection.
class PrivateBus : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (m_address.isEmpty()) {
            GTEST_SKIP() << "no private dbus-daemon";
        }
    }

    const QString m_address = PrivateSessionBus::shared().address();
};

TEST_F(PrivateBus, NotificationReachesTheServer)
{
    StandInNotificationServer fake(m_address);
    ASSERT_TRUE(fake.isRunning());

    ASSERT_TRUE(Notifications::post(QStringLiteral("Screenshot Organized"), QStringLiteral("XTerm — screenshot_14-07-09.png")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !fake.calls.isEmpty(); }, 5000));
    ASSERT_EQ(fake.calls.size(), 1);
    EXPECT_EQ(fake.calls[0].summary, "Screenshot Organized");
    EXPECT_EQ(fake.calls[0].body, "XTerm — screenshot_14-07-09.png");
    EXPECT_EQ(fake.calls[0].app, "Pictrove");
    EXPECT_EQ(fake.calls[0].hints.value("desktop-entry").toString(), "pictrove");
    EXPECT_EQ(fake.calls[0].timeout, -1);
    EXPECT_TRUE(fake.calls[0].actions.isEmpty());
}

TEST_F(PrivateBus, LaunchAtLoginIsOfferedOnceAndOnlyItsButtonTurnsItOn)
{
    StandInNotificationServer server(m_address);
    ASSERT_TRUE(server.isRunning());
    AppSettings settings;
    ASSERT_FALSE(LoginItems::isEnabled());
    QObject context;
    for (int start = 0; start < 3; ++start) {
        FirstRun::offerLaunchAtLogin(settings, &context);
        QTRY_VERIFY_WITH_TIMEOUT(settings.state(Settings::launchAtLoginOffered), 5000);
    }
    QTest::qWait(200); // a second offer would have reached the server by now
    ASSERT_EQ(server.calls.size(), 1);
    ASSERT_EQ(server.calls[0].actions.size(), 2); // key, label
    EXPECT_EQ(server.calls[0].actions[1], "Start Pictrove at login");
    EXPECT_FALSE(LoginItems::isEnabled()) << "switched on without being asked";
    server.press(2, server.calls[0].actions[0]); // another notification's button does nothing
    server.press(1, QStringLiteral("default"));
    QTest::qWait(200);
    EXPECT_FALSE(LoginItems::isEnabled());
    server.press(1, server.calls[0].actions[0]);
    server.close(1);
    QTRY_VERIFY_WITH_TIMEOUT(LoginItems::isEnabled(), 5000);
    // A later start still never asks again, also after the entry is removed.
    ASSERT_TRUE(LoginItems::setEnabled(false));
    AppSettings later;
    FirstRun::offerLaunchAtLogin(later, &context);
    QTest::qWait(200);
    EXPECT_EQ(server.calls.size(), 1);
}

TEST_F(PrivateBus, SingleInstanceOwnsTheNameAndAnswersActivate)
{
    SingleInstance instance;
    ASSERT_TRUE(instance.claim());
    QDBusConnection other = QDBusConnection::connectToBus(m_address, QStringLiteral("second-start"));
    EXPECT_TRUE(other.interface()->isServiceRegistered(QString::fromLatin1(SingleInstance::serviceName)));
    int requests = 0;
    QObject::connect(&instance, &SingleInstance::activateRequested, [&requests] { ++requests; });
    other.asyncCall(QDBusMessage::createMethodCall(QString::fromLatin1(SingleInstance::serviceName),
                                                  QString::fromLatin1(SingleInstance::objectPath),
                                                  QStringLiteral("com.pictrove.Pictrove"), QStringLiteral("Activate")));
    EXPECT_TRUE(QTest::qWaitFor([&requests] { return requests > 0; }, 5000));
    EXPECT_EQ(requests, 1);
    QDBusConnection::disconnectFromBus(QStringLiteral("second-start"));
}

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

class PortalBus : public PrivateBus
{
protected:
    void SetUp() override
    {
        PrivateBus::SetUp();
        if (IsSkipped()) {
            return;
        }
        m_bus = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(m_address, QStringLiteral("portal")));
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

    std::unique_ptr<QDBusConnection> m_bus;
    std::unique_ptr<FakePortal> m_portal;
};

// Granted, the shortcut is bound as asked and a press reaches the manager; refused, one log line.
TEST_F(PortalBus, BindsAndReportsPressesOrLogsARefusal)
{
    for (const bool granted : {true, false}) {
        m_portal->bindResponse = granted ? 0 : 1;
        m_portal->boundIds.clear();
        HotkeyManager manager([] { return std::make_unique<GlobalShortcutPortal>(); });
        int presses = 0;
        manager.onAnnotateLatest = [&presses] { ++presses; };
        EXPECT_EQ(TestLog::printed([&] { manager.registerHotkey(); QTest::qWait(300); }),
                  granted ? "" : "Pictrove: Failed to register hotkey (status -11)\n");
        EXPECT_EQ(manager.isRegistered(), granted);
        EXPECT_EQ(m_portal->boundIds, QStringList{"annotate-latest"});
        if (granted) {
            EXPECT_EQ(m_portal->preferredTrigger, "CTRL+SHIFT+a");
            m_portal->press();
            EXPECT_TRUE(QTest::qWaitFor([&presses] { return presses > 0; }, 5000));
            EXPECT_EQ(presses, 1);
        }
    }
}

TEST(Clipboard, FileManagersAndEditorsBothUnderstandIt)
{
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(Qt::red);
    std::unique_ptr<QMimeData> data(Clipboard::mimeDataFor(QStringLiteral("/tmp/a b/screenshot_01.png"), image));
    EXPECT_EQ(data->urls(), QList<QUrl>{QUrl::fromLocalFile(QStringLiteral("/tmp/a b/screenshot_01.png"))});
    EXPECT_EQ(data->data(QStringLiteral("x-special/gnome-copied-files")), "copy\nfile:///tmp/a%20b/screenshot_01.png");
    EXPECT_EQ(data->data(QStringLiteral("application/x-kde-cutselection")), "0");
    EXPECT_TRUE(data->hasImage());
    std::unique_ptr<QMimeData> fileOnly(Clipboard::mimeDataFor(QStringLiteral("/tmp/x.png"), QImage()));
    EXPECT_FALSE(fileOnly->hasImage());
}

} // namespace

