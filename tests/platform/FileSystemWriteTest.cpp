// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileSystem.h"

#include "common/TemporaryMount.h"
#include "common/TestFiles.h"
#include "common/TestEnvironment.h"

#include <gtest/gtest.h>

namespace {

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

} // namespace
