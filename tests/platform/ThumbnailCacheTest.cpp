// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FreedesktopThumbnailCache.h"

#include "common/TestEnvironment.h"
#include "common/TestImages.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>

#include <sys/stat.h>
#include <utime.h>

namespace {

QString picture(const QString &path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    return TestImages::savePng(TestImages::filled(900, 600, QColor(0x30, 0x70, 0xc0)), path);
}

// Runs Python with GNOME's own thumbnail factory; empty when it is not installed.
QString gnomeFactory(const QString &script, const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"), QStringList{"-c", script} + args);
    if (!p.waitForFinished(60000) || p.exitCode() == 77) {
        return QStringLiteral("skip");
    }
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed() + QString::fromUtf8(p.readAllStandardError()).trimmed();
}

const char *factoryPrelude = R"(
import sys
try:
    import gi
    gi.require_version('GnomeDesktop', '3.0')
    gi.require_version('GdkPixbuf', '2.0')
    from gi.repository import GnomeDesktop, GdkPixbuf, GLib
except Exception:
    sys.exit(77)
factory = GnomeDesktop.DesktopThumbnailFactory.new(GnomeDesktop.DesktopThumbnailSize.XLARGE)
)";

} // namespace

TEST(ThumbnailCache, UriEscapingAsGLibDoes)
{
    const struct
    {
        const char *path, *uri;
    } cases[] = {
        {"/home/u/a.png", "file:///home/u/a.png"},
        {"/home/u/Screen Shot #1 (2).png", "file:///home/u/Screen%20Shot%20%231%20(2).png"},
        {"/t/M\u00e4rz;[x]%.png", "file:///t/M%C3%A4rz%3B%5Bx%5D%25.png"},
        {"/t/a//b/../c.png", "file:///t/a/c.png"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(FreedesktopThumbnailCache::fileUri(QString::fromUtf8(c.path)), QByteArray(c.uri)) << c.path;
    }
    EXPECT_EQ(FreedesktopThumbnailCache::fileName("file:///home/jens/photos/me.png"), "c6ee772d9e49320e97ec29a7eb5b1697.png");
}

TEST(ThumbnailCache, StoredThumbnailsAreValidUntilTheFileChanges)
{
    const QString root = TestEnvironment::makeFolder("thumbs-valid") + "/thumbnails";
    const QString file = picture(TestEnvironment::home() + "/pics/a.png");
    FreedesktopThumbnailCache cache(root);
    auto source = ThumbnailCache::source(file);
    ASSERT_TRUE(source);
    EXPECT_TRUE(cache.find(*source).isNull());
    ASSERT_TRUE(cache.store(*source, TestImages::filled(512, 341, Qt::darkGreen)));

    for (const auto &folder : FreedesktopThumbnailCache::writtenFolders()) {
        const QString path = cache.pathFor(folder, source->uri);
        struct stat st {};
        ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0) << path.toStdString();
        EXPECT_EQ(st.st_mode & 0777, 0600u) << folder.name;
        const QImage stored(path);
        EXPECT_EQ(qMax(stored.width(), stored.height()), folder.size);
        EXPECT_EQ(stored.text("Thumb::URI").toUtf8(), source->uri);
    }
    struct stat dir {};
    ::stat(QFile::encodeName(root + "/large").constData(), &dir);
    EXPECT_EQ(dir.st_mode & 0777, 0700u);
    EXPECT_TRUE(QDir(root + "/large").entryList(QDir::Files | QDir::Hidden).size() == 1) << "no temporary left";
    EXPECT_EQ(cache.find(*source).size(), QSize(512, 341));

    const struct
    {
        const char *what;
        qint64 mtime, size;
    } stale[] = {{"modified", source->mtime + 1, source->size}, {"other size", source->mtime, source->size + 1}};
    for (const auto &s : stale) {
        ThumbnailCache::Source changed = *source;
        changed.mtime = s.mtime;
        changed.size = s.size;
        EXPECT_TRUE(cache.find(changed).isNull()) << s.what;
    }
    // Another file whose thumbnail name collides is told apart by Thumb::URI.
    ThumbnailCache::Source other = *source;
    other.uri = "file:///elsewhere.png";
    QFile::copy(cache.pathFor(FreedesktopThumbnailCache::readFolders().first(), source->uri),
                cache.pathFor(FreedesktopThumbnailCache::readFolders().first(), other.uri));
    EXPECT_TRUE(cache.find(other).isNull());
}

TEST(ThumbnailCache, SharedWithGnomesThumbnailFactory)
{
    const QString cacheHome = TestEnvironment::makeFolder("thumbs-gnome");
    qputenv("XDG_CACHE_HOME", cacheHome.toUtf8());
    FreedesktopThumbnailCache cache(FreedesktopThumbnailCache::defaultRoot());
    EXPECT_EQ(FreedesktopThumbnailCache::defaultRoot(), cacheHome + "/thumbnails");

    // Ours, found valid by GNOME.
    const QString ours = picture(TestEnvironment::home() + "/pics/Screen Shot ä #1.png");
    auto source = ThumbnailCache::source(ours);
    ASSERT_TRUE(source);
    ASSERT_TRUE(cache.store(*source, TestImages::filled(512, 341, Qt::darkGreen)));
    const QString lookup = gnomeFactory(QString::fromUtf8(factoryPrelude) + R"(
uri = GLib.filename_to_uri(sys.argv[1], None)
print(factory.lookup(uri, int(sys.argv[2])) or 'none')
)", {ours, QString::number(source->mtime)});
    if (lookup == "skip") {
        GTEST_SKIP() << "GNOME's thumbnail factory (gir1.2-gnomedesktop-3.0) is not installed";
    }
    EXPECT_EQ(lookup, cache.pathFor(FreedesktopThumbnailCache::writtenFolders().first(), source->uri));

    // GNOME's, used by us.
    const QString theirs = picture(TestEnvironment::home() + "/pics/theirs.png");
    source = ThumbnailCache::source(theirs);
    const QString saved = gnomeFactory(QString::fromUtf8(factoryPrelude) + R"(
uri = GLib.filename_to_uri(sys.argv[1], None)
pixbuf = GdkPixbuf.Pixbuf.new_from_file_at_size(sys.argv[1], 300, 300)
factory.save_thumbnail(pixbuf, uri, int(sys.argv[2]), None)
print('saved')
)", {theirs, QString::number(source->mtime)});
    ASSERT_EQ(saved, "saved");
    EXPECT_EQ(cache.find(*source).size(), QSize(300, 200));
    qputenv("XDG_CACHE_HOME", (TestEnvironment::home() + "/.cache").toUtf8());
}
