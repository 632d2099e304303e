// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/GnomeShellActiveWindowSource.h"

#include "common/PrivateSessionBus.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QMutex>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

namespace {

const QString kPath = QStringLiteral("/com/pictrove/FocusedWindow");
const QString kInterface = QStringLiteral("com.pictrove.FocusedWindow");

// Stands in for the Shell extension on a connection and thread of its own, so the back end's
// blocking Get() is answered while the test's thread waits.
class FakeExtension : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.pictrove.FocusedWindow")

public:
    void setFocus(const QString &appId, const QString &wmClass, uint pid)
    {
        QMutexLocker lock(&m_mutex);
        m_appId = appId;
        m_wmClass = wmClass;
        m_pid = pid;
    }

public slots:
    QString Get(QString &wmClass, uint &pid)
    {
        QMutexLocker lock(&m_mutex);
        wmClass = m_wmClass;
        pid = m_pid;
        return m_appId;
    }

private:
    QMutex m_mutex;
    QString m_appId, m_wmClass;
    uint m_pid = 0;
};

class GnomeShellActiveWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (m_bus->address().isEmpty()) {
            GTEST_SKIP() << m_bus->problem().toStdString();
        }
        m_thread.start();
        m_fake.moveToThread(&m_thread);
        ASSERT_TRUE(m_service.registerObject(kPath, &m_fake, QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(m_service.registerService(GnomeShellActiveWindowSource::serviceName()));
    }
    void TearDown() override
    {
        m_service.unregisterService(GnomeShellActiveWindowSource::serviceName());
        m_service.unregisterObject(kPath);
        QDBusConnection::disconnectFromBus(QStringLiteral("fake-shell"));
        m_thread.quit();
        m_thread.wait();
    }
    void emitFocus(const QString &appId, const QString &wmClass, uint pid)
    {
        m_fake.setFocus(appId, wmClass, pid);
        QDBusMessage signal = QDBusMessage::createSignal(kPath, kInterface, QStringLiteral("FocusChanged"));
        signal << appId << wmClass << pid;
        ASSERT_TRUE(m_service.send(signal));
    }

    PrivateSessionBus *m_bus = &PrivateSessionBus::shared();
    QDBusConnection m_service = QDBusConnection::connectToBus(m_bus->address(), QStringLiteral("fake-shell"));
    QThread m_thread;
    FakeExtension m_fake;
};

TEST_F(GnomeShellActiveWindow, ReadsAtStartThenFollowsFocusChanges)
{
    m_fake.setFocus("org.gnome.Calculator", "gnome-calculator", 31);
    std::unique_ptr<GnomeShellActiveWindowSource> source =
        GnomeShellActiveWindowSource::open(QDBusConnection::sessionBus());
    ASSERT_TRUE(source);
    ASSERT_TRUE(source->current());
    EXPECT_EQ(source->current()->applicationId, "org.gnome.Calculator");

    struct Case
    {
        const char *what;
        QString appId, wmClass;
        uint pid;
        ActiveWindow expected; // empty: no application, named "Unknown"
    };
    const Case cases[] = {
        {"Wayland app id", "foot.desktop", "foot", 42, {"foot", {}, "foot", 42}},
        {"XWayland window: WM class only", {}, "XTerm", 43, {"XTerm", {}, {}, 43}},
        {"nothing known: no stale name, pid not guessed", {}, {}, 44, {}},
        {"known again", "org.gnome.Nautilus", {}, 45, {{}, {}, "org.gnome.Nautilus", 45}},
    };
    for (const Case &c : cases) {
        std::optional<ActiveWindow> got;
        const QMetaObject::Connection conn =
            QObject::connect(source.get(), &ActiveWindowSource::activated, [&](const ActiveWindow &w) { got = w; });
        emitFocus(c.appId, c.wmClass, c.pid);
        EXPECT_TRUE(QTest::qWaitFor([&] { return got.has_value(); }, 5000)) << c.what;
        QObject::disconnect(conn);
        EXPECT_TRUE(got && got->sameApplication(c.expected)) << c.what;
        EXPECT_EQ(source->current().has_value(), !c.expected.isEmpty()) << c.what;
    }

    // The extension going away leaves no stale name behind.
    m_service.unregisterService(GnomeShellActiveWindowSource::serviceName());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !source->current(); }, 5000));
}

TEST_F(GnomeShellActiveWindow, NoOwnerNoSource)
{
    m_service.unregisterService(GnomeShellActiveWindowSource::serviceName());
    QString error;
    EXPECT_FALSE(GnomeShellActiveWindowSource::open(QDBusConnection::sessionBus(), &error));
    EXPECT_FALSE(error.isEmpty());
}

} // namespace

#include "GnomeShellActiveWindowTest.moc"
