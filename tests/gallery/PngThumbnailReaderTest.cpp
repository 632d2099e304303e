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
    p.fillRect(0, 0, w, h / 12, QColor(40, 60, 120));
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
        const auto *ra = reinterpret_cast<const QRgb *>(a.constScanLine(y));
        const auto *rb = reinterpret_cast<const QRgb *>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            sum += std::abs(qRed(ra[x]) - qRed(rb[x])) + std::abs(qGreen(ra[x]) - qGreen(rb[x])) +
                std::abs(qBlue(ra[x]) - qBlue(rb[x])) + std::abs(qAlpha(ra[x]) - qAlpha(rb[x]));
        }
    }
    return sum / (4.0 * a.width() * a.height());
}

} // namespace

TEST(PngThumbnailReader, ShrinksEveryKindOfPngAsQtWould)
{
    const QString dir = TestEnvironment::makeFolder("png-thumbnails");
    const QImage big = scene(1900, 1210);
    const struct
    {
        const char *name;
        QImage image;
        QSize expected;
    } cases[] = {
        {"rgb", big.convertToFormat(QImage::Format_RGB32), {400, 254}},
        {"rgba", big, {400, 254}},
        {"rgba 16 bit", big.convertToFormat(QImage::Format_RGBA64), {400, 254}},
        {"grey", big.convertToFormat(QImage::Format_Grayscale8), {400, 254}},
        {"palette", big.convertToFormat(QImage::Format_Indexed8), {400, 254}},
        {"tall", scene(500, 3000), {66, 400}},
        {"small, kept as it is", scene(300, 180), {300, 180}},
    };
    for (const auto &c : cases) {
        const QString path = dir + "/" + c.name + ".png";
        ASSERT_TRUE(c.image.save(path)) << c.name;
        const QImage thumb = PngThumbnailReader::read(path, 400);
        ASSERT_EQ(thumb.size(), c.expected) << c.name;
        const QImage qt = QImage(path).convertToFormat(QImage::Format_ARGB32).scaled(c.expected, Qt::IgnoreAspectRatio,
                                                                                     Qt::SmoothTransformation);
        EXPECT_LT(difference(thumb, qt), 1.5) << c.name;
        EXPECT_EQ(thumb.hasAlphaChannel(), QImage(path).hasAlphaChannel()) << c.name;
    }

    // Transparent pixels lend no colour: invisible red among opaque blue averages to blue.
    QImage stripes(800, 2, QImage::Format_ARGB32);
    for (int x = 0; x < 800; ++x) {
        stripes.setPixel(x, 0, x % 2 ? qRgba(255, 0, 0, 0) : qRgba(0, 0, 255, 255));
        stripes.setPixel(x, 1, stripes.pixel(x, 0));
    }
    stripes.save(dir + "/stripes.png");
    const QRgb mixed = PngThumbnailReader::read(dir + "/stripes.png", 400).convertToFormat(QImage::Format_ARGB32).pixel(7, 0);
    EXPECT_EQ(qRed(mixed), 0);
    EXPECT_NEAR(qAlpha(mixed), 128, 1);
}

TEST(PngThumbnailReader, WhatItCannotReadIsMadeAnotherWayOrRefused)
{
    const QString dir = TestEnvironment::makeFolder("png-fallback");
    const std::unique_ptr<ThumbnailCache> none = ThumbnailCache::none();
    scene(1200, 800).save(dir + "/whole.png");
    QFile whole(dir + "/whole.png");
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray bytes = whole.readAll();
    QFile cut(dir + "/cut.png");
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(bytes.left(bytes.size() / 2));
    cut.close();
    scene(1200, 800).convertToFormat(QImage::Format_RGB32).save(dir + "/photo.jpg");
    const bool interlaced =
        QProcess::execute("convert", {dir + "/whole.png", "-interlace", "PNG", dir + "/interlaced.png"}) == 0;

    const struct
    {
        const char *file;
        bool fastReader, made;
    } cases[] = {
        {"whole.png", true, true},
        {"cut.png", false, false}, // damaged: no thumbnail, no crash
        {"photo.jpg", false, true},
        {"interlaced.png", false, true},
    };
    for (const auto &c : cases) {
        if (!interlaced && QByteArray(c.file) == "interlaced.png") {
            continue; // ImageMagick is missing
        }
        const QString path = dir + "/" + c.file;
        EXPECT_EQ(!PngThumbnailReader::read(path, 400).isNull(), c.fastReader) << c.file;
        const QImage made = GalleryThumbnails::make(path, *none);
        EXPECT_EQ(!made.isNull(), c.made) << c.file;
        if (c.made) {
            EXPECT_EQ(made.size(), QSize(400, 266)) << c.file;
        }
    }
}
