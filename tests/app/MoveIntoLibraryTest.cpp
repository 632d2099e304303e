// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ScreenshotNames.h"
#include "common/ReadOnlyFolder.h"
#include "common/TestEnvironment.h"
#include "common/TestFiles.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

using ScreenshotNames::moveIntoLibrary;

QDateTime at(int y, int mo, int d, int h, int mi, int s) { return QDateTime(QDate(y, mo, d), QTime(h, mi, s)); }

class MoveIntoLibraryTest : public ::testing::Test
{
protected:
    QString shot(const QString &name, const QByteArray &bytes = "png bytes")
    {
        return TestEnvironment::writeFile(m_watched + "/" + name, bytes);
    }
    const QString m_watched = TestEnvironment::makeFolder("watched");
    const QString m_root = TestEnvironment::makeFolder("library");
};

TEST_F(MoveIntoLibraryTest, FolderAndFileNamesAndSameSecondNumbering)
{
    const QDateTime moment = at(2024, 3, 5, 14, 7, 9);
    const QString name = "Screenshot 2024-03-05 at 14.07.09.png";
    const struct
    {
        QString app;
        QString source;
        QDateTime moment;
        QString expected;
    } cases[] = {
        {"a/b:c", name, moment, "a_b_c/2024-03-05/screenshot_14-07-09.png"},
        {"back\\slash", name, moment, "back_slash/2024-03-05/screenshot_14-07-09.png"},
        {"   \t\n ", name, moment, "Unknown/2024-03-05/screenshot_14-07-09.png"},
        {"", name, moment, "Unknown/2024-03-05/screenshot_14-07-09.png"},
        {"  Files  ", name, moment, "Files/2024-03-05/screenshot_14-07-09.png"},
        // The extension keeps its letter case; none at all becomes png.
        {"Editor", "Screenshot 2024-03-05 at 14.07.09.PNG", moment, "Editor/2024-03-05/screenshot_14-07-09.PNG"},
        {"Editor", "capture", moment, "Editor/2024-03-05/screenshot_14-07-09.png"},
        // Date and time come from the moment of filing, not from the name found.
        {"Editor", "Screenshot 2024-03-05 at 23.59.59.png", at(2024, 3, 6, 0, 0, 1), "Editor/2024-03-06/screenshot_00-00-01.png"},
        // "." and ".." would file into the library root or above it; a leading dot would hide the folder.
        {".", name, moment, "Unknown/2024-03-05/screenshot_14-07-09.png"},
        {"..", name, moment, "Unknown/2024-03-05/screenshot_14-07-09.png"},
        {" .. ", name, moment, "Unknown/2024-03-05/screenshot_14-07-09.png"},
        {"../..", name, moment, "___../2024-03-05/screenshot_14-07-09.png"},
        {".hidden", name, moment, "_hidden/2024-03-05/screenshot_14-07-09.png"},
        {"...x.y", name, moment, "___x.y/2024-03-05/screenshot_14-07-09.png"},
        // Canonically equal names share one folder.
        {"Caf\u00e9", name, moment, "Caf\u00e9/2024-03-05/screenshot_14-07-09.png"},
        {"Cafe\u0301", "Screenshot 2024-03-05 at 14.07.10.png", moment, "Caf\u00e9/2024-03-05/screenshot_14-07-09.png"},
    };
    for (const auto &c : cases) {
        const QString src = shot(c.source);
        const Result<QString> r = moveIntoLibrary(src, c.app, m_root, c.moment);
        ASSERT_TRUE(r.ok()) << c.app.toStdString() << ": " << r.error().toStdString();
        EXPECT_EQ(r->toStdString(), (m_root + "/" + c.expected).toStdString());
        EXPECT_TRUE(QFileInfo::exists(*r));
        // Nothing lands outside the library.
        EXPECT_TRUE(QFileInfo(*r).canonicalFilePath().startsWith(QFileInfo(m_root).canonicalFilePath() + "/"));
        QFile::remove(*r);
    }
    const QStringList folders = QDir(m_root).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    EXPECT_TRUE(folders.filter(QRegularExpression("^\\.")).isEmpty());
    EXPECT_FALSE(folders.contains(QStringLiteral("Cafe\u0301")));
    const QString folder = m_root + "/Editor/2024-03-05";
    // Same-second captures are numbered past any existing object: a folder and a dangling link
    // take a name as much as a file does.
    const QString expected[] = {"screenshot_14-07-09.png", "screenshot_14-07-09_1.png", "screenshot_14-07-09_4.png"};
    for (int i = 0; i < 3; ++i) {
        const QByteArray bytes = "capture " + QByteArray::number(i);
        const QString src = shot(QString("Screenshot 2024-03-05 at 14.07.0%1.png").arg(i), bytes);
        const Result<QString> r = moveIntoLibrary(src, "Editor", m_root, moment);
        ASSERT_TRUE(r.ok()) << r.error().toStdString();
        EXPECT_EQ(*r, folder + "/" + expected[i]);
        EXPECT_EQ(TestFiles::contents(*r), bytes);
        EXPECT_FALSE(QFileInfo::exists(src));
        if (i == 1) {
            QDir().mkpath(folder + "/screenshot_14-07-09_2.png");
            ASSERT_TRUE(TestFiles::link("/nonexistent", folder + "/screenshot_14-07-09_3.png"));
        }
    }
}

TEST_F(MoveIntoLibraryTest, ReadOnlyLibraryOrDayFolderFailsAndLeavesTheFileAlone)
{
    // Read-only: the library itself (nothing can be created), or the day folder that is
    // already there (the move itself fails).
    for (const char *readOnlyPart : {"", "/Editor/2024-03-05"}) {
        const QString folder = m_root + QString::fromLatin1(readOnlyPart);
        QDir().mkpath(folder);
        const QString src = shot("Screenshot 2024-03-05 at 14.07.09.png", "keep me");
        Result<QString> r = Result<QString>::failure(QStringLiteral("not run"));
        {
            const ReadOnlyFolder readOnly(folder);
            if (!readOnly.ok()) {
                GTEST_SKIP() << ReadOnlyFolder::skipMessage().toStdString();
            }
            r = moveIntoLibrary(src, "Editor", m_root, at(2024, 3, 5, 14, 7, 9));
        }
        EXPECT_FALSE(r.ok()) << readOnlyPart;
        EXPECT_FALSE(r.error().isEmpty()) << readOnlyPart;
        EXPECT_EQ(TestFiles::contents(src), "keep me") << readOnlyPart;
        EXPECT_TRUE(QDir(folder).isEmpty()) << readOnlyPart;
    }
}

} // namespace
