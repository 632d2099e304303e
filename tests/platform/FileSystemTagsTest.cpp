// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileSystem.h"

#include "common/TemporaryMount.h"
#include "common/TestFiles.h"
#include "common/TestEnvironment.h"

#include <gtest/gtest.h>

namespace {

// The attribute exactly as another program sees it.
QString attributeSeenByGetfattr(const QString &path)
{
    const TestFiles::ToolRun run =
        TestFiles::runTool("getfattr", {"--absolute-names", "--only-values", "-n", "user.xdg.tags", path});
    return run.exitCode == 0 ? run.output : QStringLiteral("<none>");
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
        EXPECT_EQ(attributeSeenByGetfattr(file), c.stored);
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

} // namespace
