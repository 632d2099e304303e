// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ScreenshotNameMatcher.h"
#include "app/ScreenshotNames.h"
#include "common/ScopedEnv.h"
#include "common/TestEnvironment.h"
#include "platform/MessageCatalog.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

namespace {

struct NameCase
{
    const char *name;
    bool screenshot;
};

TEST(ScreenshotNames, GenericLinuxToolAndOtherScriptNames)
{
    const NameCase cases[] = {
        // The generic form: "Screenshot", a date and a time.
        {"Screenshot 2024-03-05 at 14.07.09.png", true}, {"Screenshot 2024-03-05 at 9.07.09 PM.png", true},
        {"screenshot 2024-03-05_14-07-09.JPG", true}, {"Screenshot 2024-03-05 at 14.07.09 (2).png", true},
        {"Screenshot 2024-03-05 140709.heic", true}, {".Screenshot 2024-03-05 at 14.07.09.png", false},
        {"Screen Shot 2019-01-01 at 10.00.00.png", false}, {"Screenshot 2024-03-05 at 14.07.09.mov", false},
        {"Screenshot 2024-03-05.png", false}, {"Screenshot 2024-03-05 at 14.07.09.png.part", false},
        {"Screenshot 2024-03-05 at 14.07.09.png ", false},
        // GNOME Shell, also the capitalised form of GNOME 47, and its clash suffixes.
        {"Screenshot from 2024-03-05 14-07-09.png", true}, {"Screenshot From 2024-03-05 14-07-09.png", true},
        {"Screenshot from 2024-03-05 14-07-09-1.png", true}, {"Screenshot from 2024-03-05 14-07-09-12.png", true},
        {"Screencast from 2024-03-05 14-07-09.webm", false}, {"Screenshot from 2024-03-05 14-07.png", false},
        // gnome-screenshot and its clash form.
        {"Screenshot from 2024-03-05 14-07-09 - 2.png", true}, {"Screenshot from 2024-03-05 14-07-09.jpg", true},
        {"Screenshot from 2024-03-05 14-07-09 - .png", false},
        // KDE Spectacle.
        {"Screenshot_20240305_140709.png", true}, {"Screenshot_20240305_140709-1.png", true},
        {"screenshot_20240305_140709.JPG", true}, {"Screenshot_2024035_140709.png", false},
        // Xfce screenshooter.
        {"Screenshot_2024-03-05_14-07-09.png", true}, {"Screenshot_2024-03-05_14-07-09-1.png", true},
        {"Screenshot_2024-03-05_14-07-09.txt", false},
        // Anything may stand between the time and the extension, in any script.
        {"Screenshot 2024-03-05 at 14.07.09 Перевод 截图.png", true},
        // ICU's \d is any decimal digit, so a date in Arabic-Indic digits matches too.
        {"Screenshot \u0662\u0660\u0662\u0664-03-05 at 14.07.09.png", true},
        // A composed and a decomposed "é" are the same name.
        {"Screenshot 2024-03-05 at 14.07.09 caf\u00e9.png", true},
        {"Screenshot 2024-03-05 at 14.07.09 cafe\u0301.png", true},
        // A line break after the extension or inside the free part is not a screenshot name.
        {"Screenshot 2024-03-05 at 14.07.09.png\n", false}, {"Screenshot 2024-03-05 at 14.07.09\n.png", false},
        {"Screenshot from 2024-03-05 14-07-09.png\nx", false}, {"\nScreenshot from 2024-03-05 14-07-09.png", false},
        // The library's own names are not screenshots to be filed again.
        {"screenshot_14-07-09.png", false}, {"notes.txt", false}, {"", false},
    };
    for (const NameCase &c : cases) {
        EXPECT_EQ(ScreenshotNames::isScreenshotName(QString::fromUtf8(c.name)), c.screenshot) << c.name;
    }
}

TEST(ScreenshotNames, TranslatedPrefixesFromInstalledCatalogues)
{
    if (!QFileInfo::exists("/usr/share/locale/de/LC_MESSAGES/gnome-screenshot.mo") ||
        !QFileInfo::exists("/usr/share/locale/fr/LC_MESSAGES/xfce4-screenshooter.mo")) {
        GTEST_SKIP() << "SKIP: the gnome-screenshot and xfce4-screenshooter catalogues are not installed";
    }
    const ScopedEnv env{{"LANGUAGE", "de:fr_FR:zh_CN"}, {"LC_ALL", nullptr}, {"LC_MESSAGES", nullptr},
                        {"LANG", "C.UTF-8"}, {"XDG_DATA_DIRS", "/usr/share"}};
    EXPECT_EQ(MessageCatalog::userLanguages(), QStringList({"de", "fr_FR", "fr", "zh_CN", "zh"}));
    const ScreenshotNameMatcher matcher;
    const NameCase cases[] = {
        {"Bildschirmfoto vom 2024-03-05 14-07-09.png", true}, {"Bildschirmfoto vom 2024-03-05 14-07-09 - 2.png", true},
        {"bildschirmfoto VOM 2024-03-05 14-07-09.png", true}, {"Bildschirmfoto_2024-03-05_14-07-09-1.png", true},
        {"Capture d\u2019\u00e9cran du 2024-03-05 14-07-09.png", true},
        {"Capture d\u2019\u00e9cran_2024-03-05_14-07-09.png", true},
        // The catalogue holds the composed letter; a decomposed name is the same name.
        {"Capture d\u2019e\u0301cran du 2024-03-05 14-07-09.png", true},
        // Chinese puts the time stamp first; English keeps working.
        {"2024-03-05 14-07-09\u5c4f\u5e55\u622a\u56fe.png", true}, {"Screenshot from 2024-03-05 14-07-09.png", true},
        {"Bildschirmfoto 2024-03-05 14-07-09.png", false}, {"Capture d'ecran du 2024-03-05 14-07-09.png", false},
    };
    for (const NameCase &c : cases) {
        EXPECT_EQ(matcher.matches(QString::fromUtf8(c.name)), c.screenshot) << c.name;
    }
}

TEST(ScreenshotNames, CataloguesWithPositionalAndOddTranslations)
{
    // A catalogue of our own making, compiled by gettext's msgfmt, stands in for a desktop's.
    QTemporaryDir data;
    const QString dir = data.path() + "/locale/eo/LC_MESSAGES";
    QDir().mkpath(dir);
    const QString po = data.path() + "/gnome-shell.po";
    TestEnvironment::writeFile(po, "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n"
                                   "msgid \"Screenshot from %s\"\nmsgstr \"Ekrankopio (%1$s) [1]\"\n\n"
                                   "msgid \"Screenshot From %s\"\nmsgstr \"Ekrankopio %s %s\"\n");
    if (QProcess::execute("msgfmt", {"-o", dir + "/gnome-shell.mo", po}) != 0) {
        GTEST_SKIP() << "SKIP: msgfmt (gettext) is not installed";
    }
    const ScopedEnv env{{"LANGUAGE", "eo"}, {"LC_ALL", "C.UTF-8"}, {"XDG_DATA_DIRS", data.path().toUtf8().constData()}};
    const ScreenshotNameMatcher matcher;
    // Characters that are syntax in a regular expression stand for themselves.
    EXPECT_TRUE(matcher.matches("Ekrankopio (2024-03-05 14-07-09) [1].png"));
    EXPECT_TRUE(matcher.matches("Ekrankopio (2024-03-05 14-07-09) [1]-3.png"));
    EXPECT_FALSE(matcher.matches("Ekrankopio 2024-03-05 14-07-09 1.png"));
    // A translation with more placeholders than the tool fills is left out, not guessed at.
    EXPECT_EQ(matcher.patterns().filter("Ekrankopio").size(), 1) << matcher.patterns().join('\n').toStdString();
}

} // namespace
