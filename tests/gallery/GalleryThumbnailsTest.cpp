// SPDX-License-Identifier: GPL-3.0-or-later
// Thumbnails shrunk from PNGs as they are decoded look as Qt's own decode-then-smooth-scale
// does, for every kind of PNG; what the fast reader cannot read is still made another way. The
// ones the library makes are shared with a real file manager's thumbnailer both ways: GNOME's
// thumbnail factory takes ours as valid, and the library uses the factory's instead of decoding
// the picture again.
#include "platform/FreedesktopThumbnailCache.h"
#include "ui/gallery/GalleryThumbnails.h"
#include "ui/gallery/PngThumbnailReader.h"

#include "common/QtPrinters.h"
#include "common/ScopedEnv.h"
#include "common/TestFiles.h"
#include "common/TestImages.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QImage>
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
            for (int shift = 0; shift < 32; shift += 8) {
                sum += std::abs(int(a.pixel(x, y) >> shift & 0xff) - int(b.pixel(x, y) >> shift & 0xff));
            }
        }
    }
    return sum / (4.0 * a.width() * a.height());
}

// Checks argv[1] with the factory at both sizes it shares with us, then makes and saves its
// own thumbnail of argv[2]; prints the three paths. Exits 77 without the factory.
const char *gnomeFactory = R"(
import os, sys
try:
    import gi
    gi.require_version('GnomeDesktop', '3.0')
    from gi.repository import GnomeDesktop, GLib
except Exception:
    sys.exit(77)
factory = GnomeDesktop.DesktopThumbnailFactory.new
stamp = lambda path: (GLib.filename_to_uri(path, None), int(os.stat(path).st_mtime))
uri, mtime = stamp(sys.argv[1])
for size in (GnomeDesktop.DesktopThumbnailSize.XLARGE, GnomeDesktop.DesktopThumbnailSize.LARGE):
    print(factory(size).lookup(uri, mtime) or 'not valid')
uri, mtime = stamp(sys.argv[2])
theirs = factory(GnomeDesktop.DesktopThumbnailSize.XLARGE)
theirs.save_thumbnail(theirs.generate_thumbnail(uri, 'image/png', None), uri, mtime, None)
print(theirs.lookup(uri, mtime) or 'not saved')
)";

} // namespace

TEST(PngThumbnailReader, ShrinksEveryKindOfPngAsQtWouldAndFallsBackOnTheRest)
{
    const QString dir = TestEnvironment::makeFolder("png-thumbnails");
    const QImage big = scene(1900, 1210);
    // Invisible red among opaque blue: alpha-weighted, it averages to half-transparent blue.
    QImage stripes(800, 2, QImage::Format_ARGB32);
    for (int i = 0; i < 1600; ++i) {
        stripes.setPixel(i % 800, i / 800, i % 2 ? qRgba(255, 0, 0, 0) : qRgba(0, 0, 255, 255));
    }
    ASSERT_TRUE(big.save(dir + "/whole.png"));
    const QByteArray whole = TestFiles::contents(dir + "/whole.png");
    TestEnvironment::writeFile(dir + "/cut.png", whole.left(whole.size() / 2));
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

TEST(GnomeThumbnailFactory, SharesThumbnailsBothWays)
{
    const QString cacheHome = TestEnvironment::makeFolder("gnome-thumbnails");
    const ScopedEnv env({{"XDG_CACHE_HOME", QFile::encodeName(cacheHome).constData()}});
    ASSERT_EQ(FreedesktopThumbnailCache::defaultRoot(), cacheHome + "/thumbnails");
    const FreedesktopThumbnailCache cache(FreedesktopThumbnailCache::defaultRoot());
    const QString pictures = TestEnvironment::makeFolder("gnome-thumbnails-pictures");
    const QString ours = pictures + "/Screenshot ä #1.png";
    const QString theirs = pictures + "/theirs.png";
    ASSERT_TRUE(TestImages::filled(1600, 1000, QColor(0x30, 0x70, 0xc0)).save(ours));
    ASSERT_TRUE(TestImages::filled(1600, 1000, QColor(0xc0, 0x70, 0x30)).save(theirs));

    ASSERT_FALSE(GalleryThumbnails::make(ours, cache).isNull());
    QProcess gnome;
    gnome.start("/usr/bin/python3", {"-c", gnomeFactory, ours, theirs});
    ASSERT_TRUE(gnome.waitForFinished(120000));
    if (gnome.exitCode() == 77) {
        GTEST_SKIP() << "GNOME's thumbnail factory (gir1.2-gnomedesktop-3.0, python3-gi) is not installed";
    }
    const QStringList found = QString::fromUtf8(gnome.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(found.size(), 3) << gnome.readAllStandardError().toStdString();
    const QByteArray ourUri = FreedesktopThumbnailCache::fileUri(ours);
    EXPECT_EQ(found.at(0), cache.pathFor({"x-large", 512}, ourUri));
    EXPECT_EQ(found.at(1), cache.pathFor({"large", 256}, ourUri));

    // GNOME's thumbnail is used as it is: not decoded again, not written over.
    const QString gnomes = found.at(2);
    const QFileInfo before(gnomes);
    ASSERT_TRUE(before.exists()) << gnomes.toStdString();
    const QImage used = GalleryThumbnails::make(theirs, cache);
    EXPECT_EQ(used.size(), QSize(400, 250));
    EXPECT_EQ(used.pixel(200, 125), qRgb(0xc0, 0x70, 0x30));
    EXPECT_EQ(QFileInfo(gnomes).lastModified(), before.lastModified());
    EXPECT_FALSE(QFile::exists(cache.pathFor({"large", 256}, FreedesktopThumbnailCache::fileUri(theirs))))
        << "nothing made from the picture";
}
