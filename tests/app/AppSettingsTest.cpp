// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppSettings.h"
#include "platform/ScreenshotToolDomain.h"

#include "common/ScopedEnv.h"
#include "common/TestEnvironment.h"
#include "common/TestFiles.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

class AppSettingsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        AppSettings s;
        for (const SettingSpec *spec : Settings::all()) {
            s.reset(spec->key);
        }
    }
};

TEST_F(AppSettingsTest, FreshUserStoresNothingAndEveryDefaultReadsBackFromItsText)
{
    AppSettings s;
    for (const SettingSpec *spec : Settings::all()) {
        EXPECT_FALSE(s.isSet(spec->key)) << spec->key.toStdString();
        // The default is one of the values the setting may take, and reads back from its text.
        const Result<QVariant> fromDefault = spec->fromText(spec->toText(spec->defaultValue));
        ASSERT_TRUE(fromDefault.ok()) << fromDefault.error().toStdString();
        EXPECT_EQ(*fromDefault, spec->defaultValue) << spec->key.toStdString();
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
        {"retentionDays", "365", qint64(365), nullptr},
        {"retentionDays", "seven", qint64(30), "takes a whole number"},
        {"retentionDays", "45", qint64(30), "one of 7, 14, 30, 60, 90, 365, not \"45\""},
        {"maxRecentTags", "5", qint64(5), nullptr},
        {"maxRecentTags", " 50", qint64(50), nullptr},
        {"maxRecentTags", "4", qint64(10), "from 5 to 50, not \"4\""},
        {"maxRecentTags", "51", qint64(10), "from 5 to 50"},
        {"dedupeDuplicates", "yes", true, nullptr},
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

TEST_F(AppSettingsTest, EnabledTypesFollowTheSwitchesAndWritesAreAnnounced)
{
    AppSettings s;
    QSignalSpy spy(&s, &AppSettings::changed);
    s.setRedactFaces(true);
    s.setRedactEmails(false);
    EXPECT_EQ(int(s.enabledPIITypes()), 31 - 1 + 64);
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(0).at(0).toString(), "redactFaces");
    // Another instance reads the same store.
    AppSettings other;
    EXPECT_TRUE(other.redactFaces());
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
    const struct
    {
        const char *desktop;
        const char *sourceFolder;
        const char *file;    // relative to XDG_CONFIG_HOME
        const char *content;
        bool picturesScreenshots;
        QString expected;
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
        // Another desktop: Pictures/Screenshots when it exists, else the Desktop folder.
        {"LXQt", "", nullptr, nullptr, true, home + "/Pictures/Screenshots"},
        {"LXQt", "", nullptr, nullptr, false, home + "/Desktop"},
        {nullptr, "", nullptr, nullptr, false, home + "/Desktop"},
    };
    for (const auto &c : cases) {
        removeToolFiles();
        const ScopedEnv env{{"XDG_CURRENT_DESKTOP", c.desktop}, {"LANGUAGE", nullptr}, {"LANG", "C.UTF-8"}, {"LC_ALL", nullptr}};
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

TEST_F(AppSettingsTest, GnomeScreenshotsFolderIsTranslated)
{
    QTemporaryDir data;
    const QString dir = data.path() + "/locale/de/LC_MESSAGES";
    QDir().mkpath(dir);
    const QString po = TestEnvironment::writeFile(data.path() + "/gnome-shell.po",
        "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\nmsgid \"Screenshots\"\nmsgstr \"Bildschirmfotos\"\n");
    if (QProcess::execute("msgfmt", {"-o", dir + "/gnome-shell.mo", po}) != 0) {
        GTEST_SKIP() << "SKIP: msgfmt (gettext) is not installed";
    }
    removeToolFiles();
    const ScopedEnv env{{"XDG_CURRENT_DESKTOP", "GNOME"}, {"LANGUAGE", nullptr}, {"LC_ALL", nullptr}, {"LC_MESSAGES", nullptr},
                        {"LANG", "de_DE.UTF-8"}, {"XDG_DATA_DIRS", data.path().toUtf8().constData()}};
    AppSettings s;
    EXPECT_EQ(s.resolvedSourceFolder(), TestEnvironment::home() + "/Pictures/Bildschirmfotos");
}

// The remember/restore sequences of the system thumbnail, run against the tool domain's store.
class SystemThumbnailTest : public AppSettingsTest
{
protected:
    void SetUp() override
    {
        AppSettingsTest::SetUp();
        removeToolFiles();
        AppSettings().removeRawValue("priorSystemThumbnailState");
    }
    QVariant systemValue() const { return ScreenshotToolDomain::open()->showThumbnail(); }
    void setSystemValue(const char *text)
    {
        QSettings store(configHome() + "/Pictrove/ScreenshotTool.conf", QSettings::IniFormat);
        if (text) {
            store.setValue("show-thumbnail", QString::fromLatin1(text));
        } else {
            store.remove("show-thumbnail");
        }
    }
    QVariant remembered() const { return AppSettings().rawValue("priorSystemThumbnailState"); }
    ScopedEnv m_env{{"XDG_CURRENT_DESKTOP", "GNOME"}};
};

TEST_F(SystemThumbnailTest, LaunchAndQuitPutTheSystemSettingBack)
{
    const struct
    {
        const char *before;
        int launches; // a second launch after a crash must keep what the first remembered
        const char *remembered;
        QVariant afterQuit;
    } cases[] = {
        {nullptr, 1, "unset", QVariant()},
        {"false", 1, "false", false},
        {"true", 2, "true", true},
        // A value that is no boolean is remembered as unset and removed again.
        {"maybe", 1, "unset", QVariant()},
    };
    for (const auto &c : cases) {
        setSystemValue(c.before);
        AppSettings s;
        for (int i = 0; i < c.launches; ++i) {
            s.applySystemThumbnailPreference();
        }
        EXPECT_EQ(remembered().toString(), c.remembered) << (c.before ? c.before : "(missing)");
        EXPECT_EQ(systemValue(), QVariant(false));
        s.restoreSystemThumbnail();
        EXPECT_EQ(systemValue(), c.afterQuit) << (c.before ? c.before : "(missing)");
        EXPECT_FALSE(remembered().isValid());
    }
}

TEST_F(SystemThumbnailTest, SettingOffOrNoDomainLeavesTheSystemSettingAlone)
{
    AppSettings s;
    s.setDisableSystemThumbnail(false);
    s.applySystemThumbnailPreference();
    EXPECT_FALSE(remembered().isValid());
    EXPECT_FALSE(systemValue().isValid());
    // Restored with nothing remembered, the system's thumbnail is switched on.
    s.restoreSystemThumbnail();
    EXPECT_EQ(systemValue(), QVariant(true));

    // A desktop whose tool's domain cannot be opened is not written to.
    QFile::remove(configHome() + "/Pictrove/ScreenshotTool.conf");
    const ScopedEnv env{{"XDG_CURRENT_DESKTOP", "LXQt"}};
    ASSERT_EQ(ScreenshotToolDomain::open(), nullptr);
    s.setDisableSystemThumbnail(true);
    s.applySystemThumbnailPreference();
    EXPECT_EQ(remembered().toString(), "unset");
    s.restoreSystemThumbnail();
    EXPECT_FALSE(remembered().isValid());
    EXPECT_FALSE(QFileInfo::exists(configHome() + "/Pictrove/ScreenshotTool.conf"));
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

    // Failures are logged.
    const QString autostart = configHome() + "/autostart";
    QDir(autostart).removeRecursively();
    TestEnvironment::writeFile(autostart, "not a folder");
    testing::internal::CaptureStdout();
    s.setLaunchAtLogin(true);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.rfind("Pictrove: Failed to enable launch at login: ", 0), 0u) << out;
    EXPECT_FALSE(s.launchAtLogin());
    QFile::remove(autostart);

    QDir().mkpath(autostart + "/pictrove.desktop/inside");
    testing::internal::CaptureStdout();
    s.setLaunchAtLogin(false);
    out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.rfind("Pictrove: Failed to disable launch at login: ", 0), 0u) << out;
    QDir(autostart).removeRecursively();
}

TEST_F(AppSettingsTest, FollowsChangesWrittenByAnotherProcess)
{
    AppSettings s;
    s.followExternalChanges();
    s.setRetentionDays(5);
    QSignalSpy spy(&s, &AppSettings::changed);
    // Another writer replaces the file by renaming over it, which ends a watch on the file
    // itself: the second change shows the watch outlives the first.
    for (const int days : {12, 13}) {
        AppSettings().setRetentionDays(days);
        ASSERT_TRUE(spy.wait(3000)) << days;
        EXPECT_EQ(spy.last().at(0).toString(), "retentionDays");
        EXPECT_EQ(s.retentionDays(), days);
        spy.clear();
    }
}

} // namespace
