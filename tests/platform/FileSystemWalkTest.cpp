// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileSystem.h"

#include "common/TestFiles.h"
#include "common/TestEnvironment.h"

#include <QDateTime>
#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

class WalkTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char *file : {"App/2024-03-05/a.png", "App/2024-03-05/b.JPG", "App/.hidden.png",
                                 ".cache/deep/c.png", "App/.thumbs/d.png", "Archive/App/old.png", "top.png",
                                 "Ünï cödé/e.png"}) {
            TestEnvironment::writeFile(m_root + "/" + QString::fromUtf8(file), "x");
        }
        TestEnvironment::writeFile(m_outside + "/secret.png", "x");
        ASSERT_TRUE(TestFiles::link(m_outside, m_root + "/linked-folder"));
        ASSERT_TRUE(TestFiles::link(m_outside + "/secret.png", m_root + "/App/linked.png"));
        ASSERT_TRUE(TestFiles::link(m_root + "/missing.png", m_root + "/dangling.png"));
        ASSERT_EQ(::mkfifo(QFile::encodeName(m_root + "/App/pipe.png").constData(), 0600), 0);
    }

    QStringList relativeWalk(const std::function<bool(const FileSystem::WalkItem &)> &prune = {})
    {
        QStringList seen;
        const QDateTime now = QDateTime::currentDateTime();
        FileSystem::walk(m_root, [&](const FileSystem::WalkItem &item) {
            seen << item.path.mid(m_root.size() + 1) + (item.isDirectory ? "/" : "");
            EXPECT_TRUE(item.created.isValid() && qAbs(item.created.secsTo(now)) <= 60)
                << "creation time of " << item.path.toStdString();
            return prune ? prune(item) : true;
        });
        return seen;
    }

    const QString m_root = TestEnvironment::makeFolder("library");
    const QString m_outside = TestEnvironment::makeFolder("outside");
};

TEST_F(WalkTest, SkipsHiddenItemsLinksAndSpecialFilesInARepeatableOrderFromAnyRoot)
{
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
    ASSERT_TRUE(TestFiles::link(m_root, rootLink));
    int viaLink = 0;
    FileSystem::walk(rootLink + "/", [&](const FileSystem::WalkItem &item) {
        EXPECT_TRUE(item.path.startsWith(rootLink + "/")) << item.path.toStdString();
        ++viaLink;
        return true;
    });
    EXPECT_EQ(viaLink, relativeWalk().size());

    int missing = 0;
    FileSystem::walk(m_root + "/no-such-folder", [&](const FileSystem::WalkItem &) { return ++missing > 0; });
    EXPECT_EQ(missing, 0);
}

} // namespace
