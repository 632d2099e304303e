// SPDX-License-Identifier: GPL-3.0-or-later
#include "capture/ScreenshotImporter.h"

#include "CaptureFixture.h"
#include "capture/CaptureOrganizer.h"
#include "capture/ImportDate.h"
#include "common/TestFiles.h"
#include "common/TestLog.h"
#include "library/ScreenshotIndexCodec.h"

#include <QFile>

#include <cstdio>

namespace {

TEST(ImportDate, FromNames)
{
    const struct
    {
        const char *name;
        QDateTime expected;
    } cases[] = {
        {"Screenshot 2024-03-05 at 14.07.09.png", QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9))},
        {"Screenshot 2024-03-05 at 9.07.09 PM.png", QDateTime(QDate(2024, 3, 5), QTime(21, 7, 9))},
        {"Screenshot 2024-03-05 at 12.30.00 AM.png", QDateTime(QDate(2024, 3, 5), QTime(0, 30, 0))},
        {"Screenshot 2024-03-05 at 12.30.00 pm (2).png", QDateTime(QDate(2024, 3, 5), QTime(12, 30, 0))},
        {"screenshot 2024-03-05_14-07-09.JPG", QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9))},
        {"Screenshot from 2023-12-31 23-59-58.png", QDateTime(QDate(2023, 12, 31), QTime(23, 59, 58))},
        {"Screenshot_20240305_140709.png", QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9))},
        {"Screenshot_2024-03-05_14-07-09.png", QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9))},
        {"Screenshot 2024-03-05 140709.heic", QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9))},
        {"IMG_20240305_140709.jpg", QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9))},
        {"Screenshot 2024-02-30 at 14.07.09.png", QDateTime()}, // no such day
        {"Screenshot 2024-03-05 at 25.07.09.png", QDateTime()}, // no such hour
        {"Screenshot 2024-03-05 at 13.07.09 PM.png", QDateTime()}, {"Screenshot 2024-03-05.png", QDateTime()},
        {"holiday.png", QDateTime()}, {"1234567-03-05 14.07.09.png", QDateTime()},
    };
    for (const auto &c : cases) {
        const auto found = ImportDate::fromName(QString::fromUtf8(c.name));
        EXPECT_EQ(found.value_or(QDateTime()), c.expected) << c.name;
    }
}

// What the progress wrote to its stream so far.
QString written(FILE *stream)
{
    std::rewind(stream);
    QFile file;
    return file.open(stream, QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

class ScreenshotImporterTest : public CaptureFixture
{
protected:
    ScreenshotImporterTest() { m_settings.setScanOnCapture(false); }
    ~ScreenshotImporterTest() override { std::fclose(m_log); }

    QString progressText() { return written(m_log); }

    qsizetype savedEntries() const
    {
        const auto saved = ScreenshotIndexCodec::decode(TestFiles::contents(m_base + "/index.json"));
        return saved ? saved->size() : -1;
    }

    static void setModified(const QString &path, const QDateTime &when)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(when, QFileDevice::FileModificationTime));
    }

    ImportProgress::Summary import(const QStringList &paths, ScreenshotImporter::Options options = {})
    {
        ImportProgress progress(m_log, false);
        ImportProgress::Summary summary;
        TestLog::printed([&] { summary = m_importer.run(paths, options, progress); });
        return summary;
    }

    CaptureOrganizer m_organizer{m_settings, *m_index};
    ScreenshotImporter m_importer{m_organizer, *m_index, m_library};
    FILE *m_log = std::tmpfile();
};

TEST_F(ScreenshotImporterTest, AFolderIsFiledByTheDatesInNamesAndACorruptImageDoesNotStopIt)
{
    png("Screenshot 2024-03-05 at 14.07.09.png", 1);
    png("sub/Screenshot from 2023-12-31 23-59-58.png", 2);
    png(".hidden/Screenshot 2024-01-01 at 10.00.00.png", 3);
    png("holiday.png", 4); // not a screenshot name
    const QString corrupt = TestEnvironment::writeFile(m_watched + "/Screenshot 2024-03-06 at 10.00.00.png", "not a png");
    TestEnvironment::writeFile(m_watched + "/notes.txt", "x");

    const auto summary = import({m_watched});
    EXPECT_EQ(summary.filed, 2);
    EXPECT_EQ(summary.duplicates, 0);
    EXPECT_EQ(summary.failed, 1);
    EXPECT_FALSE(summary.stopped);

    const QString a = m_library + "/Unknown/2024-03-05/screenshot_14-07-09.png";
    const QString b = m_library + "/Unknown/2023-12-31/screenshot_23-59-58.png";
    EXPECT_TRUE(QFile::exists(a));
    EXPECT_TRUE(QFile::exists(b));
    EXPECT_EQ(m_index->entry(a)->timestamp, QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)));
    EXPECT_EQ(m_index->entry(b)->timestamp, QDateTime(QDate(2023, 12, 31), QTime(23, 59, 58)));
    EXPECT_EQ(m_index->entry(a)->appName, "Unknown");
    EXPECT_TRUE(m_index->entry(a)->contentHash);
    EXPECT_TRUE(QFile::exists(corrupt));
    EXPECT_TRUE(QFile::exists(m_watched + "/holiday.png"));
    EXPECT_TRUE(QFile::exists(m_watched + "/.hidden/Screenshot 2024-01-01 at 10.00.00.png"));

    // Saved before the import returns.
    EXPECT_EQ(savedEntries(), 2);
    EXPECT_FALSE(m_index->hasPendingSave());

    // Off a terminal: one line per file, then the summary, no control characters.
    const QStringList lines = progressText().split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4) << progressText().toStdString();
    EXPECT_TRUE(lines[0].startsWith("[1/3] ")) << lines[0].toStdString();
    EXPECT_EQ(lines.filter("failed " + corrupt + ": not a readable image").size(), 1);
    EXPECT_EQ(lines.filter(" -> " + a).size(), 1);
    EXPECT_EQ(lines.last(), "2 filed, 0 duplicates, 1 failed");
    EXPECT_FALSE(progressText().contains('\r'));
    EXPECT_FALSE(progressText().contains('\033'));
}

TEST_F(ScreenshotImporterTest, AnyImageIsDatedByItsModificationTimeWithoutADateInItsName)
{
    const QString photo = png("photo.png", 5);
    setModified(photo, QDateTime(QDate(2023, 6, 1), QTime(12, 0, 1)));
    ScreenshotImporter::Options options;
    options.allImages = true;
    options.appName = "Web Browser";
    const auto summary = import({m_watched}, options);
    EXPECT_EQ(summary.filed, 1);
    const QString filed = m_library + "/Web Browser/2023-06-01/screenshot_12-00-01.png";
    EXPECT_TRUE(QFile::exists(filed));
    EXPECT_EQ(m_index->entry(filed)->appName, "Web Browser");
    EXPECT_EQ(m_index->entry(filed)->timestamp, QDateTime(QDate(2023, 6, 1), QTime(12, 0, 1)));
}

TEST_F(ScreenshotImporterTest, NamedFilesMissingPathsAndTheLibraryItself)
{
    const QString named = png("any name.png", 6);
    setModified(named, QDateTime(QDate(2022, 2, 2), QTime(2, 2, 2)));
    // A screenshot already in the library is never moved again.
    const QString inLibrary = TestEnvironment::writeFile(m_library + "/App/2024-01-01/Screenshot 2024-01-01 at 10.00.00.png", "x");
    const auto summary = import({named, m_base + "/missing", m_base});
    EXPECT_EQ(summary.filed, 1);
    EXPECT_EQ(summary.failed, 1);
    EXPECT_TRUE(QFile::exists(m_library + "/Unknown/2022-02-02/screenshot_02-02-02.png"));
    EXPECT_TRUE(QFile::exists(inLibrary));
    EXPECT_TRUE(progressText().contains("failed " + m_base + "/missing: No such file or folder"));
}

TEST_F(ScreenshotImporterTest, DuplicatesAreCountedWhenDeduplicating)
{
    m_settings.setDedupeDuplicates(true);
    png("Screenshot 2024-03-05 at 14.07.09.png", 9);
    png("Screenshot 2024-03-05 at 14.07.10.png", 9);
    const auto summary = import({m_watched});
    EXPECT_EQ(summary.filed, 1);
    EXPECT_EQ(summary.duplicates, 1);
    EXPECT_TRUE(progressText().endsWith("1 filed, 1 duplicate, 0 failed\n")) << progressText().toStdString();
}

TEST_F(ScreenshotImporterTest, AStopRequestEndsAfterTheCurrentFileWithTheIndexSaved)
{
    png("Screenshot 2024-03-05 at 14.07.09.png", 10);
    png("Screenshot 2024-03-05 at 14.07.10.png", 11);
    png("Screenshot 2024-03-05 at 14.07.11.png", 12);
    int asked = 0;
    m_importer.setStopRequested([&] { return ++asked > 1; });
    const auto summary = import({m_watched});
    EXPECT_TRUE(summary.stopped);
    EXPECT_EQ(summary.filed, 1);
    EXPECT_EQ(savedEntries(), 1);
    EXPECT_TRUE(progressText().endsWith("Stopped after 1 of 3 files: 1 filed, 0 duplicates, 0 failed\n"));
}

TEST(ImportProgress, OnATerminalABarWithCountAndRate)
{
    FILE *out = std::tmpfile();
    ImportProgress progress(out, true);
    progress.start(4);
    progress.item(ImportProgress::Result::Filed, "/a/one.png", "/lib/x.png");
    progress.item(ImportProgress::Result::Failed, "/a/two.png", "broken");
    progress.finish(false);
    const QString text = written(out);
    std::fclose(out);
    EXPECT_TRUE(text.contains("] 1/4 ")) << text.toStdString();
    EXPECT_TRUE(text.contains("] 2/4 "));
    EXPECT_TRUE(text.contains("files/s"));
    EXPECT_TRUE(text.contains("failed: /a/two.png: broken\n"));
    EXPECT_TRUE(text.contains('\r'));
    EXPECT_TRUE(text.endsWith("1 filed, 0 duplicates, 1 failed\n"));
}

} // namespace
