// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/HotkeyManager.h"
#include "platform/GlobalShortcutBackend.h"

#include "common/TestLog.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

namespace {

// What the back ends made so far were asked, and the one alive.
struct BackendLog
{
    int created = 0, registrations = 0, unregistrations = 0;
    int status = 0; // what registration answers
    class FakeBackend *live = nullptr;
};

class FakeBackend : public GlobalShortcutBackend
{
public:
    explicit FakeBackend(BackendLog &log) : m_log(log) { m_log.live = this; }
    ~FakeBackend() override { m_log.live = nullptr; }
    QString name() const override { return QStringLiteral("fake"); }
    int registerShortcut() override { return ++m_log.registrations, m_log.status; }
    void unregisterShortcut() override { ++m_log.unregistrations; }
    void press() { emit pressed(); }

private:
    BackendLog &m_log;
};

TEST(HotkeyManager, RegistrationFailureRetryAndPresses)
{
    BackendLog log;
    HotkeyManager manager([&log] { return ++log.created, std::make_unique<FakeBackend>(log); });
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

    // Refused: one line with the status; the handler stays, and a retry reuses it rather than
    // adding a second one.
    log.status = -10;
    EXPECT_EQ(TestLog::printed([&] { manager.registerHotkey(); }), "Pictrove: Failed to register hotkey (status -10)\n");
    EXPECT_FALSE(manager.isRegistered());
    EXPECT_TRUE(manager.hasHandler());
    log.status = 0;
    manager.registerHotkey();
    EXPECT_TRUE(manager.isRegistered());
    EXPECT_EQ(log.created, 2);

    // Each press calls back once, as a step of its own.
    int calls = 0;
    log.live->press(); // no callback yet: nothing happens
    QCoreApplication::processEvents();
    manager.onAnnotateLatest = [&calls] { ++calls; };
    log.live->press();
    EXPECT_EQ(calls, 0); // not inside the platform's dispatch
    QCoreApplication::processEvents();
    EXPECT_EQ(calls, 1);
}

} // namespace
