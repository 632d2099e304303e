// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/FloatingThumbnailPanel.h"
#include "ui/PreviewImage.h"
#include "ui/ThumbnailContentView.h"
#include "ui/ThumbnailGeometry.h"
#include "ui/ThumbnailStack.h"

#include "common/TestImages.h"
#include "common/TestLook.h"
#include "common/TestPointer.h"
#include "common/TestRecords.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTest>

#include <functional>

namespace {

ScreenshotRecord recordWithImage(const QSize &size)
{
    return TestRecords::record(TestImages::writeImage("screenshot_10-00-00.png", size.width(), size.height()));
}

TEST(ThumbnailGeometry, StackingPlacementAndPointerThresholds)
{
    const QRect visible(0, 30, 1000, 770); // panel bar on top
    // Resting 16 above the bottom and 16 from the right; off-screen 10 beyond the right edge.
    EXPECT_EQ(ThumbnailGeometry::restingPosition(visible, {212, 137}, 0), QPoint(1000 - 212 - 16, 800 - 16 - 137));
    EXPECT_EQ(ThumbnailGeometry::restingPosition(visible, {112, 62}, 145), QPoint(1000 - 112 - 16, 800 - 16 - 145 - 62));
    EXPECT_EQ(ThumbnailGeometry::offscreenPosition(visible, {212, 137}, 0), QPoint(1010, 800 - 16 - 137));
    // A picture that cannot be read still gets a panel; the stack test sizes the others.
    EXPECT_EQ(ThumbnailGeometry::previewSize({}), QSize(16, 9));

    using G = ThumbnailGeometry::Gesture;
    const std::pair<QPointF, G> cases[] = {
        {{4, 0}, G::None},   {{3, 4}, G::None},   {{40, -10}, G::Swipe}, {{31, 30}, G::Swipe},
        {{6, 0}, G::Drag},   {{30, 0}, G::Drag},  {{-40, 0}, G::Drag},   {{31, 31}, G::Drag},
        {{0, -20}, G::Drag},
    };
    for (const auto &[delta, gesture] : cases) {
        EXPECT_EQ(ThumbnailGeometry::classifyDrag(delta), gesture) << delta.x() << "," << delta.y();
    }
}

TEST(FloatingThumbnail, CountdownHoverPinAndBadge)
{
    ThumbnailStack stack;
    FloatingThumbnailPanel *panel = stack.showThumbnail(recordWithImage({800, 600}), {});
    ThumbnailContentView *view = panel->thumbnailContentView();
    ASSERT_TRUE(panel->hasDismissTimer());
    EXPECT_EQ(panel->dismissTimerInterval(), 5000);

    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(view, &enter);
    EXPECT_FALSE(panel->hasDismissTimer());
    EXPECT_TRUE(view->isHighlighted());
    // A badge while the pointer rests on the panel adds no countdown.
    stack.showPIIBadge(panel->record().id);
    EXPECT_TRUE(view->hasPIIBadge());
    EXPECT_FALSE(panel->hasDismissTimer());

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(view, &leave);
    EXPECT_TRUE(panel->hasDismissTimer());
    EXPECT_EQ(panel->dismissTimerInterval(), 5000);
    EXPECT_FALSE(view->isHighlighted());

    stack.showPIIBadge(panel->record().id);
    EXPECT_EQ(panel->dismissTimerInterval(), 8000);

    panel->togglePin();
    EXPECT_TRUE(view->hasPinIndicator());
    EXPECT_FALSE(panel->hasDismissTimer());
    panel->startDismissTimer(5); // the pointer leaving a pinned panel
    EXPECT_FALSE(panel->hasDismissTimer());
    EXPECT_EQ(view->contextMenuLabels().first(), "Unpin");
    panel->togglePin();
    EXPECT_FALSE(view->hasPinIndicator());
    EXPECT_TRUE(panel->hasDismissTimer());
    EXPECT_EQ(panel->dismissTimerInterval(), 5000);
    EXPECT_EQ(view->contextMenuLabels().first(), "Pin Thumbnail");
}

TEST(FloatingThumbnail, CountdownDismissesAndTheStackClosesUp)
{
    ThumbnailStack stack;
    FloatingThumbnailPanel *a = stack.showThumbnail(recordWithImage({2880, 1800}), {}); // 137 high
    FloatingThumbnailPanel *b = stack.showThumbnail(recordWithImage({100, 50}), {});    // 62
    FloatingThumbnailPanel *c = stack.showThumbnail(recordWithImage({150, 401}), {});   // 212
    QTest::qWait(FloatingThumbnailPanel::showMs + 100);
    const QRect visible = FloatingThumbnailPanel::targetVisibleArea();
    EXPECT_EQ(a->framePosition(), ThumbnailGeometry::restingPosition(visible, {212, 137}, 0));
    EXPECT_EQ(b->framePosition(), ThumbnailGeometry::restingPosition(visible, {112, 62}, 145));
    EXPECT_EQ(c->framePosition(), ThumbnailGeometry::restingPosition(visible, {87, 212}, 215));

    const QPoint aBefore = a->framePosition();
    b->dismiss(true);
    QTest::qWait(FloatingThumbnailPanel::dismissMs + FloatingThumbnailPanel::moveMs + 150);
    ASSERT_EQ(stack.panels(), (QList<FloatingThumbnailPanel *>{a, c}));
    EXPECT_EQ(a->framePosition(), aBefore);
    EXPECT_EQ(c->framePosition(), ThumbnailGeometry::restingPosition(visible, {87, 212}, 145));

    // The 5-second countdown takes a panel away by itself.
    a->startDismissTimer(0);
    QTest::qWait(FloatingThumbnailPanel::dismissMs + 150);
    EXPECT_EQ(stack.panels(), (QList<FloatingThumbnailPanel *>{c}));
}

TEST(FloatingThumbnail, LimitOfFiveSparesPinnedPanels)
{
    {
        ThumbnailStack stack;
        QList<FloatingThumbnailPanel *> shown;
        for (int i = 0; i < 5; ++i) {
            shown << stack.showThumbnail(recordWithImage({100, 50}), {});
        }
        shown[0]->togglePin();
        FloatingThumbnailPanel *sixth = stack.showThumbnail(recordWithImage({100, 50}), {});
        // The oldest unpinned one went at once, without sliding out.
        EXPECT_EQ(stack.panels(), (QList<FloatingThumbnailPanel *>{shown[0], shown[2], shown[3], shown[4], sixth}));
        QTest::qWait(FloatingThumbnailPanel::showMs + 100);
        const QRect visible = FloatingThumbnailPanel::targetVisibleArea();
        EXPECT_EQ(sixth->framePosition(), ThumbnailGeometry::restingPosition(visible, {112, 62}, 4 * 70));
    }
    {
        ThumbnailStack stack;
        for (int i = 0; i < 5; ++i) {
            stack.showThumbnail(recordWithImage({100, 50}), {})->togglePin();
        }
        stack.showThumbnail(recordWithImage({100, 50}), {});
        EXPECT_EQ(stack.panels().size(), 6);
    }
}

TEST(FloatingThumbnail, ClickSwipeAndDrag)
{
    // What, the moves after the press at (20, 20), the release, whether a file drag started,
    // what was reported, whether the panel went.
    const std::tuple<const char *, QList<QPointF>, QPointF, bool, QList<ThumbnailAction>, bool> cases[] = {
        {"click 4 away", {}, {24, 20}, false, {ThumbnailAction::tagScreenshot}, true},
        {"release exactly 5 away", {}, {25, 20}, false, {}, false},
        {"release 5 away on the diagonal", {}, {23, 24}, false, {}, false},
        {"quick flick right", {{23, 20}, {60, 10}}, {60, 10}, false, {}, true},
        {"slow move right", {{26, 20}}, {26, 20}, true, {}, false},
        {"to the left", {{-20, 20}}, {-20, 20}, true, {}, false},
    };
    for (const auto &[what, moves, release, dragged, actions, gone] : cases) {
        ThumbnailStack stack;
        QList<ThumbnailAction> reported;
        FloatingThumbnailPanel *panel = stack.showThumbnail(
            recordWithImage({800, 600}), [&](ThumbnailAction a, const ScreenshotRecord &) { reported << a; });
        ThumbnailContentView *view = panel->thumbnailContentView();
        bool dragStarted = false;
        view->startFileDrag = [&] { dragStarted = true; };
        TestPointer::gesture(view, {20, 20}, moves, release);
        QTest::qWait(FloatingThumbnailPanel::dismissMs + 150);
        EXPECT_EQ(dragStarted, dragged) << what;
        EXPECT_EQ(reported, actions) << what;
        EXPECT_EQ(stack.panels().isEmpty(), gone) << what;
    }
}

// An action is reported once, after the panel has slid out, whatever else dismisses it meanwhile.
TEST(FloatingThumbnail, AnActionIsReportedOnceAfterTheSlideOut)
{
    const std::tuple<const char *, std::function<void(ThumbnailStack &, FloatingThumbnailPanel *)>, ThumbnailAction>
        cases[] = {
        {"delete trashes the file at once",
         [](ThumbnailStack &, FloatingThumbnailPanel *panel) {
             panel->thumbnailContentView()->runContextMenuItem(QStringLiteral("Delete Screenshot"));
             EXPECT_FALSE(QFile::exists(panel->record().movedURL));
         },
         ThumbnailAction::deleteScreenshot},
        {"annotate, then the countdown, a swipe and the limit of five while it slides out",
         [](ThumbnailStack &, FloatingThumbnailPanel *panel) {
             panel->performAction(ThumbnailAction::annotate);
             panel->startDismissTimer(0);
             panel->dismiss(true);
             panel->dismiss(false);
         },
         ThumbnailAction::annotate},
        {"the badge, shown once however often it is asked for",
         [](ThumbnailStack &stack, FloatingThumbnailPanel *panel) {
             stack.showPIIBadge(panel->record().id);
             stack.showPIIBadge(panel->record().id);
             QWidget *badge = panel->thumbnailContentView()->piiBadge();
             ASSERT_NE(badge, nullptr);
             QTest::mouseClick(badge, Qt::LeftButton);
         },
         ThumbnailAction::redactPII},
    };
    for (const auto &[what, act, action] : cases) {
        ThumbnailStack stack;
        const ScreenshotRecord record = recordWithImage({300, 200});
        QList<ThumbnailAction> reported;
        FloatingThumbnailPanel *panel = stack.showThumbnail(record, [&](ThumbnailAction a, const ScreenshotRecord &r) {
            EXPECT_EQ(r.id, record.id);
            reported << a;
        });
        act(stack, panel);
        QTest::qWait(FloatingThumbnailPanel::dismissMs + 150);
        EXPECT_EQ(reported, QList<ThumbnailAction>{action}) << what;
        EXPECT_TRUE(stack.panels().isEmpty()) << what;
    }
}

// The corner outside the rounded card stays see-through; the middle is the picture.
TEST(FloatingThumbnail, LooksRightOnLightAndDark)
{
    QImage picture(1440, 900, QImage::Format_RGB32);
    picture.fill(QColor(0x2d, 0x6c, 0xdf));
    QPainter(&picture).fillRect(QRect(0, 0, 1440, 60), QColor(0x1b, 0x3f, 0x8a));
    const ScreenshotRecord r = recordWithImage({});
    ASSERT_TRUE(picture.save(r.movedURL));
    FloatingThumbnailPanel::setShadowsForced(true);
    TestLook::onLightAndDark([&](const QString &name) {
        FloatingThumbnailPanel panel(r);
        panel.thumbnailContentView()->showPIIBadge();
        panel.togglePin();
        QTest::qWait(300); // the badge's grow-in
        const QImage shot = panel.grab().toImage();
        // On a desktop-like backdrop, so the shadow shows.
        QImage backdrop(shot.size() + QSize(40, 40), QImage::Format_ARGB32);
        backdrop.fill(name == "light" ? QColor(0xd8, 0xdc, 0xe3) : QColor(0x1a, 0x1c, 0x20));
        QPainter(&backdrop).drawImage(20, 20, shot);
        TestLook::keep(backdrop, "thumbnail-" + name);
        const int m = (shot.width() - 212 * shot.devicePixelRatio()) / 2;
        EXPECT_LT(qAlpha(shot.pixel(m + 1, m + 1)), 128) << name.toStdString();
        EXPECT_EQ(QColor(shot.pixel(shot.width() / 2, shot.height() / 2 + 20)).blue(), 0xdf) << name.toStdString();
    });
    FloatingThumbnailPanel::setShadowsForced(false);
}

TEST(PreviewImage, ScalesEveryFormatInItsTrueColours)
{
    // One-colour captures are written as palette or one-bit PNGs: those must not turn to noise.
    const QRgb blue = qRgb(0x30, 0x70, 0xc0);
    const std::tuple<QImage::Format, const char *, Qt::AspectRatioMode, QSize> cases[] = {
        {QImage::Format_RGB32, "PNG", Qt::KeepAspectRatio, {60, 33}},
        {QImage::Format_Indexed8, "PNG", Qt::KeepAspectRatio, {60, 33}},
        {QImage::Format_Mono, "PNG", Qt::KeepAspectRatio, {60, 33}},
        {QImage::Format_Mono, "PNG", Qt::KeepAspectRatioByExpanding, {145, 80}},
        {QImage::Format_RGB32, "JPEG", Qt::KeepAspectRatioByExpanding, {145, 80}},
    };
    int n = 0;
    for (const auto &[format, type, mode, expected] : cases) {
        QImage image(900, 496, format);
        if (format == QImage::Format_RGB32) {
            image.fill(blue);
        } else {
            image.setColorTable({blue, blue});
            image.fill(0);
        }
        const QString path = TestEnvironment::home() + QStringLiteral("/preview-%1.img").arg(++n);
        ASSERT_TRUE(image.save(path, type));
        const QImage preview = PreviewImage::read(path, QSize(60, 80), mode);
        EXPECT_EQ(preview.size(), expected) << n;
        for (const QPoint &at : {QPoint(1, 1), QPoint(preview.width() / 2, preview.height() / 2)}) {
            const QColor got = preview.pixelColor(at);
            EXPECT_NEAR(got.red(), 0x30, 3) << n; // JPEG is near, not exact
            EXPECT_NEAR(got.green(), 0x70, 3) << n;
            EXPECT_NEAR(got.blue(), 0xc0, 3) << n;
        }
    }
    EXPECT_TRUE(PreviewImage::read(TestEnvironment::home() + "/missing.png", QSize(60, 80)).isNull());
}

} // namespace
