// SPDX-License-Identifier: GPL-3.0-or-later
#include "tags/FileTags.h"

#include "common/TestEnvironment.h"
#include "tags/QtPrinters.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

namespace {

struct Outcome
{
    int status;
    QByteArray out;
};

Outcome run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(10000)) {
        return {-1, {}};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput()};
}

// The raw attribute as Debian's attr tools see it.
Outcome attribute(const QString &path)
{
    return run("getfattr", {"--absolute-names", "--only-values", "-n", "user.xdg.tags", path});
}

// Reading gives no tags, and a failed read and write each print their one line, without
// the product prefix and with the error's description.
void expectBothFailuresLogged(const QString &path)
{
    testing::internal::CaptureStdout();
    EXPECT_TRUE(FileTags::readTags(path).isEmpty());
    FileTags::setTags(path, {"Work"});
    const QString out = QString::fromStdString(testing::internal::GetCapturedStdout());
    const QStringList lines = out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << out.toStdString();
    const QString read = "Failed to read tags for " + path + ": ";
    const QString set = "Failed to set tags for " + path + ": ";
    EXPECT_TRUE(lines[0].startsWith(read) && lines[0].size() > read.size()) << out.toStdString();
    EXPECT_TRUE(lines[1].startsWith(set) && lines[1].size() > set.size()) << out.toStdString();
}

class FileTagsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_folder = TestEnvironment::makeFolder("filetags");
        m_file = TestEnvironment::writeFile(m_folder + "/screenshot_10-00-00.png", "png");
    }

    QString m_folder;
    QString m_file;
};

TEST_F(FileTagsTest, TagsRoundTripInOrderAndAreStoredAsTheFileManagerWritesThem)
{
    const QList<QStringList> lists = {
        {"Work", "Alpha", "Zeta"},
        {"Zeta", "Work"},
        {"Ünïcödé", "日本語", "emoji 🎉", "a b"},
        {"dup", "dup"},
        {"only"},
    };
    for (const QStringList &names : lists) {
        testing::internal::CaptureStdout();
        FileTags::setTags(m_file, names);
        EXPECT_EQ(FileTags::readTags(m_file), names);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        const Outcome raw = attribute(m_file);
        EXPECT_EQ(raw.status, 0);
        EXPECT_EQ(raw.out, names.join(',').toUtf8());
    }
}

TEST_F(FileTagsTest, AnAttributeWrittenByTheFileManagerIsRead)
{
    struct Case
    {
        QByteArray stored;
        QStringList expected;
    };
    const Case cases[] = {
        {"Work,Home", {"Work", "Home"}},
        {"Work,,Home,", {"Work", "Home"}},
        {",", {}},
        {"Ärger,Straße", {"Ärger", "Straße"}},
    };
    for (const Case &c : cases) {
        ASSERT_EQ(run("setfattr", {"-n", "user.xdg.tags", "-v", QString::fromUtf8(c.stored), m_file}).status, 0);
        EXPECT_EQ(FileTags::readTags(m_file), c.expected) << c.stored.constData();
    }
}

TEST_F(FileTagsTest, AFileWithoutTagsReadsEmptyWithoutALogLine)
{
    testing::internal::CaptureStdout();
    EXPECT_TRUE(FileTags::readTags(m_file).isEmpty());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST_F(FileTagsTest, WritingAnEmptyListRemovesTheAttribute)
{
    FileTags::setTags(m_file, {"Work"});
    ASSERT_EQ(attribute(m_file).status, 0);
    testing::internal::CaptureStdout();
    FileTags::setTags(m_file, {});
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_NE(attribute(m_file).status, 0);
    EXPECT_TRUE(FileTags::readTags(m_file).isEmpty());
    // Removing tags from a file that has none is not a failure either.
    EXPECT_TRUE(FileTags::tryWriteTags(m_file, {}).ok());
}

TEST_F(FileTagsTest, NamesTheAttributeCannotHoldAreRefusedAndTheOldTagsKept)
{
    FileTags::setTags(m_file, {"Keep", "These"});
    for (const QStringList &names : {QStringList{"Fine", "two,parts"}, QStringList{"Fine", ""}}) {
        testing::internal::CaptureStdout();
        FileTags::setTags(m_file, names);
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(out.rfind("Failed to set tags for " + m_file.toStdString() + ": ", 0), 0u) << out;
        EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1);
        EXPECT_EQ(FileTags::readTags(m_file), QStringList({"Keep", "These"}));
    }
    const Status refused = FileTags::tryWriteTags(m_file, {"two,parts"});
    EXPECT_FALSE(refused.ok());
    EXPECT_TRUE(refused.error().contains("comma")) << refused.error().toStdString();
}

TEST_F(FileTagsTest, AMissingFileIsLoggedWithoutPrefix)
{
    const QString missing = m_folder + "/gone.png";
    expectBothFailuresLogged(missing);
    EXPECT_FALSE(FileTags::tryReadTags(missing).ok());
    EXPECT_FALSE(QFileInfo::exists(missing));
}

// A mount without user extended attributes. tmpfs has them on recent kernels, ramfs never has.
class NoUserAttributesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!TestEnvironment::canMount()) {
            GTEST_SKIP() << "cannot mount file systems here (needs root in a namespace that allows mounts)";
        }
        for (const char *type : {"ramfs", "tmpfs"}) {
            m_mount = std::make_unique<QTemporaryDir>(TestEnvironment::home() + "/mnt-XXXXXX");
            if (QProcess::execute("mount", {"-t", type, "-o", "size=1m", type, m_mount->path()}) != 0) {
                continue;
            }
            m_mounted = true;
            m_file = TestEnvironment::writeFile(m_mount->path() + "/shot.png", "png");
            if (run("setfattr", {"-n", "user.probe", "-v", "1", m_file}).status != 0) {
                return;
            }
            TearDown();
        }
        GTEST_SKIP() << "every file system that can be mounted here keeps user extended attributes";
    }

    void TearDown() override
    {
        if (m_mounted) {
            QProcess::execute("umount", {m_mount->path()});
            m_mounted = false;
        }
    }

    std::unique_ptr<QTemporaryDir> m_mount;
    bool m_mounted = false;
    QString m_file;
};

TEST_F(NoUserAttributesTest, ReadingGivesNoTagsAndBothOperationsAreLogged)
{
    expectBothFailuresLogged(m_file);
    EXPECT_FALSE(FileTags::tryWriteTags(m_file, {"Work"}).ok());
}

} // namespace
