// SPDX-License-Identifier: GPL-3.0-or-later
#include "tags/FileTags.h"

#include "common/QtPrinters.h"
#include "common/TemporaryMount.h"
#include "common/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QFileInfo>

namespace {

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

// How the attribute is stored and read is the file system layer's; here: success says nothing.
TEST_F(FileTagsTest, ReadsAndWritesThatWorkLogNothing)
{
    testing::internal::CaptureStdout();
    EXPECT_TRUE(FileTags::readTags(m_file).isEmpty());
    FileTags::setTags(m_file, {}); // nothing to remove is no failure either
    FileTags::setTags(m_file, {"Work", "dup", "dup"});
    EXPECT_EQ(FileTags::readTags(m_file), QStringList({"Work", "dup", "dup"}));
    FileTags::setTags(m_file, {});
    EXPECT_TRUE(FileTags::readTags(m_file).isEmpty());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
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

// A mount without user extended attributes: ramfs has none.
class NoUserAttributesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_mount = TemporaryMount::create(QStringLiteral("ramfs"));
        if (!m_mount) {
            GTEST_SKIP() << TemporaryMount::skipMessage(QStringLiteral("ramfs")).toStdString();
        }
        m_file = TestEnvironment::writeFile(m_mount->path() + "/shot.png", "png");
    }

    std::unique_ptr<TemporaryMount> m_mount;
    QString m_file;
};

TEST_F(NoUserAttributesTest, ReadingGivesNoTagsAndBothOperationsAreLogged)
{
    expectBothFailuresLogged(m_file);
    EXPECT_FALSE(FileTags::tryWriteTags(m_file, {"Work"}).ok());
}

} // namespace
