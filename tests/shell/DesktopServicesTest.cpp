// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop services on a private D-Bus session: notifications reach a notification
// server as the specification of org.freedesktop.Notifications wants them, and the single
// instance answers a later start.
#include "platform/Clipboard.h"
#include "platform/Notifications.h"
#include "platform/SingleInstance.h"

#include "common/PrivateSessionBus.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QMimeData>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QUrl>

namespace {

class FakeNotificationServer : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Call
    {
        QString app, icon, summary, body;
        QVariantMap hints;
        int timeout = 0;
    };
    QList<Call> calls;

public slots:
    Q_SCRIPTABLE uint Notify(const QString &app, uint, const QString &icon, const QString &summary,
                             const QString &body, const QStringList &, const QVariantMap &hints, int timeout)
    {
        calls.append({app, icon, summary, body, hints, timeout});
        return uint(calls.size());
    }
};

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
    QDBusConnection server = QDBusConnection::connectToBus(s_address, QStringLiteral("fake-server"));
    ASSERT_TRUE(server.isConnected());
    FakeNotificationServer fake;
    ASSERT_TRUE(server.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &fake,
                                      QDBusConnection::ExportScriptableSlots));
    ASSERT_TRUE(server.registerService(QStringLiteral("org.freedesktop.Notifications")));

    ASSERT_TRUE(Notifications::post(QStringLiteral("Screenshot Organized"), QStringLiteral("XTerm — screenshot_14-07-09.png")));
    for (int i = 0; i < 50 && fake.calls.isEmpty(); ++i) {
        QTest::qWait(20);
    }
    ASSERT_EQ(fake.calls.size(), 1);
    EXPECT_EQ(fake.calls[0].summary, "Screenshot Organized");
    EXPECT_EQ(fake.calls[0].body, "XTerm — screenshot_14-07-09.png");
    EXPECT_EQ(fake.calls[0].app, "Pictrove");
    EXPECT_EQ(fake.calls[0].hints.value("desktop-entry").toString(), "pictrove");
    EXPECT_EQ(fake.calls[0].timeout, -1);
    QDBusConnection::disconnectFromBus(QStringLiteral("fake-server"));
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
    for (int i = 0; i < 50 && requests == 0; ++i) {
        QTest::qWait(20);
    }
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

#include "DesktopServicesTest.moc"
