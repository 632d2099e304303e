// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/StartupNotices.h"
#include "ui/MenuBarView.h"
#include "ui/RecentRow.h"

#include "common/TestRecords.h"

#include <gtest/gtest.h>

#include <QLabel>

namespace {

using Kind = StartupNotices::Kind;
using Conditions = StartupNotices::Conditions;

TEST(StartupNotices, OneSentenceForEachMissingPartSayingWhatToDo)
{
    struct Case
    {
        const char *name;
        bool folder, tray, ocrData, faceData, facesWanted, tags;
        std::vector<Kind> kinds;
        const char *says; // in the first notice
    };
    const std::vector<Kind> all = {Kind::noScreenshotFolder, Kind::noSystemTray, Kind::noTextRecognitionData,
                                   Kind::noFaceData, Kind::noFileTags};
    const QString watched = QStringLiteral("~/Shots"), library = QStringLiteral("/media/stick/Pictrove");
    const Case cases[] = {
        {"all well", true, true, true, true, false, true, {}, ""},
        {"no folder", false, true, true, true, false, true, {Kind::noScreenshotFolder}, "~/Shots"},
        {"no tray", true, false, true, true, false, true, {Kind::noSystemTray}, "tray"},
        {"no OCR", true, true, false, true, false, true, {Kind::noTextRecognitionData}, "Install tesseract-ocr-eng"},
        // Face data matters only once faces are asked for.
        {"no face data, faces off", true, true, true, false, false, true, {}, ""},
        {"no face data, faces on", true, true, true, false, true, true, {Kind::noFaceData}, "Install opencv-data"},
        {"no tags", true, true, true, true, false, false, {Kind::noFileTags}, "/media/stick/Pictrove"},
        {"all missing", false, false, false, false, true, false, all, "create it"},
    };
    for (const Case &c : cases) {
        const Conditions conditions{watched, c.folder, c.tray, c.ocrData, c.faceData, c.facesWanted, library, c.tags};
        const QList<StartupNotices::Notice> notices = StartupNotices::compute(conditions);
        std::vector<Kind> got;
        for (const StartupNotices::Notice &n : notices) {
            got.push_back(n.kind);
            // One plain sentence each.
            EXPECT_TRUE(n.text.endsWith('.')) << c.name;
            EXPECT_EQ(n.text.count(". "), 0) << c.name << ": " << n.text.toStdString();
        }
        EXPECT_EQ(got, c.kinds) << c.name;
        if (!notices.isEmpty()) {
            EXPECT_TRUE(notices[0].text.contains(QString::fromUtf8(c.says))) << notices[0].text.toStdString();
        }
    }
}

TEST(MenuBarView, ShowsTheNoticesAndDropsThemWhenPutRight)
{
    // No OCR data and a library without tags: two notices, the second a long one.
    const QList<StartupNotices::Notice> two = StartupNotices::compute(
        {QStringLiteral("~/Shots"), true, true, false, true, false, QStringLiteral("/media/stick/Pictrove"), false});
    ASSERT_EQ(two.size(), 2);
    const ScreenshotRecord record = TestRecords::record(QStringLiteral("/nonexistent/screenshot_10-00-00.png"));
    // Set up before it is shown, as the tray does.
    const auto panel = [&](const QList<StartupNotices::Notice> &notices) {
        auto view = std::make_unique<MenuBarView>();
        view->setRecentScreenshots({record, record, record, record, record});
        view->setNotices(notices);
        view->show();
        return view;
    };
    const std::unique_ptr<MenuBarView> plain = panel({});
    const std::unique_ptr<MenuBarView> view = panel(two);
    EXPECT_EQ(view->noticeTexts(), QStringList({two[0].text, two[1].text}));
    for (const StartupNotices::Notice &n : two) {
        int shown = 0;
        for (const QLabel *label : view->findChildren<QLabel *>()) {
            shown += label->text() == n.text && label->accessibleName() == n.text && label->isVisible() ? 1 : 0;
        }
        EXPECT_EQ(shown, 1) << n.text.toStdString();
    }
    ASSERT_EQ(view->visibleRows().size(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(view->visibleRows()[i]->height(), plain->visibleRows()[i]->height()) << "squeezed row " << i;
    }
    EXPECT_GT(view->height(), plain->height() + 20);
    view->setNotices({});
    EXPECT_TRUE(view->noticeTexts().isEmpty());
    EXPECT_EQ(view->height(), plain->height());
}

} // namespace
