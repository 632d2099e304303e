// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/StartupNotices.h"
#include "platform/NotificationCenter.h"
#include "ui/MenuBarView.h"
#include "ui/MenuItemButton.h"
#include "ui/PopoverGeometry.h"
#include "ui/RecentRow.h"
#include "ui/RecentWindow.h"
#include "ui/RelativeTime.h"
#include "ui/TrayPopover.h"

#include "common/TestRecords.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace {

const QDateTime now = QDateTime(QDate(2026, 3, 5), QTime(14, 0, 0));

QList<ScreenshotRecord> recordsAged(const QList<int> &secondsAgo)
{
    QList<ScreenshotRecord> list;
    for (int s : secondsAgo) {
        list.append(TestRecords::record(QStringLiteral("/nonexistent/screenshot_%1.png").arg(s),
                                        QStringLiteral("App %1").arg(s), now.addSecs(-s)));
    }
    return list;
}

QList<int> range(int count, int step = 1)
{
    QList<int> list;
    for (int i = 0; i < count; ++i) {
        list.append(i * step + 1);
    }
    return list;
}

TEST(MenuBarView, RecentRowsExpanderAndSplit)
{
    struct Case
    {
        int inWindow;
        int visible;
        const char *expander;
        int older;
    };
    const Case cases[] = {
        {0, 0, "", 0}, {5, 5, "", 0}, {6, 5, "More recents (1)", 1}, {15, 5, "More recents (10)", 10}, {20, 5, "More recents (10)", 10},
    };
    for (const Case &c : cases) {
        MenuBarView view;
        view.setNow(now);
        view.setRecentPreviewMinutes(5);
        view.setRecentScreenshots(recordsAged(range(c.inWindow, 5)));
        EXPECT_EQ(view.visibleRows().size(), c.visible) << c.inWindow;
        EXPECT_EQ(view.expanderText(), c.expander) << c.inWindow;
        EXPECT_TRUE(view.olderRows().isEmpty());
        if (c.older > 0) {
            view.toggleMoreRecents();
            EXPECT_EQ(view.olderRows().size(), c.older);
            EXPECT_EQ(view.expanderText(), "Hide older");
            EXPECT_EQ(view.olderRows().first()->record().appName, QStringLiteral("App %1").arg(5 * 5 + 1));
        }
    }
}

// The window is strictly later than its start; entries age out of it at the ticks.
TEST(MenuBarView, EntriesAgeOutAtTicks)
{
    const QList<ScreenshotRecord> in = RecentWindow::inWindow(recordsAged({60, 240, 299, 300, 360}), now, 5);
    ASSERT_EQ(in.size(), 3);
    EXPECT_EQ(in[2].appName, "App 299");
    MenuBarView view;
    view.setNow(now);
    view.setRecentPreviewMinutes(5);
    view.setRecentScreenshots(recordsAged({60, 240, 360}));
    EXPECT_EQ(view.visibleRows().size(), 2);
    view.setNow(now.addSecs(70));
    EXPECT_EQ(view.visibleRows().size(), 1);
    view.setRecentPreviewMinutes(10);
    EXPECT_EQ(view.visibleRows().size(), 3);
    EXPECT_FALSE(view.refreshTimerActive());
    view.show();
    EXPECT_TRUE(view.refreshTimerActive()); // only while on screen: no wake-ups when hidden
    view.hide();
    EXPECT_FALSE(view.refreshTimerActive());
}

TEST(MenuBarView, StatusPauseResumeAndTheCommandsAndSearchPostNotifications)
{
    QList<QPair<QString, QVariantMap>> posted;
    QObject context;
    QObject::connect(&NotificationCenter::defaultCenter(), &NotificationCenter::posted, &context,
                     [&posted](const QString &name, const QVariantMap &info) { posted.append({name, info}); });
    MenuBarView view;
    int requests = 0;
    QObject::connect(&view, &MenuBarView::pauseResumeRequested, [&requests] { ++requests; });
    view.setMonitoring(false);
    EXPECT_EQ(view.statusText(), "Paused");
    ASSERT_NE(view.commandButton("Resume Monitoring"), nullptr);
    view.setMonitoring(true);
    EXPECT_EQ(view.statusText(), "Active");
    ASSERT_NE(view.commandButton("Pause Monitoring"), nullptr);
    view.commandButton("Pause Monitoring")->click();
    EXPECT_EQ(requests, 1);

    QTest::keyClicks(view.searchField(), QStringLiteral("invoice"));
    QTest::keyClick(view.searchField(), Qt::Key_Return);
    EXPECT_TRUE(view.searchField()->text().isEmpty());
    QTest::keyClick(view.searchField(), Qt::Key_Return);
    view.commandButton("Preferences...")->click();
    view.commandButton("Browse All Screenshots")->click();

    ASSERT_EQ(posted.size(), 4);
    EXPECT_EQ(posted[0].first, NotificationCenter::openGallery);
    EXPECT_EQ(posted[0].second, (QVariantMap{{"query", "invoice"}}));
    EXPECT_EQ(posted[1].second, (QVariantMap{{"query", ""}})); // an empty box posts an empty query
    EXPECT_EQ(posted[2].first, NotificationCenter::openPreferences);
    EXPECT_EQ(posted[3].first, NotificationCenter::openGallery);
    EXPECT_TRUE(posted[3].second.isEmpty());

    view.setNow(now);
    ScreenshotRecord r = recordsAged({30}).first();
    r.tags = {QStringLiteral("work")};
    view.setRecentScreenshots({r});
    RecentRow *row = view.visibleRows().first();
    EXPECT_EQ(row->tagText(), "1 tag");
    row->runContextMenuItem(QStringLiteral("Annotate"));
    ASSERT_EQ(posted.size(), 5);
    EXPECT_EQ(posted[4].first, NotificationCenter::openAnnotationEditor);
    EXPECT_EQ(posted[4].second.value("url").toUrl().toLocalFile(), r.movedURL);
    r.tags.append(QStringLiteral("home"));
    view.setRecentScreenshots({r});
    EXPECT_EQ(view.visibleRows().first()->tagText(), "2 tags");
}

TEST(TrayPopover, SizedByItsContentAndFollowsIt)
{
    auto *view = new MenuBarView;
    TrayPopover popover(view);
    view->setNow(now);
    view->setRecentScreenshots(recordsAged({10}));
    popover.toggle();
    ASSERT_TRUE(popover.isVisible());
    const int oneRow = popover.height();
    EXPECT_EQ(popover.contentSize(), PopoverGeometry::contentSize(view->sizeHint()));
    // A capture arriving while the panel is open makes it taller, up to the cap.
    view->setRecentScreenshots(recordsAged({5, 10, 15}));
    EXPECT_GT(popover.height(), oneRow);
    view->setRecentScreenshots(recordsAged(range(20, 5)));
    EXPECT_EQ(popover.height(), 520 + 2);
    popover.toggle();
    EXPECT_FALSE(popover.isVisible());
    popover.toggle(); // the click that closed it does not reopen it at once
    EXPECT_FALSE(popover.isVisible());
}

TEST(RelativeTime, PhrasedByIcuInTheUsersLanguage)
{
    EXPECT_EQ(RelativeTime::format(now.addSecs(-5 * 60), now, "en_US"), "5 minutes ago");
    EXPECT_EQ(RelativeTime::format(now.addSecs(-30), now, "en_US"), "30 seconds ago");
    EXPECT_EQ(RelativeTime::format(now.addSecs(-2 * 3600), now, "en_US"), "2 hours ago");
    EXPECT_EQ(RelativeTime::format(now.addSecs(-5 * 60), now, "de_DE"), "vor 5 Minuten");
}

TEST(PopoverGeometry, SizingAndPlacement)
{
    EXPECT_EQ(PopoverGeometry::contentSize({280, 50}), QSize(280, 100));
    EXPECT_EQ(PopoverGeometry::contentSize({280, 800}), QSize(280, 520));
    EXPECT_EQ(PopoverGeometry::contentSize({200, 300}), QSize(280, 300));
    EXPECT_EQ(PopoverGeometry::contentSize({320, 300}), QSize(320, 300));

    const QRect available(0, 24, 1280, 776);
    // Top bar icon near the right edge: below the pointer, pushed left to fit.
    EXPECT_EQ(PopoverGeometry::placement({1270, 12}, {282, 400}, available), QPoint(1280 - 282, 24));
    // Bottom panel: above the pointer.
    EXPECT_EQ(PopoverGeometry::placement({600, 790}, {282, 400}, available), QPoint(600 - 141, 790 - 4 - 400));
    // Taller than the screen: pinned to its top.
    EXPECT_EQ(PopoverGeometry::placement({10, 500}, {282, 900}, available).y(), 24);
}

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
