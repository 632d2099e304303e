// SPDX-License-Identifier: GPL-3.0-or-later
// Thumbnails shrunk from PNGs as they are decoded look as Qt's own decode-then-smooth-scale
// does, for every kind of PNG; what the fast reader cannot read is still made another way.
#include "ui/gallery/GalleryThumbnails.h"
#include "ui/gallery/PngThumbnailReader.h"

#include "common/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QPainter>
#include <QProcess>

#include <cmath>

namespace {

// A screenshot-like picture: flat areas, hard edges, a gradient and half-transparent pixels.
QImage scene(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(QColor(240, 236, 230));
    QPainter p(&image);
    QLinearGradient g(0, 0, w, h);
    g.setColorAt(0, Qt::red);
    g.setColorAt(1, Qt::cyan);
    p.fillRect(w / 2, h / 4, w / 3, h / 2, g);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.fillRect(w / 8, h / 2, w / 4, h / 3, QColor(20, 160, 40, 120));
    p.fillRect(0, h - h / 10, w, h / 10, Qt::transparent);
    return image;
}

// Mean absolute difference per channel of the premultiplied pixels.
double difference(QImage a, QImage b)
{
    a.convertTo(QImage::Format_ARGB32_Premultiplied);
    b.convertTo(QImage::Format_ARGB32_Premultiplied);
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb pa = a.pixel(x, y), pb = b.pixel(x, y);
            sum += std::abs(qRed(pa) - qRed(pb)) + std::abs(qGreen(pa) - qGreen(pb)) + std::abs(qBlue(pa) - qBlue(pb)) +
                std::abs(qAlpha(pa) - qAlpha(pb));
        }
    }
    return sum / (4.0 * a.width() * a.height());
}

} // namespace

TEST(PngThumbnailReader, ShrinksEveryKindOfPngAsQtWouldAndFallsBackOnTheRest)
{
    const QString dir = TestEnvironment::makeFolder("png-thumbnails");
    const QImage big = scene(1900, 1210);
    // Invisible red among opaque blue: alpha-weighted, it averages to half-transparent blue.
    QImage stripes(800, 2, QImage::Format_ARGB32);
    for (int x = 0; x < 800; ++x) {
        stripes.setPixel(x, 0, x % 2 ? qRgba(255, 0, 0, 0) : qRgba(0, 0, 255, 255));
        stripes.setPixel(x, 1, stripes.pixel(x, 0));
    }
    ASSERT_TRUE(big.save(dir + "/whole.png"));
    QFile whole(dir + "/whole.png");
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    TestEnvironment::writeFile(dir + "/cut.png", whole.readAll().left(whole.size() / 2));
    const bool interlaced = QProcess::execute("convert", {dir + "/whole.png", "-interlace", "PNG", dir + "/interlaced.png"}) == 0;
    const struct
    {
        const char *file;
        QImage image; // saved as the file unless null
        QSize fast;   // what the fast reader gives; 0 × 0: it refuses the file
        QSize made;   // the thumbnail made by any means; 0 × 0: none
    } cases[] = {
        {"rgb.png", big.convertToFormat(QImage::Format_RGB32), {400, 254}, {400, 254}},
        {"rgba.png", big, {400, 254}, {400, 254}},
        {"rgba16.png", big.convertToFormat(QImage::Format_RGBA64), {400, 254}, {400, 254}},
        {"grey.png", big.convertToFormat(QImage::Format_Grayscale8), {400, 254}, {400, 254}},
        {"palette.png", big.convertToFormat(QImage::Format_Indexed8), {400, 254}, {400, 254}},
        {"tall.png", scene(500, 3000), {66, 400}, {66, 400}},
        {"small.png", scene(300, 180), {300, 180}, {300, 180}},
        {"stripes.png", stripes, {400, 1}, {400, 1}},
        {"cut.png", {}, {0, 0}, {0, 0}}, // damaged: no thumbnail, no crash
        {"photo.jpg", big.convertToFormat(QImage::Format_RGB32), {0, 0}, {400, 254}},
        {"interlaced.png", {}, {0, 0}, {400, 254}},
    };
    const std::unique_ptr<ThumbnailCache> none = ThumbnailCache::none();
    for (const auto &c : cases) {
        const QString path = dir + "/" + c.file;
        if (!c.image.isNull()) {
            ASSERT_TRUE(c.image.save(path)) << c.file;
        } else if (!interlaced && QByteArray(c.file) == "interlaced.png") {
            continue; // ImageMagick is missing
        }
        const QImage thumb = PngThumbnailReader::read(path, 400);
        ASSERT_EQ(thumb.size(), c.fast) << c.file;
        EXPECT_EQ(GalleryThumbnails::make(path, *none).size(), c.made) << c.file;
        if (!thumb.isNull()) {
            const QImage qt = QImage(path).convertToFormat(QImage::Format_ARGB32).scaled(c.fast, Qt::IgnoreAspectRatio,
                                                                                         Qt::SmoothTransformation);
            EXPECT_LT(difference(thumb, qt), 1.5) << c.file;
            EXPECT_EQ(thumb.hasAlphaChannel(), QImage(path).hasAlphaChannel()) << c.file;
        }
    }
    const QRgb mixed = PngThumbnailReader::read(dir + "/stripes.png", 400).pixel(7, 0);
    EXPECT_EQ(qRed(mixed), 0);
    EXPECT_NEAR(qAlpha(mixed), 128, 1);
}
