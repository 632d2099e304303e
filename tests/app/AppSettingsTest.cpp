// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppSettings.h"
#include "platform/ScreenshotToolDomain.h"

#include "common/ScopedEnv.h"
#include "common/TestEnvironment.h"
#include "common/TestFiles.h"
#include "common/TestLog.h"
#include "common/TestSettings.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

namespace {

class AppSettingsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        AppSettings s;
        TestSettings::resetAll(s);
    }
};

TEST_F(AppSettingsTest, FreshUserStoresNothingDefaultsReadBackAndWritesAreAnnouncedAndFollowed)
{
    AppSettings s;
    for (const SettingSpec *spec : Settings::all()) {
        EXPECT_FALSE(s.isSet(spec->key)) << spec->key.toStdString();
        // The default is one of the values the setting may take, and reads back from its text.
        const Result<QVariant> fromDefault = spec->fromText(spec->toText(spec->defaultValue));
        ASSERT_TRUE(fromDefault.ok()) << fromDefault.error().toStdString();
        EXPECT_EQ(*fromDefault, spec->defaultValue) << spec->key.toStdString();
    }
    // The enabled types follow the switches; another instance reads the same store.
    QSignalSpy spy(&s, &AppSettings::changed);
    s.setRedactFaces(true);
    s.setRedactEmails(false);
    EXPECT_EQ(int(s.enabledPIITypes()), 31 - 1 + 64);
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(0).at(0).toString(), "redactFaces");
    EXPECT_TRUE(AppSettings().redactFaces());
    s.followExternalChanges();
    spy.clear();
    // It follows changes written by another process, which replaces the file by renaming over
    // it: that ends a watch on the file itself, and the second change shows the watch outlives it.
    for (const int days : {12, 13}) {
        AppSettings().setRetentionDays(days);
        ASSERT_TRUE(spy.wait(3000)) << days;
        EXPECT_EQ(spy.last().at(0).toString(), "retentionDays");
        EXPECT_EQ(s.retentionDays(), days);
        spy.clear();
    }
}

TEST_F(AppSettingsTest, TextValuesAreCheckedAgainstTheKey)
{
    struct Case
    {
        const char *key;
        const char *text;
        QVariant stored;
        const char *refusal; // part of the error; null when the text is accepted
    };
    const Case cases[] = {
        {"retentionDays", "365", qint64(365), nullptr}, {"retentionDays", "seven", qint64(30), "takes a whole number"},
        {"retentionDays", "45", qint64(30), "one of 7, 14, 30, 60, 90, 365, not \"45\""},
        {"maxRecentTags", "5", qint64(5), nullptr}, {"maxRecentTags", " 50", qint64(50), nullptr},
        {"maxRecentTags", "4", qint64(10), "from 5 to 50, not \"4\""},
        {"maxRecentTags", "51", qint64(10), "from 5 to 50"}, {"dedupeDuplicates", "yes", true, nullptr},
        {"dedupeDuplicates", "maybe", false, "true or false"},
        {"piiRedactionStyle", "black", QStringLiteral("black"), nullptr},
        {"piiRedactionStyle", "smudge", QStringLiteral("blur"), "one of blur, black"},
        {"sourceFolder", "~/Shots", QStringLiteral("~/Shots"), nullptr},
        {"noSuchKey", "1", QVariant(), "unknown setting"},
    };
    for (const Case &c : cases) {
        AppSettings s;
        s.reset(c.key);
        const Status st = s.setFromText(c.key, c.text);
        EXPECT_EQ(st.ok(), !c.refusal) << c.key << "=" << c.text;
        if (c.refusal) {
            EXPECT_TRUE(st.error().contains(c.refusal)) << st.error().toStdString();
        }
        EXPECT_EQ(s.value(c.key), c.stored) << c.key << "=" << c.text;
    }

    // A value stored before its range was known still reads as stored.
    AppSettings s;
    s.setValue(Settings::maxRecentTags.key, qint64(80));
    s.setRetentionDays(45);
    AppSettings other;
    EXPECT_EQ(other.maxRecentTags(), 80);
    EXPECT_EQ(other.get(Settings::retentionDays), 45);
}

QString configHome() { return qEnvironmentVariable("XDG_CONFIG_HOME"); }

void removeToolFiles()
{
    QFile::remove(configHome() + "/Pictrove/ScreenshotTool.conf");
    QFile::remove(configHome() + "/spectaclerc");
    QFile::remove(configHome() + "/xfce4/xfce4-screenshooter");
    QFile::remove(configHome() + "/user-dirs.dirs");
    QDir(TestEnvironment::home() + "/Pictures/Screenshots").removeRecursively();
}

TEST_F(AppSettingsTest, ResolvedSourceFolder)
{
    const QString home = TestEnvironment::home();
    // A German catalogue of GNOME Shell's, compiled by gettext's msgfmt, names the folder.
    QTemporaryDir data;
    QDir().mkpath(data.path() + "/locale/de/LC_MESSAGES");
    const QString po = TestEnvironment::writeFile(data.path() + "/gnome-shell.po",
        "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n"
        "msgid \"Screenshots\"\nmsgstr \"Bildschirmfotos\"\n");
    const bool german =
        QProcess::execute("msgfmt", {"-o", data.path() + "/locale/de/LC_MESSAGES/gnome-shell.mo", po}) == 0;
    const struct
    {
        const char *desktop;
        const char *sourceFolder;
        const char *file;    // relative to XDG_CONFIG_HOME
        const char *content;
        bool picturesScreenshots;
        QString expected;
        const char *lang = "C.UTF-8";
    } cases[] = {
        // The setting wins over whatever the desktop says.
        {"KDE", "~/Shots", "spectaclerc", "[ImageSave]\nimageSaveLocation=file:///srv/elsewhere\n", false, home + "/Shots"},
        {"GNOME", "/srv/shots", nullptr, nullptr, false, "/srv/shots"},
        {"ubuntu:GNOME", "", nullptr, nullptr, false, home + "/Pictures/Screenshots"},
        {"KDE", "", "spectaclerc", "[General]\nx=1\n[ImageSave]\nimageSaveLocation[$e]=file:///srv/My%20Shots/\n", false, "/srv/My Shots/"},
        {"KDE", "", "spectaclerc", "[Save]\ndefaultSaveLocation=~/Grabs\n", false, home + "/Grabs"},
        {"KDE", "", nullptr, nullptr, false, home + "/Pictures"},
        {"XFCE", "", "xfce4/xfce4-screenshooter", "screenshot_dir=file:///srv/xfce%20shots\nshow_in_folder=0\n", false, "/srv/xfce shots"},
        {"XFCE", "", "xfce4/xfce4-screenshooter", "screenshot_dir=\n", false, home + "/Pictures"},
        // The Pictures folder is where user-dirs.dirs puts it.
        {"GNOME", "", "user-dirs.dirs", "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n", false, home + "/Bilder/Screenshots"},
        // GNOME's Screenshots folder is translated.
        {"GNOME", "", nullptr, nullptr, false, home + "/Pictures/Bildschirmfotos", "de_DE.UTF-8"},
        // Another desktop: Pictures/Screenshots when it exists, else the Desktop folder.
        {"LXQt", "", nullptr, nullptr, true, home + "/Pictures/Screenshots"},
        {"LXQt", "", nullptr, nullptr, false, home + "/Desktop"},
        {nullptr, "", nullptr, nullptr, false, home + "/Desktop"},
    };
    for (const auto &c : cases) {
        if (!german && QByteArray(c.lang) != "C.UTF-8") {
            continue; // no msgfmt (gettext) to make the catalogue with
        }
        removeToolFiles();
        const ScopedEnv env{{"XDG_CURRENT_DESKTOP", c.desktop}, {"LANGUAGE", nullptr}, {"LANG", c.lang},
                            {"LC_ALL", nullptr}, {"LC_MESSAGES", nullptr},
                            {"XDG_DATA_DIRS", data.path().toUtf8().constData()}};
        if (c.file) {
            TestEnvironment::writeFile(configHome() + "/" + c.file, c.content);
        }
        if (c.picturesScreenshots) {
            QDir().mkpath(home + "/Pictures/Screenshots");
        }
        AppSettings s;
        s.setSourceFolder(c.sourceFolder);
        EXPECT_EQ(s.resolvedSourceFolder().toStdString(), c.expected.toStdString()) << (c.desktop ? c.desktop : "(none)") << " " << (c.content ? c.content : "");
    }
    removeToolFiles();
}

// The remember/restore sequences of the system thumbnail, run against the tool domain's store.
TEST_F(AppSettingsTest, LaunchAndQuitPutTheSystemSettingBack)
{
    const QString store = configHome() + "/Pictrove/ScreenshotTool.conf";
    const struct
    {
        const char *desktop;
        bool disable; // the application's own setting
        const char *before;
        int launches; // a second launch after a crash must keep what the first remembered
        const char *remembered;
        QVariant whileRunning, afterQuit;
    } cases[] = {
        {"GNOME", true, nullptr, 1, "unset", false, QVariant()}, {"GNOME", true, "false", 1, "false", false, false},
        {"GNOME", true, "true", 2, "true", false, true},
        // A value that is no boolean is remembered as unset and removed again.
        {"GNOME", true, "maybe", 1, "unset", false, QVariant()},
        // Setting off: left alone, but restored with nothing remembered it is switched on.
        {"GNOME", false, nullptr, 1, "", QVariant(), true},
        // A desktop whose tool's domain cannot be opened is not written to.
        {"LXQt", true, nullptr, 1, "unset", QVariant(), QVariant()},
    };
    AppSettings().removeRawValue("priorSystemThumbnailState");
    for (const auto &c : cases) {
        const std::string what = std::string(c.desktop) + " " + (c.before ? c.before : "(missing)");
        removeToolFiles();
        const ScopedEnv env{{"XDG_CURRENT_DESKTOP", c.desktop}};
        if (c.before) {
            QSettings(store, QSettings::IniFormat).setValue("show-thumbnail", QString::fromLatin1(c.before));
        }
        const auto systemValue = [] {
            const std::unique_ptr<ScreenshotToolDomain> domain = ScreenshotToolDomain::open();
            return domain ? domain->showThumbnail() : QVariant();
        };
        const auto remembered = [] { return AppSettings().rawValue("priorSystemThumbnailState"); };
        AppSettings s;
        s.setDisableSystemThumbnail(c.disable);
        for (int i = 0; i < c.launches; ++i) {
            s.applySystemThumbnailPreference();
        }
        EXPECT_EQ(remembered().toString(), c.remembered) << what;
        EXPECT_EQ(systemValue(), c.whileRunning) << what;
        s.restoreSystemThumbnail();
        EXPECT_EQ(systemValue(), c.afterQuit) << what;
        EXPECT_FALSE(remembered().isValid()) << what;
    }
    EXPECT_FALSE(QFileInfo::exists(store));
}

TEST_F(AppSettingsTest, LaunchAtLoginWritesAndRemovesTheAutostartEntryAndLogsFailures)
{
    const QString file = configHome() + "/autostart/pictrove.desktop";
    AppSettings s;
    QSignalSpy spy(&s, &AppSettings::changed);
    s.setLaunchAtLogin(true);
    EXPECT_TRUE(s.launchAtLogin());
    const QString text = QString::fromUtf8(TestFiles::contents(file));
    EXPECT_TRUE(text.startsWith("[Desktop Entry]\nType=Application\nName=Pictrove\n"));
    EXPECT_TRUE(text.contains("\nExec=" + QCoreApplication::applicationFilePath() + "\n")) << text.toStdString();
    EXPECT_EQ(spy.count(), 1);
    // The switch shows what the file says.
    TestEnvironment::writeFile(file, text.toUtf8() + "Hidden=true\n");
    EXPECT_FALSE(s.launchAtLogin());
    s.setLaunchAtLogin(false);
    EXPECT_FALSE(QFileInfo::exists(file));
    s.setLaunchAtLogin(false); // already off: no error
    EXPECT_FALSE(s.launchAtLogin());

    // Failures are logged: a file where the folder goes, a folder where the entry goes.
    const QString autostart = configHome() + "/autostart";
    for (const bool enable : {true, false}) {
        QDir(autostart).removeRecursively();
        enable ? (void)TestEnvironment::writeFile(autostart, "not a folder") : (void)QDir().mkpath(file + "/inside");
        const std::string out = TestLog::printed([&] { s.setLaunchAtLogin(enable); });
        EXPECT_TRUE(TestLog::oneLineStartingWith(out, std::string("Pictrove: Failed to ") + (enable ? "en" : "dis") +
                                                          "able launch at login: ")) << out;
        EXPECT_FALSE(s.launchAtLogin());
        QFile::remove(autostart);
    }
    QDir(autostart).removeRecursively();
}

} // namespace
