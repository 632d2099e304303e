// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop services on a private D-Bus session: notifications reach a notification
// server as the specification of org.freedesktop.Notifications wants them, and the single
// instance answers a later start.
#include "app/AppSettings.h"
#include "platform/Clipboard.h"
#include "platform/LoginItems.h"
#include "platform/Notifications.h"
#include "platform/SingleInstance.h"
#include "shell/FirstRun.h"

#include "common/PrivateSessionBus.h"
#include "common/StandInNotificationServer.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
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

// A dbus-daemon of this suite's own, made the session bus before anything connects to one
// (the process keeps its session connection, so all tests here share the daemon).
class PrivateBus : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { s_address = PrivateSessionBus::shared().address(); }

    void SetUp() override
    {
        if (s_address.isEmpty()) {
            GTEST_SKIP() << "no private dbus-daemon";
        }
    }

    static inline QString s_address;
};

TEST_F(PrivateBus, NotificationReachesTheServer)
{
    StandInNotificationServer fake(s_address);
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
    StandInNotificationServer server(s_address);
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
    QDBusConnection other = QDBusConnection::connectToBus(s_address, QStringLiteral("second-start"));
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

