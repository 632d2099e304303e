// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the floating thumbnail on a light and a dark palette. The pictures go to
// $PICTROVE_LOOK_DIR when set, for a person to look at; the checks here catch a lost shape.
#include "ui/FloatingThumbnailPanel.h"
#include "ui/ThumbnailContentView.h"

#include "common/TestEnvironment.h"
#include "common/TestPalettes.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPainter>
#include <QStyleFactory>
#include <QTest>

namespace {

TEST(SurfaceLook, ThumbnailOnLightAndDark)
{
    QImage picture(1440, 900, QImage::Format_RGB32);
    picture.fill(QColor(0x2d, 0x6c, 0xdf));
    QPainter(&picture).fillRect(QRect(0, 0, 1440, 60), QColor(0x1b, 0x3f, 0x8a));
    ScreenshotRecord r;
    r.id = QUuid::createUuid();
    r.movedURL = TestEnvironment::makeFolder(QStringLiteral("look")) + "/screenshot_09-30-00.png";
    ASSERT_TRUE(picture.save(r.movedURL));
    const QPalette original = QApplication::palette();
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    FloatingThumbnailPanel::setShadowsForced(true);
    for (const auto &[name, palette] : {std::pair{"light", TestPalettes::light()}, std::pair{"dark", TestPalettes::dark()}}) {
        QApplication::setPalette(palette);
        FloatingThumbnailPanel panel(r);
        panel.thumbnailContentView()->showPIIBadge();
        panel.togglePin();
        QTest::qWait(300); // the badge's grow-in
        const QImage shot = panel.grab().toImage();
        if (const QString dir = qEnvironmentVariable("PICTROVE_LOOK_DIR"); !dir.isEmpty()) {
            // On a desktop-like backdrop, so the shadow shows.
            QImage backdrop(shot.size() + QSize(40, 40), QImage::Format_ARGB32);
            backdrop.fill(name == std::string("light") ? QColor(0xd8, 0xdc, 0xe3) : QColor(0x1a, 0x1c, 0x20));
            QPainter(&backdrop).drawImage(20, 20, shot);
            backdrop.save(QStringLiteral("%1/thumbnail-%2.png").arg(dir, name));
        }
        // The corner outside the rounded card stays see-through; the middle is the picture.
        const int m = (shot.width() - 212 * shot.devicePixelRatio()) / 2;
        EXPECT_LT(qAlpha(shot.pixel(m + 1, m + 1)), 128) << name;
        EXPECT_EQ(QColor(shot.pixel(shot.width() / 2, shot.height() / 2 + 20)).blue(), 0xdf) << name;
    }
    FloatingThumbnailPanel::setShadowsForced(false);
    QApplication::setPalette(original);
}

} // namespace
