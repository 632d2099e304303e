// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ActiveWindowSource.h"
#include "platform/SwayActiveWindowSource.h"

#include "common/ScopedEnv.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>

namespace {

using Backend = ActiveWindowSource::Backend;

TEST(ActiveWindowChoice, BackEndsByTheSessionsVariables)
{
    using enum Backend;
    const QString sway = "/run/user/1000/sway-ipc.sock", i3 = "/run/user/1000/i3/ipc-socket.1";
    const struct
    {
        const char *what;
        ActiveWindowSource::Session session;
        QList<Backend> expected;
    } cases[] = {
        {"X11 session", {"x11", "XFCE", {}, {}, ":0"}, {x11, none}},
        {"Sway with XWayland", {"wayland", "sway", sway, {}, ":0"}, {swayIpc, x11, none}},
        {"Sway without XWayland", {"wayland", "sway", sway, {}, {}}, {swayIpc, none}},
        {"i3 on X11", {"x11", "i3", {}, i3, ":0"}, {swayIpc, x11, none}},
        {"GNOME Wayland: XWayland only", {"wayland", "GNOME", {}, {}, ":0"}, {x11, none}},
        {"GNOME Wayland with the extension", {"wayland", "ubuntu:GNOME", {}, {}, ":0", true}, {gnomeShell, x11, none}},
        {"GNOME on X11: the extension is not needed", {"x11", "GNOME", {}, {}, ":0", true}, {x11, none}},
        {"KDE Wayland with KWin answering", {"wayland", "KDE", {}, {}, ":0", false, true}, {kwinScript, x11, none}},
        {"KDE Wayland: the GNOME extension's name is no KWin", {"wayland", "KDE", {}, {}, ":0", true}, {x11, none}},
        {"KDE on X11: X11 tells the active window", {"x11", "KDE", {}, {}, ":0", false, true}, {x11, none}},
        {"GNOME Wayland: KWin's name is no extension", {"wayland", "GNOME", {}, {}, ":0", false, true}, {x11, none}},
        {"no display at all", {"tty", {}, {}, {}, {}}, {none}},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(ActiveWindowSource::candidates(c.session), c.expected) << c.what;
        // The extension hint is logged exactly where GNOME Wayland runs without it.
        const bool gnomeWayland = c.session.sessionType == "wayland" && c.session.currentDesktop.contains("GNOME");
        EXPECT_EQ(!ActiveWindowSource::hint(c.session).isEmpty(), gnomeWayland && !c.session.focusedWindowService)
            << c.what;
    }
}

TEST(ActiveWindowChoice, UnreachableSwaySocketFallsThrough)
{
    const ScopedEnv env{{"SWAYSOCK", "/nonexistent/sway-ipc.sock"}, {"I3SOCK", nullptr}, {"DISPLAY", nullptr}};
    QString whyNull, backend;
    const std::unique_ptr<ActiveWindowSource> source = ActiveWindowSource::create(&whyNull, &backend);
    ASSERT_TRUE(source);
    EXPECT_FALSE(source->current());
    EXPECT_EQ(backend, "none");
    EXPECT_TRUE(whyNull.contains("/nonexistent/sway-ipc.sock")) << whyNull.toStdString();
}

TEST(SwayTree, WindowsOfNodesAndTheFocusedOneAlsoAmongFloatingOnes)
{
    const struct
    {
        const char *json;
        ActiveWindow expected;
    } cases[] = {
        {R"({"type":"con","app_id":"foot","pid":42})", {{}, {}, "foot", 42}},
        {R"({"type":"floating_con","app_id":null,"pid":43,
             "window_properties":{"class":"XTerm","instance":"xterm"}})", {"XTerm", "xterm", {}, 43}},
        {R"({"type":"con","app_id":"","pid":44})", {}},       // no app id: not guessed from the pid
        {R"({"type":"con","pid":45,"nodes":[]})", {}},         // split container
        {R"({"type":"workspace","name":"9","pid":46})", {}},   // empty workspace in front
    };
    for (const auto &c : cases) {
        const ActiveWindow w = SwayActiveWindowSource::windowOf(QJsonDocument::fromJson(c.json).object());
        EXPECT_TRUE(w.sameApplication(c.expected)) << c.json;
    }

    const QJsonObject tree = QJsonDocument::fromJson(R"({"type":"root","focused":false,"nodes":[
        {"type":"output","nodes":[{"type":"workspace","focused":false,
          "nodes":[{"type":"con","app_id":"foot","pid":1,"focused":false}],
          "floating_nodes":[{"type":"floating_con","app_id":"org.gnome.Calculator","pid":2,"focused":true}]}]}]})")
                                 .object();
    EXPECT_EQ(SwayActiveWindowSource::focusedIn(tree).applicationId, "org.gnome.Calculator");
    EXPECT_TRUE(SwayActiveWindowSource::focusedIn(QJsonObject{}).isEmpty());
}

} // namespace
