// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FrontAppDetector.h"
#include "platform/ActiveWindowDesktopEntries.h"
#include "platform/ActiveWindowSource.h"

#include "common/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

namespace {

// Stands in for the window system: tests decide which window is in front.
class FakeSource : public ActiveWindowSource
{
public:
    std::optional<ActiveWindow> front;
    std::optional<ActiveWindow> current() override { return front; }
    // An empty class stands for focus on something whose application cannot be known.
    void activate(const QString &cls) { emit activated(cls.isEmpty() ? ActiveWindow{} : window(cls)); }
    static ActiveWindow window(const QString &cls) { return {cls, cls.toLower(), {}, 0}; }
};

TEST(FrontAppDetector, ActivationSequences)
{
    const struct
    {
        const char *what;
        QStringList activations;
        const char *current;
        const char *previous;
        const char *forCapture;
        std::optional<QString> front = QStringLiteral("Start"); // in front before the first activation
    } cases[] = {
        {"front application at start", {}, "Start", "Start", "Start"},
        {"nothing in front at start", {}, "Unknown", "Unknown", "Unknown", std::nullopt},
        {"editor then the tool", {"Kate", "screencaptureui"}, "screencaptureui", "Kate", "Kate"},
        {"shortcut capture, no tool", {"Kate", "Firefox"}, "Firefox", "Kate", "Firefox"},
        {"GNOME's tool", {"XTerm", "Screenshot"}, "Screenshot", "XTerm", "XTerm"},
        {"tool twice", {"Kate", "Screenshot", "Screenshot"}, "Screenshot", "Screenshot", "Screenshot"},
        {"nameless application", {"Kate", "nameless"}, "Unknown", "Kate", "Unknown"},
        {"same application again", {"Kate", "Kate"}, "Kate", "Kate", "Kate"},
        // Focus on a window of no known application: never the name before it.
        {"unknowable window", {"Kate", ""}, "Unknown", "Kate", "Unknown"},
        {"unknowable window, then the tool", {"Kate", "", "Screenshot"}, "Screenshot", "Unknown", "Unknown"},
        {"names are case-sensitive", {"Kate", "screenshot"}, "screenshot", "Kate", "screenshot"},
    };
    for (const auto &c : cases) {
        auto source = std::make_unique<FakeSource>();
        FakeSource *fake = source.get();
        fake->front = c.front ? std::optional(FakeSource::window(*c.front)) : std::nullopt;
        // Names are the classes themselves; a class "nameless" has no name.
        const FrontAppDetector d(std::move(source), [](const ActiveWindow &w) {
            return w.wmClass == QLatin1String("nameless") ? QString() : w.wmClass;
        });
        for (const QString &cls : c.activations) {
            fake->activate(cls);
        }
        EXPECT_EQ(d.currentApp(), c.current) << c.what;
        EXPECT_EQ(d.previousApp(), c.previous) << c.what;
        EXPECT_EQ(d.appNameForCapture(), c.forCapture) << c.what;
    }
}

const qint64 kSelf = QCoreApplication::applicationPid();

TEST(DesktopEntries, MatchesLikeATaskManager)
{
    const QString user = TestEnvironment::makeFolder("user-apps"), system = TestEnvironment::makeFolder("system-apps");
    const auto entry = [](const QString &folder, const char *file, const QByteArray &body,
                          const char *type = "Application") {
        TestEnvironment::writeFile(folder + "/" + file, QByteArray("[Desktop Entry]\nType=") + type + "\n" + body +
                                                            "[Desktop Action new]\nName=Not the name\n");
    };
    entry(system, "debian-xterm.desktop", "Name=XTerm\nExec=xterm\nStartupWMClass=XTerm\n");
    entry(system, "org.gnome.Screenshot.desktop",
          "Name=Screenshot\nName[de]=Bildschirmfoto\nExec=gnome-screenshot --interactive\n");
    entry(system, "org.kde.dolphin.desktop", "Name=Dolphin\nExec=dolphin %u\n");
    entry(system, "firefox-esr.desktop", "Name=Firefox ESR\nExec=env MOZ_X=1 /usr/lib/firefox-esr/firefox-esr %u\n");
    entry(system, "hidden.desktop", "Name=Hidden App\nExec=hiddenapp\nHidden=true\n");
    entry(system, "kde4/okular.desktop", "Name=Okular (old)\nExec=okular\n");
    // The user's entry of the same id wins over the system's.
    entry(user, "org.kde.dolphin.desktop", "Name=My Dolphin\nExec=dolphin\n");
    entry(system, "link.desktop", "Name=A Link\nExec=linkapp\n", "Link");
    entry(system, "selftest.desktop",
          "Name=Self Test\nExec=/opt/x/" + ActiveWindowDesktopEntries::programOf(kSelf).toUtf8() + " --flag\n");

    const struct
    {
        ActiveWindow window;
        const char *locale;
        const char *name;
    } cases[] = {
        {{"XTerm", "xterm", {}, 0}, "en_US", "XTerm"},                                // StartupWMClass
        {{"Gnome-screenshot", "gnome-screenshot", {}, 0}, "en_US", "Screenshot"},     // Exec vs instance
        {{"Gnome-screenshot", "gnome-screenshot", {}, 0}, "de_DE", "Bildschirmfoto"}, // localised
        {{"Whatever", "whatever", "org.gnome.Screenshot", 0}, "en_US", "Screenshot"}, // application id
        {{"dolphin", "dolphin", {}, 0}, "en_US", "My Dolphin"},                       // reverse-domain id
        {{"firefox-esr", "Navigator", {}, 0}, "en_US", "Firefox ESR"},                // id equals class
        {{"Okular", "okular", {}, 0}, "en_US", "Okular (old)"},                       // subfolder id kde4-okular
        {{"hiddenapp", "hiddenapp", {}, 0}, "en_US", "Hiddenapp"},                    // hidden: class
        {{"linkapp", "linkapp", {}, 0}, "en_US", "Linkapp"},                          // not an application
        {{{}, "solitary", {}, 0}, "en_US", "Solitary"},                               // instance only
        {{"Odd", "odd", {}, kSelf}, "C", "Self Test"},                                // Exec names the program
        {{{}, {}, {}, 0}, "en_US", ""},
    };
    for (const auto &c : cases) {
        ActiveWindowDesktopEntries entries({user, system}, QString::fromLatin1(c.locale));
        EXPECT_EQ(entries.displayName(c.window), c.name) << c.window.wmClass.toStdString() << " " << c.locale;
    }
    EXPECT_EQ(ActiveWindowDesktopEntries::programOf(-1), "");
}

} // namespace
