// SPDX-License-Identifier: GPL-3.0-or-later
#include "tags/FileTags.h"

#include "common/QtPrinters.h"
#include "common/TestEnvironment.h"
#include "common/TestLog.h"

#include <gtest/gtest.h>

#include <QFileInfo>

namespace {

template <typename F>
QStringList logged(F &&call)
{
    return QString::fromStdString(TestLog::printed(call)).split('\n', Qt::SkipEmptyParts);
}

TEST(FileTagsTest, WritesThatWorkLogNothingAndRefusedNamesKeepTheOldTags)
{
    const QString folder = TestEnvironment::makeFolder("filetags");
    const QString file = TestEnvironment::writeFile(folder + "/screenshot_10-00-00.png", "png");
    EXPECT_TRUE(logged([&] {
                    EXPECT_TRUE(FileTags::readTags(file).isEmpty());
                    FileTags::setTags(file, {}); // nothing to remove is no failure either
                    FileTags::setTags(file, {"Work", "dup", "dup"});
                    EXPECT_EQ(FileTags::readTags(file), QStringList({"Work", "dup", "dup"}));
                    FileTags::setTags(file, {});
                    EXPECT_TRUE(FileTags::readTags(file).isEmpty());
                }).isEmpty());
    EXPECT_TRUE(FileTags::tryWriteTags(file, {}).ok());

    FileTags::setTags(file, {"Keep", "These"});
    for (const QStringList &names : {QStringList{"Fine", "two,parts"}, QStringList{"Fine", ""}}) {
        const QStringList lines = logged([&] { FileTags::setTags(file, names); });
        ASSERT_EQ(lines.size(), 1);
        EXPECT_TRUE(lines[0].startsWith("Failed to set tags for " + file + ": ")) << lines[0].toStdString();
        EXPECT_EQ(FileTags::readTags(file), QStringList({"Keep", "These"}));
    }
    const Status refused = FileTags::tryWriteTags(file, {"two,parts"});
    EXPECT_FALSE(refused.ok());
    EXPECT_TRUE(refused.error().contains("comma")) << refused.error().toStdString();

    // A file that cannot be read or written: no tags, and each failure prints its one line,
    // without the product prefix and with the error's description.
    const QString gone = folder + "/gone.png";
    const QStringList lines = logged([&] {
        EXPECT_TRUE(FileTags::readTags(gone).isEmpty());
        FileTags::setTags(gone, {"Work"});
    });
    ASSERT_EQ(lines.size(), 2) << lines.join('\n').toStdString();
    for (const auto &[line, start] :
         {std::pair{lines[0], "Failed to read tags for "}, std::pair{lines[1], "Failed to set tags for "}}) {
        EXPECT_TRUE(line.startsWith(start + gone + ": ") && line.size() > QString(start + gone + ": ").size())
            << line.toStdString();
    }
    EXPECT_FALSE(FileTags::tryWriteTags(gone, {"Work"}).ok());
    EXPECT_FALSE(FileTags::tryReadTags(gone).ok());
    EXPECT_FALSE(QFileInfo::exists(gone));
}

} // namespace
