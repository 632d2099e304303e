// SPDX-License-Identifier: GPL-3.0-or-later
// The library's thumbnails shared with a real file manager's thumbnailer: GNOME's own
// thumbnail factory takes the ones the library makes as valid, and the library uses the ones
// that factory makes instead of decoding the picture again.
#include "platform/FreedesktopThumbnailCache.h"
#include "ui/gallery/GalleryThumbnails.h"

#include "common/QtPrinters.h"
#include "common/ScopedEnv.h"
#include "common/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QImage>
#include <QProcess>

namespace {

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
def factory(size):
    return GnomeDesktop.DesktopThumbnailFactory.new(size)
def stamp(path):
    return GLib.filename_to_uri(path, None), int(os.stat(path).st_mtime)
uri, mtime = stamp(sys.argv[1])
for size in (GnomeDesktop.DesktopThumbnailSize.XLARGE, GnomeDesktop.DesktopThumbnailSize.LARGE):
    print(factory(size).lookup(uri, mtime) or 'not valid')
uri, mtime = stamp(sys.argv[2])
theirs = factory(GnomeDesktop.DesktopThumbnailSize.XLARGE)
theirs.save_thumbnail(theirs.generate_thumbnail(uri, 'image/png', None), uri, mtime, None)
print(theirs.lookup(uri, mtime) or 'not saved')
)";

} // namespace

TEST(GnomeThumbnailFactory, SharesThumbnailsBothWays)
{
    const QString cacheHome = TestEnvironment::makeFolder("gnome-thumbnails");
    const ScopedEnv env({{"XDG_CACHE_HOME", QFile::encodeName(cacheHome).constData()}});
    ASSERT_EQ(FreedesktopThumbnailCache::defaultRoot(), cacheHome + "/thumbnails");
    const FreedesktopThumbnailCache cache(FreedesktopThumbnailCache::defaultRoot());
    const QString pictures = TestEnvironment::makeFolder("gnome-thumbnails-pictures");
    const QString ours = pictures + "/Screenshot ä #1.png";
    const QString theirs = pictures + "/theirs.png";
    QImage picture(1600, 1000, QImage::Format_RGB32);
    picture.fill(QColor(0x30, 0x70, 0xc0));
    ASSERT_TRUE(picture.save(ours));
    picture.fill(QColor(0xc0, 0x70, 0x30));
    ASSERT_TRUE(picture.save(theirs));

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
