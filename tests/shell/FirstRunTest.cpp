// SPDX-License-Identifier: GPL-3.0-or-later
// What the start finds missing, probed on real folders, real installed data and a real file
// system without user extended attributes.
#include "app/AppSettings.h"
#include "shell/FirstRun.h"

#include "common/ScopedEnv.h"
#include "common/TemporaryMount.h"
#include "common/TestEnvironment.h"

#include <gtest/gtest.h>

namespace {

using Kind = StartupNotices::Kind;

std::vector<Kind> kinds(const QList<StartupNotices::Notice> &notices)
{
    std::vector<Kind> list;
    for (const StartupNotices::Notice &n : notices) {
        list.push_back(n.kind);
    }
    return list;
}

TEST(FirstRun, ProbeFindsWhatIsMissing)
{
    const QString ok = TestEnvironment::makeFolder(QStringLiteral("probe-ok"));
    const QString emptyTessdata = TestEnvironment::makeFolder(QStringLiteral("probe-tessdata"));
    std::unique_ptr<TemporaryMount> ramfs = TemporaryMount::create(QStringLiteral("ramfs"));
    struct Case
    {
        const char *name;
        QString watch;
        QString library;
        bool tray;
        const char *tessdata;
        std::vector<Kind> expected;
    };
    const QByteArray emptyTess = emptyTessdata.toLocal8Bit();
    std::vector<Case> cases = {
        {"all there", ok, ok, true, nullptr, {}},
        {"no watched folder", TestEnvironment::home() + "/Pictures/Screenshots", ok, true, nullptr, {Kind::noScreenshotFolder}},
        {"no tray", ok, ok, false, nullptr, {Kind::noSystemTray}},
        {"no English data", ok, ok, true, emptyTess.constData(), {Kind::noTextRecognitionData}},
    };
    if (ramfs) {
        cases.push_back({"library without tags", ok, ramfs->path(), true, nullptr, {Kind::noFileTags}});
    }
    for (const Case &c : cases) {
        ScopedEnv env{{"TESSDATA_PREFIX", c.tessdata}};
        AppSettings settings;
        settings.setSourceFolder(c.watch);
        settings.setDestinationFolder(c.library);
        const QList<StartupNotices::Notice> notices = StartupNotices::compute(FirstRun::probe(settings, c.tray));
        EXPECT_EQ(kinds(notices), c.expected) << c.name;
        if (!notices.isEmpty() && notices[0].kind == Kind::noScreenshotFolder) {
            EXPECT_TRUE(notices[0].text.contains("~/Pictures/Screenshots")) << notices[0].text.toStdString();
        }
    }
    if (!ramfs) {
        GTEST_SKIP() << TemporaryMount::skipMessage(QStringLiteral("ramfs")).toStdString();
    }
}

} // namespace
