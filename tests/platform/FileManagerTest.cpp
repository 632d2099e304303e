// SPDX-License-Identifier: GPL-3.0-or-later
// What the library shares with the desktop's file manager: thumbnails in the shared cache, and
// showing a file in its folder.
#include "platform/FreedesktopThumbnailCache.h"
#include "platform/Workspace.h"

#include "common/PrivateSessionBus.h"
#include "common/TestEnvironment.h"
#include "common/TestFiles.h"
#include "common/TestImages.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDesktopServices>
#include <QDir>
#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Stands in for the desktop's file manager on the private bus, recording what it is asked.
class FakeFileManager : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")

public:
    QList<QStringList> shownItems;
    QStringList startupIds;

public slots:
    void ShowItems(const QStringList &uris, const QString &startupId)
    {
        shownItems.append(uris);
        startupIds.append(startupId);
    }
    void ShowFolders(const QStringList &, const QString &) {}
};

// Receives what would have gone to the desktop's default application.
class OpenedUrls : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> urls;

public slots:
    void open(const QUrl &url) { urls.append(url); }
};

// Without a file manager on the bus the containing folder opens; with one, it is asked to
// show the item and nothing else opens.
TEST(WorkspaceTest, RevealAsksTheFileManagerOrOpensTheContainingFolder)
{
    PrivateSessionBus &bus = PrivateSessionBus::shared();
    if (bus.address().isEmpty()) {
        GTEST_SKIP() << "SKIP: no private D-Bus session bus: " << bus.problem().toStdString();
    }
    OpenedUrls opened;
    QDesktopServices::setUrlHandler("file", &opened, "open");
    const QString folder = TestEnvironment::makeFolder("App");
    const QString file = TestEnvironment::writeFile(folder + QString::fromUtf8("/screenshot é 100%.png"), "x");
    ASSERT_FALSE(QDBusConnection::sessionBus().interface()->isServiceRegistered("org.freedesktop.FileManager1"));
    Workspace::reveal(file);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !opened.urls.isEmpty(); }, 5000));
    EXPECT_EQ(opened.urls, QList<QUrl>{QUrl::fromLocalFile(folder)});
    opened.urls.clear();

    QDBusConnection service = QDBusConnection::connectToBus(bus.address(), "fake-file-manager");
    FakeFileManager fake;
    ASSERT_TRUE(service.registerObject("/org/freedesktop/FileManager1", &fake, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(service.registerService("org.freedesktop.FileManager1"));
    Workspace::reveal(file);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !fake.shownItems.isEmpty(); }, 5000));
    EXPECT_EQ(fake.shownItems.first(), QStringList{QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded)});
    EXPECT_TRUE(fake.shownItems.first().first().endsWith("/screenshot%20%C3%A9%20100%25.png"));
    EXPECT_EQ(fake.startupIds.first(), QString());
    QTest::qWait(100);
    EXPECT_TRUE(opened.urls.isEmpty());

    service.unregisterService("org.freedesktop.FileManager1");
    QDBusConnection::disconnectFromBus("fake-file-manager");
    QDesktopServices::unsetUrlHandler("file");
}

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

} // namespace

#include "FileManagerTest.moc"
