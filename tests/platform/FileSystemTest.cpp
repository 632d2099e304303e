// SPDX-License-Identifier: GPL-3.0-or-later
// Walking, writing, tagging and moving files on real file systems, tmpfs and ext4 mounts among them.
#include "platform/FileSystem.h"
#include "platform/FileSystemPrivate.h"

#include "common/TemporaryMount.h"
#include "common/TestFiles.h"
#include "common/TestEnvironment.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>

namespace {

TEST(WalkTest, SkipsHiddenItemsLinksAndSpecialFilesInARepeatableOrderFromAnyRoot)
{
    const QString root = TestEnvironment::makeFolder("library"), outside = TestEnvironment::makeFolder("outside");
    for (const char *file : {"App/2024-03-05/a.png", "App/2024-03-05/b.JPG", "App/.hidden.png", ".cache/deep/c.png",
                             "App/.thumbs/d.png", "Archive/App/old.png", "top.png", "Ünï cödé/e.png"}) {
        TestEnvironment::writeFile(root + "/" + QString::fromUtf8(file), "x");
    }
    TestEnvironment::writeFile(outside + "/secret.png", "x");
    ASSERT_TRUE(TestFiles::link(outside, root + "/linked-folder"));
    ASSERT_TRUE(TestFiles::link(outside + "/secret.png", root + "/App/linked.png"));
    ASSERT_TRUE(TestFiles::link(root + "/missing.png", root + "/dangling.png"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(root + "/App/pipe.png").constData(), 0600), 0);
    const auto relativeWalk = [&](const std::function<bool(const FileSystem::WalkItem &)> &prune = {}) {
        QStringList seen;
        const QDateTime now = QDateTime::currentDateTime();
        FileSystem::walk(root, [&](const FileSystem::WalkItem &item) {
            seen << item.path.mid(root.size() + 1) + (item.isDirectory ? "/" : "");
            EXPECT_TRUE(item.created.isValid() && qAbs(item.created.secsTo(now)) <= 60)
                << "creation time of " << item.path.toStdString();
            return prune ? prune(item) : true;
        });
        return seen;
    };

    // Each folder before its contents, names in byte order.
    QStringList expected{"App/", "App/2024-03-05/", "App/2024-03-05/a.png", "App/2024-03-05/b.JPG",
                         "Archive/", "Archive/App/", "Archive/App/old.png", "top.png",
                         QString::fromUtf8("Ünï cödé/"), QString::fromUtf8("Ünï cödé/e.png")};
    EXPECT_EQ(relativeWalk(), expected);

    // A pruned folder is visited but not entered.
    expected.removeAll("Archive/App/");
    expected.removeAll("Archive/App/old.png");
    EXPECT_EQ(relativeWalk([](const FileSystem::WalkItem &item) {
                  return !(item.isDirectory && item.path.endsWith(QLatin1String("/Archive")));
              }),
              expected);

    // A root given as a link is followed; a missing root yields nothing.
    const QString rootLink = TestEnvironment::makeFolder("links") + "/library";
    ASSERT_TRUE(TestFiles::link(root, rootLink));
    int viaLink = 0;
    FileSystem::walk(rootLink + "/", [&](const FileSystem::WalkItem &item) {
        EXPECT_TRUE(item.path.startsWith(rootLink + "/")) << item.path.toStdString();
        ++viaLink;
        return true;
    });
    EXPECT_EQ(viaLink, relativeWalk().size());

    int missing = 0;
    FileSystem::walk(root + "/no-such-folder", [&](const FileSystem::WalkItem &) { return ++missing > 0; });
    EXPECT_EQ(missing, 0);
}

TEST(WriteFileTest, ReplacesTheWholeContentAndLeavesNothingElseOrKeepsTheOldOnFailure)
{
    for (const bool atomic : {true, false}) {
        SCOPED_TRACE(atomic ? "atomic" : "plain");
        const QString folder = TestEnvironment::makeFolder("store");
        const QString path = folder + "/index.json";
        ASSERT_TRUE(FileSystem::writeFile(path, QByteArray(4096, 'a'), atomic).ok());

        const Status written = FileSystem::writeFile(path, "{}", atomic);

        ASSERT_TRUE(written.ok()) << written.error().toStdString();
        EXPECT_EQ(TestFiles::contents(path), "{}");
        EXPECT_EQ(TestFiles::entries(folder), QStringList{"index.json"});
        EXPECT_FALSE(FileSystem::writeFile(folder + "/missing/index.json", "{}", atomic).ok());
    }

    // An atomic write that fails part-way, for more than the disk holds, keeps the old content.
    MOUNT_OR_SKIP(mount, "tmpfs", 1);
    const QString path = mount->path() + "/index.json";
    ASSERT_TRUE(FileSystem::writeFile(path, "old", true).ok());
    const Status written = FileSystem::writeFile(path, TestFiles::randomBytes(2 * 1024 * 1024), true);
    EXPECT_FALSE(written.ok());
    EXPECT_EQ(TestFiles::contents(path), "old");
    EXPECT_EQ(TestFiles::entries(mount->path()), QStringList{"index.json"});
}

TEST(TagRoundTripTest, WritesTheAttributeOthersReadAndReadsItBack)
{
    if (!TestFiles::hasTool("getfattr")) {
        GTEST_SKIP() << "SKIP: getfattr (package attr) is not installed";
    }
    const struct
    {
        QStringList written;
        QString stored;
        QStringList readBack;
    } cases[] = {
        {{"Red"}, "Red", {"Red"}}, {{"Work", "Blue", "Alpha"}, "Work,Blue,Alpha", {"Work", "Blue", "Alpha"}},
        {{QString::fromUtf8("Ünïcödé 日本"), "two words"}, QString::fromUtf8("Ünïcödé 日本,two words"),
         {QString::fromUtf8("Ünïcödé 日本"), "two words"}},
        {{"dup", "dup"}, "dup,dup", {"dup", "dup"}}, {{"", "A", ""}, "A", {"A"}}, {{}, "<none>", {}},
        {{""}, "<none>", {}},
    };
    for (const auto &c : cases) {
        const QString file = TestEnvironment::writeFile(TestEnvironment::makeFolder("tags") + "/s.png", "x");
        ASSERT_TRUE(FileSystem::writeTagNames(file, {"Previous"}).ok());

        const Status written = FileSystem::writeTagNames(file, c.written);

        ASSERT_TRUE(written.ok()) << written.error().toStdString();
        // The attribute exactly as another program sees it.
        const TestFiles::ToolRun seen =
            TestFiles::runTool("getfattr", {"--absolute-names", "--only-values", "-n", "user.xdg.tags", file});
        EXPECT_EQ(seen.exitCode == 0 ? seen.output : "<none>", c.stored);
        const Result<QStringList> read = FileSystem::readTagNames(file);
        ASSERT_TRUE(read.ok()) << read.error().toStdString();
        EXPECT_EQ(read.value(), c.readBack) << c.stored.toStdString();
    }
}

TEST(TagReadTest, UntaggedFileReadsEmptyOthersEmptyPartsAreSkippedAndMissingFileFails)
{
    const QString folder = TestEnvironment::makeFolder("tags");
    const QString file = TestEnvironment::writeFile(folder + "/s.png", "x");
    const Result<QStringList> untagged = FileSystem::readTagNames(file);
    ASSERT_TRUE(untagged.ok());
    EXPECT_TRUE(untagged.value().isEmpty());
    EXPECT_TRUE(FileSystem::writeTagNames(file, {}).ok()) << "nothing to remove is no failure";

    if (TestFiles::hasTool("setfattr")) {
        ASSERT_EQ(TestFiles::runTool("setfattr", {"-n", "user.xdg.tags", "-v", ",a,,b c,", file}).exitCode, 0);
        const Result<QStringList> read = FileSystem::readTagNames(file);
        ASSERT_TRUE(read.ok());
        EXPECT_EQ(read.value(), (QStringList{"a", "b c"}));
    }

    EXPECT_TRUE(FileSystem::readTagNames(folder + "/gone.png").error().contains("No such file"));
    EXPECT_FALSE(FileSystem::writeTagNames(folder + "/gone.png", {"A"}).ok());
    EXPECT_FALSE(FileSystem::writeTagNames(folder + "/gone.png", {}).ok());

    // A file system without user attributes says so.
    MOUNT_OR_SKIP(mount, "ramfs");
    const QString unsupported = TestEnvironment::writeFile(mount->path() + "/s.png", "x");
    EXPECT_EQ(FileSystem::writeTagNames(unsupported, {"Red"}).error(), "The file system does not support tags");
    EXPECT_EQ(FileSystem::readTagNames(unsupported).error(), "The file system does not support tags");
}

// A move on one disk is a rename; onto another file system the copy is staged unnamed (what
// tmpfs and ext4 offer) or under a hidden temporary name (file systems without O_TMPFILE).
// Either way the content, mode, time and tags arrive and the source is gone.
TEST(MoveTest, RenamesOnOneDiskAndCopiesSyncsAndRemovesAcross)
{
    using FileSystem::detail::Staging;
    const struct
    {
        const char *type; // null: the home disk
        Staging staging;
    } cases[] = {{nullptr, Staging::Automatic},
                 {"tmpfs", Staging::Automatic}, {"tmpfs", Staging::Named},
                 {"ext4", Staging::Automatic}};
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.type ? c.type : "home") + (c.staging == Staging::Named ? " named" : " unnamed"));
        std::unique_ptr<TemporaryMount> mount;
        if (c.type) {
            mount = TemporaryMount::create(QString::fromLatin1(c.type), 32);
            if (!mount) {
                GTEST_SKIP() << TemporaryMount::skipMessage(c.type).toStdString();
            }
        }
        const QByteArray bytes = TestFiles::randomBytes(3 * 1024 * 1024 + 17);
        const QString source = TestEnvironment::writeFile(TestEnvironment::makeFolder("src") + "/shot.PNG", bytes);
        const QByteArray nativeSource = QFile::encodeName(source);
        ASSERT_EQ(::chmod(nativeSource.constData(), 0640), 0);
        const struct timespec times[2] = {{1700000000, 0}, {1600000000, 123000000}};
        ASSERT_EQ(::utimensat(AT_FDCWD, nativeSource.constData(), times, 0), 0);
        ASSERT_EQ(::setxattr(nativeSource.constData(), "user.xdg.tags", "Red,Work", 8, 0), 0);
        const QString folder = (mount ? mount->path() : TestEnvironment::makeFolder("dst")) + "/App/2024-03-05";
        QDir().mkpath(folder);
        const QString destination = folder + "/screenshot_14-07-09.PNG";
        const ino_t inode = TestFiles::statOf(source).st_ino;

        const Status moved = c.staging == Staging::Automatic
                                 ? FileSystem::move(source, destination)
                                 : FileSystem::detail::moveAcrossFileSystems(source, destination, c.staging);

        ASSERT_TRUE(moved.ok()) << moved.error().toStdString();
        EXPECT_FALSE(FileSystem::exists(source));
        EXPECT_EQ(TestFiles::contents(destination), bytes);
        EXPECT_EQ(TestFiles::entries(folder), QStringList{"screenshot_14-07-09.PNG"});
        const struct stat st = TestFiles::statOf(destination);
        EXPECT_EQ(st.st_ino == inode, !mount) << "a move on one disk must be a rename, not a copy";
        EXPECT_EQ(st.st_mtim.tv_sec, 1600000000);
        EXPECT_EQ(st.st_mode & 0777, 0640u);
        char value[64] = {};
        const ssize_t n = ::getxattr(QFile::encodeName(destination).constData(), "user.xdg.tags", value, sizeof value);
        EXPECT_EQ(QByteArray(value, int(std::max<ssize_t>(n, 0))), "Red,Work") << "tags travel with the file";
    }
}

// A move that fails keeps the source as it was and leaves nothing at the destination: no
// temporary file, no second copy, and whatever was there before untouched.
enum class Occupant { None, File, Folder, DanglingLink };

TEST(MoveFailureTest, KeepsTheSourceAndLeavesNothingBehind)
{
    const struct
    {
        const char *name;
        bool sourceOnMount;      // else on the home side
        bool destinationOnMount; // else on the home side
        const char *source;      // a file; ending in "/": a folder holding one; null: missing
        const char *destination;
        Occupant occupant;  // what is at the destination beforehand
        bool readOnlyMount; // made read-only once both sides are in place
        const char *error;
    } cases[] = {
        {"file on one disk", false, false, "s.png", "taken.png", Occupant::File, false, "File exists"},
        {"folder on one disk", false, false, "s.png", "taken.png", Occupant::Folder, false, "File exists"},
        {"dangling link on one disk", false, false, "s.png", "taken.png", Occupant::DanglingLink, false, "File exists"},
        {"file on another disk", false, true, "s.png", "taken.png", Occupant::File, false, "File exists"},
        {"folder on another disk", false, true, "s.png", "taken.png", Occupant::Folder, false, "File exists"},
        {"dangling link on another disk", false, true, "s.png", "taken.png", Occupant::DanglingLink, false, "File exists"},
        {"read-only destination", false, true, "s.png", "lib/s.png", Occupant::None, true, "Read-only file system"},
        // The copy is made, then the source cannot be removed: the copy is undone.
        {"source that cannot be removed", true, false, "watched/s.png", "s.png", Occupant::None, true, "could not be removed"},
        {"folder", false, true, "album/", "album", Occupant::None, false, "folder"},
        {"missing destination folder", false, true, "s.png", "no/such/s.png", Occupant::None, false, "No such file"},
        {"missing source", false, true, nullptr, "gone.png", Occupant::None, false, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        MOUNT_OR_SKIP(mount, QStringLiteral("tmpfs"));
        const QString home = TestEnvironment::makeFolder("home side");
        const QString source = (c.sourceOnMount ? mount->path() : home) + "/" + (c.source ? c.source : "gone.png");
        const QString kept = source.endsWith('/') ? source + "a.png" : source;
        if (c.source) {
            TestEnvironment::writeFile(kept, "keep");
        }
        const QString destination = (c.destinationOnMount ? mount->path() : home) + "/" + c.destination;
        const QString destinationFolder = QFileInfo(destination).absolutePath();
        if (c.occupant == Occupant::File) {
            TestEnvironment::writeFile(destination, "old");
        } else if (c.occupant == Occupant::Folder) {
            QDir().mkpath(destination);
        } else if (c.occupant == Occupant::DanglingLink) {
            ASSERT_TRUE(TestFiles::link("/nonexistent/target", destination));
        }
        if (c.readOnlyMount) {
            QDir().mkpath(destinationFolder);
            ASSERT_TRUE(mount->remountReadOnly());
        }
        const QStringList before = TestFiles::entries(destinationFolder);

        const Status moved = FileSystem::move(source, destination);

        EXPECT_FALSE(moved.ok());
        EXPECT_TRUE(moved.error().contains(QString::fromLatin1(c.error))) << moved.error().toStdString();
        EXPECT_EQ(TestFiles::contents(kept), c.source ? "keep" : QByteArray());
        EXPECT_EQ(TestFiles::entries(destinationFolder), before);
        if (c.occupant == Occupant::File) {
            EXPECT_EQ(TestFiles::contents(destination), "old");
        }
    }
}

TEST(MoveAcrossTest, FullDestinationLeavesSourceAndNoPartialFileAndALinkMovesAsALink)
{
    using FileSystem::detail::Staging;
    for (const Staging staging : {Staging::Automatic, Staging::Named}) {
        SCOPED_TRACE(staging == Staging::Named ? "named staging" : "unnamed staging");
        MOUNT_OR_SKIP(mount, QStringLiteral("tmpfs"), 1);
        const QString folder = TestEnvironment::makeFolder("src");
        const QByteArray bytes = TestFiles::randomBytes(3 * 1024 * 1024);
        const QString source = TestEnvironment::writeFile(folder + "/big.png", bytes);

        const Status moved = FileSystem::detail::moveAcrossFileSystems(source, mount->path() + "/big.png", staging);

        EXPECT_FALSE(moved.ok());
        EXPECT_TRUE(moved.error().contains(QStringLiteral("No space left"))) << moved.error().toStdString();
        EXPECT_EQ(TestFiles::contents(source), bytes);
        EXPECT_TRUE(TestFiles::entries(mount->path()).isEmpty());
        // The abandoned copy's blocks are given back, so the next move fits.
        const QString small = TestEnvironment::writeFile(folder + "/small.png", TestFiles::randomBytes(900 * 1024));
        EXPECT_TRUE(FileSystem::detail::moveAcrossFileSystems(small, mount->path() + "/small.png", staging).ok());
    }

    // A symbolic link moves as a link.
    MOUNT_OR_SKIP(mount, QStringLiteral("tmpfs"));
    const QString link = TestEnvironment::makeFolder("links") + "/l.png";
    ASSERT_TRUE(TestFiles::link("../elsewhere/target.png", link));
    ASSERT_TRUE(FileSystem::move(link, mount->path() + "/l.png").ok());
    EXPECT_FALSE(FileSystem::exists(link));
    EXPECT_EQ(QFile::symLinkTarget(mount->path() + "/l.png"), QDir::cleanPath(mount->path() + "/../elsewhere/target.png"));
}

} // namespace
