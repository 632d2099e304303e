// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FreedesktopThumbnailCache.h"

#include "common/TestEnvironment.h"
#include "common/TestFiles.h"
#include "common/TestImages.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>

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
    const QString file = TestImages::writeImage("a.png", 900, 600, QColor(0x30, 0x70, 0xc0));
    FreedesktopThumbnailCache cache(root);
    auto source = ThumbnailCache::source(file);
    ASSERT_TRUE(source);
    EXPECT_TRUE(cache.find(*source).isNull());
    ASSERT_TRUE(cache.store(*source, TestImages::filled(512, 341, Qt::darkGreen)));

    for (const auto &folder : FreedesktopThumbnailCache::writtenFolders()) {
        const QString path = cache.pathFor(folder, source->uri);
        EXPECT_EQ(TestFiles::statOf(path).st_mode & 0777, 0600u) << folder.name;
        const QImage stored(path);
        EXPECT_EQ(qMax(stored.width(), stored.height()), folder.size);
        EXPECT_EQ(stored.text("Thumb::URI").toUtf8(), source->uri);
    }
    EXPECT_EQ(TestFiles::statOf(root + "/large").st_mode & 0777, 0700u);
    EXPECT_TRUE(QDir(root + "/large").entryList(QDir::Files | QDir::Hidden).size() == 1) << "no temporary left";
    EXPECT_EQ(cache.find(*source).size(), QSize(512, 341));

    ThumbnailCache::Source changed = *source;
    ++changed.mtime;
    EXPECT_TRUE(cache.find(changed).isNull()) << "modified";
    changed = *source;
    ++changed.size;
    EXPECT_TRUE(cache.find(changed).isNull()) << "other size";
    // Another file whose thumbnail name collides is told apart by Thumb::URI.
    ThumbnailCache::Source other = *source;
    other.uri = "file:///elsewhere.png";
    QFile::copy(cache.pathFor(FreedesktopThumbnailCache::readFolders().first(), source->uri),
                cache.pathFor(FreedesktopThumbnailCache::readFolders().first(), other.uri));
    EXPECT_TRUE(cache.find(other).isNull());
}
