// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/HotkeyManager.h"
#include "platform/GlobalShortcutBackend.h"
#include "platform/X11GlobalShortcut.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

namespace {

struct BackendLog
{
    int created = 0;
    int registrations = 0;
    int unregistrations = 0;
    int status = 0;
    GlobalShortcutBackend *live = nullptr;
};

class FakeBackend : public GlobalShortcutBackend
{
public:
    explicit FakeBackend(BackendLog &log) : m_log(log) { m_log.live = this; }
    ~FakeBackend() override { m_log.live = nullptr; }
    QString name() const override { return QStringLiteral("fake"); }
    int registerShortcut() override
    {
        ++m_log.registrations;
        return m_log.status;
    }
    void unregisterShortcut() override { ++m_log.unregistrations; }
    void press() { emit pressed(); }

private:
    BackendLog &m_log;
};

HotkeyManager::BackendFactory factoryFor(BackendLog &log)
{
    return [&log] {
        ++log.created;
        return std::make_unique<FakeBackend>(log);
    };
}

TEST(HotkeyManager, RegisterTwiceUnregisterAndFailure)
{
    BackendLog log;
    HotkeyManager manager(factoryFor(log));
    manager.unregisterHotkey(); // nothing registered: no effect
    EXPECT_EQ(log.unregistrations, 0);

    manager.registerHotkey();
    manager.registerHotkey();
    EXPECT_TRUE(manager.isRegistered());
    EXPECT_EQ(log.registrations, 1);
    manager.unregisterHotkey();
    EXPECT_FALSE(manager.isRegistered());
    EXPECT_FALSE(manager.hasHandler());
    EXPECT_EQ(log.unregistrations, 1);

    // Refused: one line with the status; the handler stays, and a retry reuses it.
    log.status = -10;
    testing::internal::CaptureStdout();
    manager.registerHotkey();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Pictrove: Failed to register hotkey (status -10)\n");
    EXPECT_FALSE(manager.isRegistered());
    EXPECT_TRUE(manager.hasHandler());
    log.status = 0;
    manager.registerHotkey();
    EXPECT_TRUE(manager.isRegistered());
    EXPECT_EQ(log.created, 2);
}

TEST(HotkeyManager, EachPressCallsBackOnceAsItsOwnStep)
{
    BackendLog log;
    HotkeyManager manager(factoryFor(log));
    log.status = -10;
    manager.registerHotkey();
    log.status = 0;
    manager.registerHotkey(); // a failed attempt before must not double the handler
    int calls = 0;
    static_cast<FakeBackend *>(log.live)->press(); // no callback yet: nothing happens
    QCoreApplication::processEvents();
    manager.onAnnotateLatest = [&calls] { ++calls; };
    static_cast<FakeBackend *>(log.live)->press();
    EXPECT_EQ(calls, 0); // not inside the platform's dispatch
    QCoreApplication::processEvents();
    EXPECT_EQ(calls, 1);
}

// A real X server: the grab, a second client refused, and a synthetic key press.
TEST(X11GlobalShortcut, GrabsControlShiftAByPosition)
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    if (xvfb.isEmpty() || xdotool.isEmpty()) {
        GTEST_SKIP() << "Xvfb or xdotool missing";
    }
    const QString display = QStringLiteral(":%1").arg(140 + QCoreApplication::applicationPid() % 50);
    QProcess server;
    server.start(xvfb, {display, QStringLiteral("-screen"), QStringLiteral("0"), QStringLiteral("640x480x24"),
                        QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    ASSERT_TRUE(server.waitForStarted());
    const QByteArray oldDisplay = qgetenv("DISPLAY");
    qputenv("DISPLAY", display.toUtf8());
    std::unique_ptr<X11GlobalShortcut> first;
    for (int i = 0; i < 50 && !first; ++i) {
        QTest::qWait(100);
        first = X11GlobalShortcut::open();
    }
    ASSERT_TRUE(first);
    EXPECT_EQ(first->registerShortcut(), 0);
    std::unique_ptr<X11GlobalShortcut> second = X11GlobalShortcut::open();
    ASSERT_TRUE(second);
    EXPECT_EQ(second->registerShortcut(), -10); // BadAccess

    int presses = 0;
    QObject::connect(first.get(), &GlobalShortcutBackend::pressed, [&presses] { ++presses; });
    QProcess::execute(xdotool, {QStringLiteral("key"), QStringLiteral("ctrl+shift+a")});
    QProcess::execute(xdotool, {QStringLiteral("key"), QStringLiteral("ctrl+a")}); // not ours
    for (int i = 0; i < 30 && presses == 0; ++i) {
        QTest::qWait(50);
    }
    QTest::qWait(100);
    EXPECT_EQ(presses, 1);

    first->unregisterShortcut();
    EXPECT_EQ(second->registerShortcut(), 0); // free again
    first.reset();
    second.reset();
    qputenv("DISPLAY", oldDisplay);
    server.terminate();
    server.waitForFinished();
}

} // namespace
