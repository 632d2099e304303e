// SPDX-License-Identifier: GPL-3.0-or-later
// Trashing is checked with the desktop's own tools: what they list and restore is what a
// user would see in the file manager's Trash.
#include "platform/FileSystem.h"

#include "common/TemporaryMount.h"
#include "common/TestFiles.h"
#include "common/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QString homeTrash() { return qEnvironmentVariable("XDG_DATA_HOME") + "/Trash"; }

QString uid() { return QString::number(::geteuid()); }

QString infoFileFor(const QString &trashedPath)
{
    const QFileInfo trashed(trashedPath);
    return trashed.dir().absolutePath() + "/../info/" + trashed.fileName() + ".trashinfo";
}

QString recordedPath(const QString &trashedPath)
{
    const QString info = QString::fromUtf8(TestFiles::contents(infoFileFor(trashedPath)));
    return QRegularExpression("^Path=(.*)$", QRegularExpression::MultilineOption).match(info).captured(1);
}

// trash-cli's listing: "date time original-path" per item.
QString trashCliList() { return TestFiles::runTool("trash-list", {}).output; }

TEST(TrashTest, EntriesAreRestorableCollidingNamesGetTheirOwnFoldersGoWholeAndMissingItemsFail)
{
    // A stray entry without its info file takes its name as much as a listed one.
    const QString name = QString::fromUtf8("Shot 100% é#1");
    QDir().mkpath(homeTrash() + "/info");
    TestEnvironment::writeFile(homeTrash() + "/files/" + name + ".png", "stray");
    QStringList originals;
    QSet<QString> places;
    for (int i = 0; i < 3; ++i) {
        const QString file =
            TestEnvironment::writeFile(TestEnvironment::makeFolder("same") + "/" + name + ".png", QByteArray::number(i));
        originals << file;
        const Result<QString> trashed = FileSystem::moveToTrash(file);
        ASSERT_TRUE(trashed.ok()) << trashed.error().toStdString();
        EXPECT_FALSE(FileSystem::exists(file));
        places.insert(trashed.value());
        EXPECT_EQ(TestFiles::contents(trashed.value()), QByteArray::number(i));
        const QString info = QString::fromUtf8(TestFiles::contents(infoFileFor(trashed.value())));
        EXPECT_TRUE(info.startsWith("[Trash Info]\nPath=/")) << info.toStdString();
        EXPECT_TRUE(info.contains(QString("/Shot%20100%25%20%C3%A9%231.png\n"))) << info.toStdString();
        EXPECT_TRUE(QRegularExpression(QString("\nDeletionDate=\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\n")).match(info).hasMatch());
        EXPECT_EQ(recordedPath(trashed.value()), QString::fromLatin1(QFile::encodeName(file).toPercentEncoding("/")));
    }
    const QString files = homeTrash() + "/files/" + name;
    EXPECT_EQ(places, (QSet<QString>{files + ".2.png", files + ".3.png", files + ".4.png"}));
    EXPECT_EQ(TestFiles::contents(files + ".png"), "stray");
    EXPECT_FALSE(QFile::exists(homeTrash() + "/info/" + name + ".png.trashinfo"));

    if (TestFiles::hasTool(QString("trash-restore"))) {
        EXPECT_TRUE(trashCliList().contains(originals[1])) << trashCliList().toStdString();
        // trash-restore asks which entry to restore; there is exactly one for this path.
        const TestFiles::ToolRun restored = TestFiles::runTool(QString("trash-restore"), {originals[1]}, "0\n");
        EXPECT_EQ(restored.exitCode, 0) << restored.output.toStdString();
        EXPECT_EQ(TestFiles::contents(originals[1]), "1");
        EXPECT_FALSE(QFile::exists(infoFileFor(files + ".3.png")));
    }

    // A folder goes whole; a missing item fails and leaves no info file.
    const QString home = TestEnvironment::makeFolder("trash me");
    TestEnvironment::writeFile(home + "/album/a.png", "a");
    const Result<QString> folder = FileSystem::moveToTrash(home + "/album");
    ASSERT_TRUE(folder.ok()) << folder.error().toStdString();
    EXPECT_EQ(TestFiles::contents(folder.value() + "/a.png"), "a");
    // The folder's size is cached the way du counts it, keyed by the info file's time.
    const QString du = TestFiles::runTool("du", {"-B1", "-s", folder.value()}).output.section('\t', 0, 0);
    const qint64 infoTime = QFileInfo(infoFileFor(folder.value())).lastModified().toSecsSinceEpoch();
    EXPECT_EQ(QString::fromUtf8(TestFiles::contents(homeTrash() + "/directorysizes")),
              QString("%1 %2 album\n").arg(du).arg(infoTime));

    const QStringList infoBefore = TestFiles::entries(homeTrash() + "/info");
    const Result<QString> missing = FileSystem::moveToTrash(home + "/gone.png");
    EXPECT_FALSE(missing.ok());
    EXPECT_TRUE(missing.error().contains(QString("No such file"))) << missing.error().toStdString();
    EXPECT_EQ(TestFiles::entries(homeTrash() + "/info"), infoBefore);
}

// Items on another mount go to that mount's own trash, recorded relative to its top, also
// when reached through a link from the home disk.
TEST(TopDirectoryTrashTest, UsesTheMountsOwnTrashOrSendsAFileHomeWhereItCannot)
{
    // Where both trash places on a mount are unusable, a file goes home but a folder stays.
    MOUNT_OR_SKIP(blocked, QString("tmpfs"));
    TestEnvironment::writeFile(blocked->path() + "/.Trash-" + uid(), "not a folder");
    ASSERT_TRUE(TestFiles::link("/tmp", blocked->path() + "/.Trash"));
    const QString shot = TestEnvironment::writeFile(blocked->path() + "/shot.png", "moved home");
    TestEnvironment::writeFile(blocked->path() + "/album/a.png", "a");
    const QStringList infoBefore = TestFiles::entries(homeTrash() + "/info");

    // A folder is not copied home: it fails and stays, with no orphaned info file.
    EXPECT_FALSE(FileSystem::moveToTrash(blocked->path() + "/album").ok());
    EXPECT_EQ(TestFiles::contents(blocked->path() + "/album/a.png"), "a");
    EXPECT_EQ(TestFiles::entries(homeTrash() + "/info"), infoBefore);
    const Result<QString> home = FileSystem::moveToTrash(shot);
    ASSERT_TRUE(home.ok()) << home.error().toStdString();
    EXPECT_FALSE(FileSystem::exists(shot));
    EXPECT_EQ(home.value(), homeTrash() + "/files/shot.png");
    EXPECT_EQ(TestFiles::contents(home.value()), "moved home");
    EXPECT_EQ(recordedPath(home.value()), QString::fromLatin1(QFile::encodeName(shot).toPercentEncoding("/")));
    EXPECT_TRUE(!TestFiles::hasTool("trash-list") || trashCliList().contains(shot));

    const struct
    {
        const char *fileSystem;
        bool sharedTrash;       // an administrator's $topdir/.Trash exists
        bool sharedTrashSticky; // ...with the sticky bit
        bool throughLink;       // trashed by a path through a link to the mount's App folder
        const char *expectedTrash;
    } cases[] = {
        {"tmpfs", false, false, false, ".Trash-%1"},
        {"tmpfs", true, true, false, ".Trash/%1"},
        {"tmpfs", true, false, false, ".Trash-%1"}, // a shared trash without the sticky bit is ignored
        {"tmpfs", false, false, true, ".Trash-%1"}, {"ext4", false, false, false, ".Trash-%1"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.fileSystem << " " << c.expectedTrash << (c.sharedTrash ? " shared" : "")
                                        << (c.throughLink ? " through a link" : ""));
        MOUNT_OR_SKIP(mount, QString::fromLatin1(c.fileSystem), 16);
        if (c.sharedTrash) {
            ASSERT_TRUE(QDir().mkpath(mount->path() + "/.Trash"));
            ASSERT_EQ(::chmod(QFile::encodeName(mount->path() + "/.Trash").constData(), c.sharedTrashSticky ? 01777 : 0777), 0);
        }
        const QString file = TestEnvironment::writeFile(mount->path() + "/App/2024-03-05/screenshot 1.png", "on the disk");
        QString trashedPath = file;
        if (c.throughLink) {
            const QString link = TestEnvironment::makeFolder("home") + "/App";
            ASSERT_TRUE(TestFiles::link(mount->path() + "/App", link));
            trashedPath = link + "/2024-03-05/screenshot 1.png";
        }

        const Result<QString> trashed = FileSystem::moveToTrash(trashedPath);

        ASSERT_TRUE(trashed.ok()) << trashed.error().toStdString();
        const QString trash = mount->path() + "/" + QString::fromLatin1(c.expectedTrash).arg(uid());
        EXPECT_EQ(trashed.value(), trash + "/files/screenshot 1.png");
        EXPECT_EQ(TestFiles::contents(trashed.value()), "on the disk");
        EXPECT_EQ(recordedPath(trashed.value()), QString("App/2024-03-05/screenshot%201.png"));
        EXPECT_FALSE(QFileInfo::exists(homeTrash() + "/files/screenshot 1.png")) << "nothing is copied home";
        EXPECT_EQ(TestFiles::statOf(trash).st_mode & 0777, 0700u);

        EXPECT_TRUE(!TestFiles::hasTool("trash-list") || trashCliList().contains(file)) << trashCliList().toStdString();
        // GIO lists the trash through gvfs, which runs on a session bus: give it a private one.
        if (QString(c.fileSystem) == "ext4" && TestFiles::hasTool("gio") && TestFiles::hasTool("dbus-run-session")
            && QFileInfo::exists("/usr/libexec/gvfsd-trash")) {
            const TestFiles::ToolRun listed = TestFiles::runTool("dbus-run-session", {"--", "gio", "trash", "--list"});
            EXPECT_TRUE(listed.output.contains(file)) << listed.output.toStdString();
        }
    }
}

} // namespace
