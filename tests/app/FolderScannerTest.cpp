// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FolderScanner.h"
#include "common/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

namespace {

using namespace std::chrono_literals;
using Kind = FolderEvents::Kind;

const QByteArray kPngEnd("\0\0\0\0IEND\xae\x42\x60\x82", 12);

class FolderScannerTest : public ::testing::Test
{
protected:
    void write(const QString &name, const QByteArray &bytes) { TestEnvironment::writeFile(m_folder + "/" + name, bytes); }
    const QString m_folder = TestEnvironment::makeFolder("scanned");
    const FolderScanner::Clock::time_point t0 = FolderScanner::Clock::now();
};

TEST_F(FolderScannerTest, WhenAFileCountsAsCompleteAndWhatIsNever)
{
    const QString closed = "Screenshot 2024-03-05 at 14.07.01.png";
    const QString marker = "Screenshot 2024-03-05 at 14.07.02.png";
    const QString plain = "Screenshot 2024-03-05 at 14.07.03.png";
    const QString grown = "Screenshot 2024-03-05 at 14.07.04.png";
    FolderScanner scanner(m_folder, {});
    // A link would file whatever it points to; a folder is no capture: neither is ever reported.
    const QString target = TestEnvironment::writeFile(TestEnvironment::makeFolder("elsewhere") + "/" + marker, "\x89PNG" + kPngEnd);
    ASSERT_TRUE(QFile::link(target, m_folder + "/Screenshot 2024-03-05 at 14.07.10.png"));
    ASSERT_TRUE(QDir().mkpath(m_folder + "/Screenshot 2024-03-05 at 14.07.11.png"));
    scanner.note({Kind::added, "Screenshot 2024-03-05 at 14.07.10.png", false});
    write(closed, "data");
    write(marker, "\x89PNG" + kPngEnd);
    write(plain, "no end marker");
    write(grown, "first part");
    scanner.note({Kind::added, closed, false});
    scanner.note({Kind::closedAfterWrite, closed, false});
    scanner.note({Kind::closedAfterWrite, grown, false});
    write(grown, "first part and more after the writer closed it once");

    // The closed file goes at once; the others wait for their size to settle.
    EXPECT_EQ(scanner.scan(t0), QStringList{closed});
    EXPECT_TRUE(scanner.recheck(t0 + 299ms).isEmpty());
    EXPECT_EQ(scanner.recheck(t0 + 300ms), QStringList{marker});
    EXPECT_TRUE(scanner.recheck(t0 + 1999ms).isEmpty());
    QStringList settled = scanner.recheck(t0 + 2s);
    settled.sort();
    EXPECT_EQ(settled, QStringList({plain, grown}));
    EXPECT_FALSE(scanner.hasPending());
    // Reported once: nothing comes back.
    EXPECT_TRUE(scanner.scan(t0 + 3s).isEmpty());
    EXPECT_TRUE(scanner.recheck(t0 + 10s).isEmpty());
}

TEST_F(FolderScannerTest, GrowingFileWaitsUntilItsSizeStaysPutAndAnEmptyOneIsSkippedAfterTenSeconds)
{
    const QString name = "Screenshot_20240305_140709.png", empty = "Screenshot_2024-03-05_14-07-09.png";
    FolderScanner scanner(m_folder, {});
    write(name, "");
    write(empty, "");
    scanner.note({Kind::closedAfterWrite, empty, false}); // closed while still empty
    EXPECT_TRUE(scanner.scan(t0).isEmpty());
    write(name, "\x89PNG");
    EXPECT_TRUE(scanner.recheck(t0 + 1s).isEmpty());
    write(name, "\x89PNG" + kPngEnd);
    EXPECT_TRUE(scanner.recheck(t0 + 2500ms).isEmpty()); // size changed: the clock starts again
    EXPECT_EQ(scanner.recheck(t0 + 2800ms), QStringList{name});
    EXPECT_TRUE(scanner.recheck(t0 + 9s).isEmpty());
    EXPECT_TRUE(scanner.hasPending());
    EXPECT_TRUE(scanner.recheck(t0 + 10s).isEmpty());
    EXPECT_FALSE(scanner.hasPending());
    write(empty, "filled too late");
    EXPECT_TRUE(scanner.scan(t0 + 20s).isEmpty());
    EXPECT_TRUE(scanner.recheck(t0 + 30s).isEmpty());
}

TEST_F(FolderScannerTest, ListingDifferencePendingNamesAndAFolderThatCannotBeListed)
{
    write("Screenshot 2024-03-05 at 10.00.00.png", "old");
    write("notes.txt", "old");
    FolderScanner scanner(m_folder, {"Screenshot 2024-03-05 at 10.00.00.png", "notes.txt"});
    write("Screen Recording 2024-03-05 at 14.07.09.mov", "movie");
    write("Screenshot 2024-03-05 at 14.07.09.png", "");
    EXPECT_TRUE(scanner.scan(t0).isEmpty());
    EXPECT_TRUE(scanner.knownFiles().contains("Screen Recording 2024-03-05 at 14.07.09.mov"));
    EXPECT_TRUE(scanner.hasPending());
    // Another scan does not forget the pending name because it is no longer new.
    write("Screenshot 2024-03-05 at 14.07.10.png", "");
    EXPECT_TRUE(scanner.scan(t0 + 1s).isEmpty());
    write("Screenshot 2024-03-05 at 14.07.09.png", "now written");
    scanner.note({Kind::closedAfterWrite, "Screenshot 2024-03-05 at 14.07.09.png", false});
    EXPECT_EQ(scanner.recheck(t0 + 1500ms), QStringList{"Screenshot 2024-03-05 at 14.07.09.png"});
    // A pending file that leaves the folder is forgotten by the next listing.
    QFile::remove(m_folder + "/Screenshot 2024-03-05 at 14.07.10.png");
    EXPECT_TRUE(scanner.scan(t0 + 2s).isEmpty());
    EXPECT_FALSE(scanner.hasPending());
    // A folder that cannot be listed makes everything new again.
    const QString away = m_folder + "-away";
    ASSERT_TRUE(QDir().rename(m_folder, away));
    EXPECT_TRUE(scanner.scan(t0 + 3s).isEmpty());
    EXPECT_TRUE(scanner.knownFiles().isEmpty());
    ASSERT_TRUE(QDir().rename(away, m_folder));
    scanner.note({Kind::overflow, {}, false});
    EXPECT_TRUE(scanner.scan(t0 + 4s).isEmpty());
    QStringList again = scanner.recheck(t0 + 7s);
    again.sort();
    EXPECT_EQ(again, QStringList({"Screenshot 2024-03-05 at 10.00.00.png", "Screenshot 2024-03-05 at 14.07.09.png"}));
}

} // namespace
