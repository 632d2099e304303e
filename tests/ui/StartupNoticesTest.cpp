// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/StartupNotices.h"
#include "ui/MenuBarView.h"

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
        std::function<void(Conditions &)> change;
        std::vector<Kind> kinds;
        const char *says; // in the first notice
    };
    const Case cases[] = {
        {"all well", [](Conditions &) {}, {}, ""},
        {"no folder", [](Conditions &c) { c.watchedFolderExists = false; }, {Kind::noScreenshotFolder}, "~/Shots"},
        {"no tray", [](Conditions &c) { c.hasSystemTray = false; }, {Kind::noSystemTray}, "tray"},
        {"no OCR data", [](Conditions &c) { c.textRecognitionDataInstalled = false; }, {Kind::noTextRecognitionData},
         "Install tesseract-ocr-eng"},
        // Face data matters only once faces are asked for.
        {"no face data, faces off", [](Conditions &c) { c.faceDataInstalled = false; }, {}, ""},
        {"no face data, faces on",
         [](Conditions &c) {
             c.faceDataInstalled = false;
             c.facesWanted = true;
         },
         {Kind::noFaceData}, "Install opencv-data"},
        {"no tags", [](Conditions &c) { c.libraryHoldsTags = false; }, {Kind::noFileTags}, "/media/stick/Pictrove"},
        {"all missing",
         [](Conditions &c) {
             c = Conditions{"~/Shots", false, false, false, false, true, "~/Lib", false};
         },
         {Kind::noScreenshotFolder, Kind::noSystemTray, Kind::noTextRecognitionData, Kind::noFaceData, Kind::noFileTags},
         "create it"},
    };
    for (const Case &c : cases) {
        Conditions conditions;
        conditions.watchedFolder = QStringLiteral("~/Shots");
        conditions.libraryFolder = QStringLiteral("/media/stick/Pictrove");
        c.change(conditions);
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
    MenuBarView view;
    view.show();
    const int plain = view.height();
    const QList<StartupNotices::Notice> two = {
        {Kind::noTextRecognitionData,
         QStringLiteral("Install tesseract-ocr-eng to find text and personal information in screenshots.")},
        {Kind::noFaceData, QStringLiteral("Install opencv-data to find faces.")},
    };
    view.setNotices(two);
    EXPECT_EQ(view.noticeTexts(), QStringList({two[0].text, two[1].text}));
    for (const StartupNotices::Notice &n : two) {
        int shown = 0;
        for (const QLabel *label : view.findChildren<QLabel *>()) {
            if (label->text() == n.text && label->accessibleName() == n.text && label->isVisible()) {
                ++shown;
                // Wrapped whole, not squeezed into fewer lines than it needs.
                EXPECT_GE(label->height(), label->heightForWidth(label->width())) << n.text.toStdString();
            }
        }
        EXPECT_EQ(shown, 1) << n.text.toStdString();
    }
    EXPECT_GT(view.height(), plain + 20);
    view.setNotices({});
    EXPECT_TRUE(view.noticeTexts().isEmpty());
    EXPECT_EQ(view.height(), plain);
}

} // namespace
