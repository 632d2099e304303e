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
    const TestFiles::ToolRun run = TestFiles::runTool(
        QStringLiteral("getfattr"), {QStringLiteral("--absolute-names"), QStringLiteral("--only-values"), QStringLiteral("-n"), QStringLiteral("user.xdg.tags"), path});
    return run.exitCode == 0 ? run.output : QStringLiteral("<none>");
}

TEST(TagRoundTripTest, WritesTheAttributeOthersReadAndReadsItBack)
{
    if (!TestFiles::hasTool(QStringLiteral("getfattr"))) {
        GTEST_SKIP() << "SKIP: getfattr (package attr) is not installed";
    }
    const struct
    {
        QStringList written;
        QString stored;
        QStringList readBack;
    } cases[] = {
        {{"Red"}, "Red", {"Red"}},
        {{"Work", "Blue", "Alpha"}, "Work,Blue,Alpha", {"Work", "Blue", "Alpha"}},
        {{QString::fromUtf8("Ünïcödé 日本"), "two words"}, QString::fromUtf8("Ünïcödé 日本,two words"),
         {QString::fromUtf8("Ünïcödé 日本"), "two words"}},
        {{"dup", "dup"}, "dup,dup", {"dup", "dup"}},
        {{"", "A", ""}, "A", {"A"}},
        {{}, "<none>", {}},
        {{""}, "<none>", {}},
    };
    for (const auto &c : cases) {
        const QString file = TestEnvironment::writeFile(TestEnvironment::makeFolder(QStringLiteral("tags")) + "/s.png", "x");
        ASSERT_TRUE(FileSystem::writeTagNames(file, {QStringLiteral("Previous")}).ok());

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
    const QString folder = TestEnvironment::makeFolder(QStringLiteral("tags"));
    const QString file = TestEnvironment::writeFile(folder + "/s.png", "x");
    const Result<QStringList> untagged = FileSystem::readTagNames(file);
    ASSERT_TRUE(untagged.ok());
    EXPECT_TRUE(untagged.value().isEmpty());
    EXPECT_TRUE(FileSystem::writeTagNames(file, {}).ok()) << "nothing to remove is no failure";

    if (TestFiles::hasTool(QStringLiteral("setfattr"))) {
        ASSERT_EQ(TestFiles::runTool(QStringLiteral("setfattr"),
                                     {QStringLiteral("-n"), QStringLiteral("user.xdg.tags"), QStringLiteral("-v"), QStringLiteral(",a,,b c,"), file})
                      .exitCode,
                  0);
        const Result<QStringList> read = FileSystem::readTagNames(file);
        ASSERT_TRUE(read.ok());
        EXPECT_EQ(read.value(), (QStringList{"a", "b c"}));
    }

    const Result<QStringList> missingRead = FileSystem::readTagNames(folder + "/gone.png");
    EXPECT_FALSE(missingRead.ok());
    EXPECT_TRUE(missingRead.error().contains(QStringLiteral("No such file")));
    EXPECT_FALSE(FileSystem::writeTagNames(folder + "/gone.png", {"A"}).ok());
    EXPECT_FALSE(FileSystem::writeTagNames(folder + "/gone.png", {}).ok());
}

TEST(TagUnsupportedTest, FileSystemWithoutUserAttributesGivesAnError)
{
    MOUNT_OR_SKIP(mount, QStringLiteral("ramfs"));
    const QString file = TestEnvironment::writeFile(mount->path() + "/s.png", "x");

    const Status written = FileSystem::writeTagNames(file, {"Red"});
    const Result<QStringList> read = FileSystem::readTagNames(file);

    EXPECT_FALSE(written.ok());
    EXPECT_EQ(written.error(), QStringLiteral("The file system does not support tags"));
    EXPECT_FALSE(read.ok());
    EXPECT_EQ(read.error(), QStringLiteral("The file system does not support tags"));
}

} // namespace
