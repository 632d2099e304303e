// SPDX-License-Identifier: GPL-3.0-or-later
#include "annotation/AnnotationStore.h"
#include "annotation/widgets/AnnotationEditorView.h"
#include "app/AppSettings.h"
#include "library/ScreenshotIndex.h"
#include "platform/NotificationCenter.h"
#include "shell/AppDelegate.h"
#include "shell/FirstRun.h"
#include "tags/widgets/TagDialogView.h"
#include "tags/widgets/TagDialogWindow.h"
#include "ui/MenuBarView.h"
#include "ui/gallery/GalleryWindow.h"
#include "ui/gallery/GalleryWindowView.h"

#include "common/ScopedEnv.h"
#include "common/TemporaryMount.h"
#include "common/TestEnvironment.h"
#include "common/TestRecords.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QUrl>
#include <QWidget>

#include <iterator>

namespace {

struct Fixture
{
    AppSettings settings;
    AppDelegate delegate{(settings.setEnableAnnotateHotkey(false), settings)};
};

ScreenshotIndexEntry entry(const QString &path, int minutesAgo, QList<QRectF> rects = {})
{
    return {path, "XTerm", QDateTime::currentDateTime().addSecs(-60 * minutesAgo), {}, std::move(rects), {}, {}};
}

TEST(AppDelegate, WindowNotificationsAreRouted)
{
    Fixture f;
    f.delegate.applicationDidFinishLaunching();
    NotificationCenter &center = NotificationCenter::defaultCenter();
    const QString file = TestEnvironment::writeFile(TestEnvironment::home() + "/a/screenshot_01-02-03.png", "x");
    center.post(NotificationCenter::openAnnotationEditor, {{"url", QUrl::fromLocalFile(file)}});
    center.post(NotificationCenter::openAnnotationEditor, {}); // no url: nothing
    center.post(NotificationCenter::openGallery, {{"query", "invoice"}});
    center.post(NotificationCenter::openGallery);
    center.post(NotificationCenter::openPreferences);
    center.post(NotificationCenter::openTagDialog, {{"appName", "XTerm"}}); // no url: nothing
    center.post(NotificationCenter::openTagDialog, {{"url", QUrl::fromLocalFile(file)}});
    ASSERT_NE(f.delegate.annotationWindow(), nullptr);
    EXPECT_EQ(f.delegate.annotationWindow()->windowTitle(), "Annotate — screenshot_01-02-03.png");
    // The library opens once; an empty query only raises it, so the search stays.
    ASSERT_NE(f.delegate.galleryWindow(), nullptr);
    EXPECT_EQ(f.delegate.galleryWindow()->view()->searchText(), "invoice");
    // The tag dialog opens for a record built from the notification; a second one replaces it.
    ASSERT_NE(f.delegate.tagDialogWindow(), nullptr);
    EXPECT_EQ(f.delegate.tagDialogWindow()->view()->record().movedURL, file);
    EXPECT_EQ(f.delegate.tagDialogWindow()->view()->record().appName, "Unknown");
    center.post(NotificationCenter::openTagDialog, {{"url", QUrl::fromLocalFile(file)}, {"appName", "XTerm"}});
    const QWidgetList windows = QApplication::topLevelWidgets();
    EXPECT_EQ(std::count_if(windows.begin(), windows.end(),
                            [](QWidget *w) { return qobject_cast<TagDialogWindow *>(w) && w->isVisible(); }),
              1);
    EXPECT_EQ(f.delegate.tagDialogWindow()->view()->record().appName, "XTerm");
    f.delegate.tagDialogWindow()->view()->skip();
    EXPECT_FALSE(f.delegate.tagDialogWindow() && f.delegate.tagDialogWindow()->isVisible());
    // A file the library holds is shown under its own application when the sender names none.
    ScreenshotIndexEntry held = entry(file, 5);
    held.appName = "Firefox";
    ScreenshotIndex::shared().insert(held);
    center.post(NotificationCenter::openTagDialog, {{"url", QUrl::fromLocalFile(file)}});
    ASSERT_NE(f.delegate.tagDialogWindow(), nullptr);
    EXPECT_EQ(f.delegate.tagDialogWindow()->view()->record().appName, "Firefox");
    EXPECT_EQ(f.delegate.tagDialogWindow()->view()->record().timestamp, held.timestamp);
    ScreenshotIndex::shared().remove(file);
    // The preferences open as their own window; asking again raises the same one.
    QWidget *prefs = f.delegate.preferencesWindow();
    ASSERT_NE(prefs, nullptr);
    EXPECT_TRUE(prefs->isVisible());
    EXPECT_EQ(prefs->minimumSize(), prefs->maximumSize());
    center.post(NotificationCenter::openPreferences);
    EXPECT_EQ(f.delegate.preferencesWindow(), prefs);
    prefs->close();
    QTRY_VERIFY(f.delegate.preferencesWindow() == nullptr);
    // Offscreen there is no tray: the panel is a window of its own, so the app is not invisible.
    EXPECT_FALSE(f.delegate.hasTray());
    ASSERT_NE(f.delegate.panelWindow(), nullptr);
    EXPECT_TRUE(f.delegate.panelWindow()->isVisible());
    // It says why in the window.
    EXPECT_TRUE(f.delegate.menuBarView()->noticeTexts().join(' ').contains("No system tray"));
    f.delegate.applicationWillTerminate();
}

TEST(AppDelegate, RedactActionMarksTheStoredAreasAndAnnotateLatestSkipsFilesThatAreGone)
{
    Fixture f;
    ScreenshotIndex &index = ScreenshotIndex::shared();
    const QString file = TestEnvironment::writeFile(TestEnvironment::home() + "/r/screenshot_10-00-00.png", "x");
    const QList<QRectF> rects = {{10, 20, 30, 40}, {0, 0, 5, 5}, {100, 50, 20, 10}};
    index.insert(entry(file, 1, rects));
    ScreenshotRecord record = TestRecords::record(file);
    for (const char *style : {"blur", "black"}) {
        f.settings.setPiiRedactionStyle(QString::fromLatin1(style));
        const QList<Annotation> marks = f.delegate.redactionMarksFor(record);
        ASSERT_EQ(marks.size(), 3) << style;
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(marks[i].rect, rects[i]);
            EXPECT_EQ(marks[i].tool(), std::string(style) == "black" ? AnnotationTool::redact : AnnotationTool::blur);
            EXPECT_EQ(marks[i].color, QColor(Qt::black));
        }
    }
    f.delegate.handleThumbnailAction(ThumbnailAction::annotate, record);
    QPointer<QWidget> first = f.delegate.annotationWindow();
    f.delegate.handleThumbnailAction(ThumbnailAction::redactPII, record);
    // The open editor is replaced by one holding the marks.
    QTRY_VERIFY(first.isNull());
    auto *editor = qobject_cast<AnnotationEditorView *>(f.delegate.annotationWindow());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->store().annotations().size(), 3);
    EXPECT_EQ(editor->store().undoStack().size(), 0);
    editor->cancelButton()->click();
    QTRY_VERIFY(f.delegate.annotationWindow() == nullptr);
    record.movedURL = file + ".unknown";
    EXPECT_TRUE(f.delegate.redactionMarksFor(record).isEmpty());

    // Delete: the entry leaves the index (the thumbnail already trashed the file).
    record.movedURL = file;
    f.delegate.handleThumbnailAction(ThumbnailAction::deleteScreenshot, record);
    EXPECT_FALSE(index.contains(file));
    EXPECT_TRUE(index.hasPendingSave());

    // Annotate latest opens the newest file still there.
    const QString older = TestEnvironment::writeFile(TestEnvironment::home() + "/l/screenshot_09-00-00.png", "x");
    const QString oldest = TestEnvironment::writeFile(TestEnvironment::home() + "/l/screenshot_08-00-00.png", "x");
    const QString gone = TestEnvironment::home() + "/l/screenshot_11-00-00.png";
    index.insert(entry(oldest, 90));
    index.insert(entry(older, 30));
    index.insert(entry(gone, 1));
    f.delegate.annotateLatest();
    ASSERT_NE(f.delegate.annotationWindow(), nullptr);
    EXPECT_EQ(f.delegate.annotationWindow()->windowTitle(), "Annotate — screenshot_09-00-00.png");
    f.delegate.annotationWindow()->close();
    QTRY_VERIFY(f.delegate.annotationWindow() == nullptr);
    for (const QString &p : {older, oldest, gone}) {
        index.remove(p);
    }
    f.delegate.annotateLatest(); // nothing left: nothing opens
    EXPECT_EQ(f.delegate.annotationWindow(), nullptr);
}

// What the start finds missing, probed on real folders, real installed data and a real file
// system without user extended attributes.

using Kind = StartupNotices::Kind;

TEST(FirstRun, ProbeFindsWhatIsMissing)
{
    const QString ok = TestEnvironment::makeFolder("probe-ok");
    const QByteArray emptyTess = TestEnvironment::makeFolder("probe-tessdata").toLocal8Bit();
    std::unique_ptr<TemporaryMount> ramfs = TemporaryMount::create("ramfs");
    struct Case
    {
        const char *name;
        QString watch;
        QString library;
        bool tray;
        const char *tessdata;
        std::vector<Kind> expected;
    };
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
        std::vector<Kind> kinds;
        std::transform(notices.begin(), notices.end(), std::back_inserter(kinds), [](const auto &n) { return n.kind; });
        EXPECT_EQ(kinds, c.expected) << c.name;
        if (!notices.isEmpty() && notices[0].kind == Kind::noScreenshotFolder) {
            EXPECT_TRUE(notices[0].text.contains("~/Pictures/Screenshots")) << notices[0].text.toStdString();
        }
    }
    if (!ramfs) {
        GTEST_SKIP() << TemporaryMount::skipMessage("ramfs").toStdString();
    }
}

} // namespace
