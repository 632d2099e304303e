// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the thumbnail and the tray panel on a light and a dark palette. The pictures go to
// $PICTROVE_LOOK_DIR when set, for a person to look at; the checks here catch a lost shape.
#include "app/StartupNotices.h"
#include "ui/FloatingThumbnailPanel.h"
#include "ui/MenuBarView.h"
#include "ui/ThumbnailContentView.h"

#include "common/TestEnvironment.h"
#include "common/TestPalettes.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPainter>
#include <QStyleFactory>
#include <QTest>

namespace {

QString sampleCapture(const QString &folder, const QString &name, const QColor &a, const QColor &b)
{
    QImage image(1440, 900, QImage::Format_RGB32);
    QPainter p(&image);
    p.fillRect(image.rect(), a);
    p.fillRect(QRect(0, 0, 1440, 60), b);
    p.fillRect(QRect(80, 140, 600, 40), b.lighter(130));
    p.fillRect(QRect(80, 220, 1100, 24), QColor(255, 255, 255, 140));
    p.fillRect(QRect(80, 260, 900, 24), QColor(255, 255, 255, 110));
    p.end();
    const QString path = folder + "/" + name;
    image.save(path);
    return path;
}

void save(const QImage &image, const QString &name)
{
    const QString dir = qEnvironmentVariable("PICTROVE_LOOK_DIR");
    if (!dir.isEmpty()) {
        image.save(dir + "/" + name);
    }
}

TEST(SurfaceLook, ThumbnailAndPanelOnLightAndDark)
{
    const QString folder = TestEnvironment::makeFolder(QStringLiteral("look"));
    const QString capture = sampleCapture(folder, "screenshot_09-30-00.png", QColor(0x2d, 0x6c, 0xdf), QColor(0x1b, 0x3f, 0x8a));
    const QPalette original = QApplication::palette();
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    FloatingThumbnailPanel::setShadowsForced(true);
    for (const auto &[name, palette] : {std::pair{"light", TestPalettes::light()}, std::pair{"dark", TestPalettes::dark()}}) {
        QApplication::setPalette(palette);
        ScreenshotRecord r;
        r.id = QUuid::createUuid();
        r.movedURL = capture;
        FloatingThumbnailPanel panel(r);
        panel.thumbnailContentView()->showPIIBadge();
        panel.togglePin();
        QTest::qWait(300); // the badge's grow-in
        const QImage shot = panel.grab().toImage();
        // On a desktop-like backdrop, so the shadow shows.
        QImage backdrop(shot.size() + QSize(40, 40), QImage::Format_ARGB32);
        backdrop.fill(name == std::string("light") ? QColor(0xd8, 0xdc, 0xe3) : QColor(0x1a, 0x1c, 0x20));
        QPainter p(&backdrop);
        p.drawImage(20, 20, shot);
        p.end();
        save(backdrop, QStringLiteral("thumbnail-%1.png").arg(name));
        // The corner outside the rounded card stays see-through; the middle is the picture.
        const int m = (shot.width() - 212 * shot.devicePixelRatio()) / 2;
        EXPECT_LT(qAlpha(shot.pixel(m + 1, m + 1)), 128) << name;
        EXPECT_EQ(QColor(shot.pixel(shot.width() / 2, shot.height() / 2 + 20)).blue(), 0xdf) << name;

        MenuBarView view;
        view.setMonitoring(true);
        view.setNow(QDateTime::currentDateTime());
        QList<ScreenshotRecord> recents;
        for (int i = 0; i < 7; ++i) {
            ScreenshotRecord rr;
            rr.id = QUuid::createUuid();
            rr.appName = QStringList{"Firefox", "XTerm", "Text Editor", "Files"}.at(i % 4);
            rr.movedURL = i % 3 == 2 ? QStringLiteral("/nonexistent.png") : capture;
            rr.timestamp = QDateTime::currentDateTime().addSecs(-40 * i - 20);
            if (i == 1) {
                rr.tags = {"work", "bug"};
            }
            recents.append(rr);
        }
        view.setRecentScreenshots(recents);
        view.setNotices(StartupNotices::compute({QStringLiteral("~/Shots"), true, true, false, true, false,
                                                 QStringLiteral("/media/stick/Pictrove"), false}));
        view.adjustSize();
        view.show();
        const QImage panelShot = view.grab().toImage();
        save(panelShot, QStringLiteral("panel-%1.png").arg(name));
        EXPECT_EQ(panelShot.width(), 280 * panelShot.devicePixelRatio());
        EXPECT_GT(panelShot.height(), 300);
    }
    FloatingThumbnailPanel::setShadowsForced(false);
    QApplication::setPalette(original);
}

} // namespace
