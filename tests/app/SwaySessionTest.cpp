// SPDX-License-Identifier: GPL-3.0-or-later
// The Sway back end against a real headless Sway with a native Wayland terminal and an
// XWayland one. Sway refuses to run as root, so the suite runs it as a throwaway user.
#include "app/FrontAppDetector.h"
#include "platform/ActiveWindowDesktopEntries.h"
#include "platform/SwayActiveWindowSource.h"

#include "common/TestEnvironment.h"
#include "common/TestFiles.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

int run(const QString &program, const QStringList &args)
{
    return TestFiles::runTool(program, args).exitCode;
}

class SwaySession : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        for (const char *tool : {"sway", "swaymsg", "foot", "xterm", "Xwayland", "useradd", "runuser"}) {
            if (!TestFiles::hasTool(tool)) {
                s_problem = QString("%1 is not installed").arg(tool);
                return;
            }
        }
        if (geteuid() != 0) {
            s_problem = "creating the user Sway runs as needs root";
            return;
        }
        s_user = QStringLiteral("pictrove-wayland-%1").arg(getpid());
        if (run("useradd", {"-M", "-d", "/nonexistent", "-s", "/bin/sh", s_user}) != 0) {
            s_problem = QStringLiteral("useradd failed");
            s_user.clear();
            return;
        }
        s_runtime = std::make_unique<QTemporaryDir>("/tmp/pictrove-wayland-XXXXXX");
        const QString dir = s_runtime->path();
        TestEnvironment::writeFile(dir + "/config", "xwayland enable\n");
        run("chown", {s_user, dir});
        QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        s_socket = dir + "/sway-ipc.sock";
        s_sway = std::make_unique<QProcess>();
        s_sway->setProcessChannelMode(QProcess::MergedChannels);
        s_sway->setStandardOutputFile(dir + "/sway.log");
        s_sway->start("runuser", {"-u", s_user, "--", "env", "-i", "PATH=/usr/bin:/bin", "XDG_RUNTIME_DIR=" + dir,
                                  "WLR_BACKENDS=headless", "WLR_LIBINPUT_NO_DEVICES=1", "WLR_RENDERER=pixman",
                                  "SWAYSOCK=" + s_socket, "sway", "-c", dir + "/config"});
        if (!QTest::qWaitFor([] { return msg({"-t", "get_version"}) == 0; }, 10000)) {
            s_problem = QStringLiteral("sway did not start");
        }
    }

    static void TearDownTestSuite()
    {
        if (s_sway) {
            msg({"exit"});
            if (!s_sway->waitForFinished(5000)) {
                s_sway->kill();
                s_sway->waitForFinished();
            }
            s_sway.reset();
        }
        if (!s_user.isEmpty()) {
            // The clients sway started end with it; their user goes too.
            for (int i = 0; i < 50 && run("userdel", {s_user}) != 0; ++i) {
                QTest::qWait(100);
            }
            s_user.clear();
        }
        s_runtime.reset();
    }

    void SetUp() override
    {
        if (!s_problem.isEmpty()) {
            GTEST_SKIP() << s_problem.toStdString();
        }
    }

    static int msg(const QStringList &args) { return run("swaymsg", QStringList{"-s", s_socket} + args); }

    static inline std::unique_ptr<QProcess> s_sway;
    static inline std::unique_ptr<QTemporaryDir> s_runtime;
    static inline QString s_user;
    static inline QString s_socket;
    static inline QString s_problem;
};

TEST_F(SwaySession, FollowsNativeAndXWaylandWindowsAndForgetsNamesItCannotKnow)
{
    QString error;
    std::unique_ptr<SwayActiveWindowSource> source = SwayActiveWindowSource::open(s_socket, &error);
    ASSERT_TRUE(source) << error.toStdString();
    EXPECT_FALSE(source->current()); // an empty workspace is in front
    auto entries = std::make_shared<ActiveWindowDesktopEntries>();
    FrontAppDetector detector(std::move(source), [entries](const ActiveWindow &w) { return entries->displayName(w); });
    EXPECT_EQ(detector.currentApp(), "Unknown");
    const QString foot = ActiveWindowDesktopEntries().displayName({{}, {}, QStringLiteral("foot"), 0});

    const struct
    {
        const char *what;
        QStringList command;
        QString name;
    } steps[] = {
        {"native Wayland window", {"exec", "foot sleep 600"}, foot},
        {"XWayland window", {"exec", "xterm -e sleep 600"}, QStringLiteral("XTerm")},
        {"window without app id", {"exec", "foot --app-id= sleep 600"}, QStringLiteral("Unknown")},
        {"focus back by criteria", {"[app_id=^foot$] focus"}, foot},
        {"empty workspace", {"workspace", "9"}, QStringLiteral("Unknown")},
        {"back to the workspace", {"workspace", "1"}, foot},
    };
    QString before = detector.currentApp();
    for (const auto &s : steps) {
        EXPECT_EQ(msg(s.command), 0) << s.what;
        EXPECT_TRUE(QTest::qWaitFor([&] { return detector.currentApp() == s.name; }, 10000))
            << s.what << ": " << detector.currentApp().toStdString();
        EXPECT_EQ(detector.previousApp(), before) << s.what;
        before = detector.currentApp();
    }
}

} // namespace
