// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileSystem.h"
#include "ui/gallery/GalleryFilter.h"
#include "ui/gallery/GalleryLoader.h"

#include "common/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QDir>

namespace {

ScreenshotIndexEntry entry(const QString &path, const QString &app, const QDateTime &time, QStringList tags = {},
                           QString text = {}, QList<QRectF> pii = {})
{
    ScreenshotIndexEntry e;
    e.path = path;
    e.appName = app;
    e.timestamp = time;
    e.tags = std::move(tags);
    e.ocrText = std::move(text);
    e.piiRects = std::move(pii);
    return e;
}

QString item(const QList<GalleryItem> &items, const QString &fileName, QString GalleryItem::*field)
{
    for (const GalleryItem &i : items) {
        if (i.fileName() == fileName) {
            return i.*field;
        }
    }
    return QStringLiteral("<missing>");
}

QStringList fileNames(const QList<GalleryItem> &items)
{
    QStringList names;
    for (const GalleryItem &i : items) {
        names << i.fileName();
    }
    return names;
}

} // namespace

TEST(GalleryLoader, FilesOnDiskWithWhatTheIndexKnows)
{
    const QString root = TestEnvironment::makeFolder(QStringLiteral("loader-lib"));
    const QString a = TestEnvironment::writeFile(root + "/Safari/2024-05-01/a.png", "x");
    const QString b = TestEnvironment::writeFile(root + "/Archive/Xcode/2024-01-02/b.PNG", "x");
    const QString c = TestEnvironment::writeFile(root + "/c.jpg", "x");
    TestEnvironment::writeFile(root + "/notes.txt", "x");
    TestEnvironment::writeFile(root + "/Archive/d.webp", "x");
    TestEnvironment::writeFile(root + "/.hidden/Terminal/e.png", "x");
    TestEnvironment::writeFile(root + "/Safari/.f.png", "x");
    const QString g = TestEnvironment::writeFile(root + "/Safari/2024-05-02/g.gif", "x");
    const QString h = TestEnvironment::writeFile(root + "/Safari/2024-05-03/h.jpeg", "x");
    QFile::link(a, root + "/Safari/link.png"); // links are not followed

    ASSERT_TRUE(FileSystem::writeTagNames(g, {"OnDisk"}));
    ASSERT_TRUE(FileSystem::writeTagNames(h, {"DiskTag"}));
    ScreenshotIndex::Entries entries;
    const QDateTime t1(QDate(2030, 1, 1), QTime(9, 0), Qt::UTC), t2 = t1.addSecs(60);
    // The index names another application than the folder; its empty tags fall back to the file's.
    entries.insert(g, entry(g, "Preview", t1, {}, "Quarterly REPORT", {QRectF(1, 2, 3, 4)}));
    entries.insert(h, entry(h, "Safari", t2, {"Indexed"}));

    const QList<GalleryItem> items = GalleryLoader::load(root, entries, GalleryLoader::fileTagReader());
    ASSERT_EQ(items.size(), 6) << fileNames(items).join(' ').toStdString();
    EXPECT_EQ(fileNames(items).mid(0, 2), (QStringList{"h.jpeg", "g.gif"})) << "the index's later dates first";
    const struct
    {
        const char *file;
        const char *app;
    } apps[] = {{"a.png", "Safari"}, {"b.PNG", "Xcode"}, {"c.jpg", "Unknown"}, {"d.webp", "Unknown"}, {"g.gif", "Preview"}, {"h.jpeg", "Safari"}};
    for (const auto &x : apps) {
        EXPECT_EQ(item(items, x.file, &GalleryItem::appName), x.app) << x.file;
    }
    for (const GalleryItem &i : items) {
        if (i.fileName() == "g.gif") {
            EXPECT_EQ(i.tags, QStringList{"OnDisk"});
            EXPECT_TRUE(i.hasPII);
            EXPECT_EQ(i.date, t1);
        } else if (i.fileName() == "h.jpeg") {
            EXPECT_EQ(i.tags, QStringList{"Indexed"}) << "the index's tags win over the file's";
            EXPECT_FALSE(i.hasPII);
        } else {
            EXPECT_FALSE(i.hasPII) << i.fileName().toStdString();
            EXPECT_TRUE(i.date.isValid());
        }
    }
}

TEST(GalleryLoader, MissingRootGivesNothing)
{
    EXPECT_TRUE(GalleryLoader::load(TestEnvironment::home() + "/no-such-library", {}, {}).isEmpty());
}

TEST(GalleryLoader, ApplicationFromThePath)
{
    const struct
    {
        const char *root, *path, *app;
    } cases[] = {
        {"/lib", "/lib/Safari/2024-05-01/a.png", "Safari"},
        {"/lib/", "/lib/Safari/a.png", "Safari"},
        {"/lib", "/lib/Archive/Xcode/2024-01-02/b.png", "Xcode"},
        {"/lib", "/lib/Archive/b.png", "Unknown"},
        {"/lib", "/lib/c.png", "Unknown"},
        {"/lib", "/lib/Archive/Archive/x/y.png", "Archive"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(GalleryLoader::appNameFromPath(c.root, c.path), c.app) << c.path;
    }
}
