// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileSystem.h"
#include "ui/gallery/GalleryDateFormat.h"
#include "ui/gallery/GalleryFilter.h"
#include "ui/gallery/GalleryLoader.h"

#include "common/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QFile>

#include <vector>

namespace {

QString item(const QList<GalleryItem> &items, const QString &fileName, QString GalleryItem::*field)
{
    for (const GalleryItem &i : items) {
        if (i.fileName() == fileName) {
            return i.*field;
        }
    }
    return QStringLiteral("<missing>");
}

QStringList fileNames(const QList<GalleryItem> &items)
{
    QStringList names;
    for (const GalleryItem &i : items) {
        names << i.fileName();
    }
    return names;
}

QList<GalleryItem> sample()
{
    const QDateTime t(QDate(2024, 3, 5), QTime(14, 7), Qt::UTC);
    return {
        GalleryItem::make("/lib/Firefox/2024-03-05/invoice_1.png", "Firefox", t, {"Receipts"}, "Total due", false),
        GalleryItem::make("/lib/Terminal/2024-03-05/shot_2.png", "Terminal", t, {"Receipts-old", "work"}, "make: error", false),
        GalleryItem::make("/lib/Editor/2024-03-05/shot_3.png", "Editor", t, {}, "the invoice draft", true),
        GalleryItem::make("/lib/Editor/2024-03-05/shot_4.png", "Editor", t, {"Work"}, "My Invoice", false),
    };
}

// Qt's QList<int>::operator== hands memcmp a null pointer when one side is empty and never
// allocated, which UndefinedBehaviorSanitizer rejects; compare plain vectors instead.
std::vector<int> rowsOf(const QList<int> &rows)
{
    return {rows.begin(), rows.end()};
}

} // namespace

TEST(GalleryLoader, FilesOnDiskWithWhatTheIndexKnows)
{
    const QString root = TestEnvironment::makeFolder(QStringLiteral("loader-lib"));
    const QString a = TestEnvironment::writeFile(root + "/Safari/2024-05-01/a.png", "x");
    const QString b = TestEnvironment::writeFile(root + "/Archive/Xcode/2024-01-02/b.PNG", "x");
    const QString c = TestEnvironment::writeFile(root + "/c.jpg", "x");
    TestEnvironment::writeFile(root + "/notes.txt", "x");
    TestEnvironment::writeFile(root + "/Archive/d.webp", "x");
    TestEnvironment::writeFile(root + "/.hidden/Terminal/e.png", "x");
    TestEnvironment::writeFile(root + "/Safari/.f.png", "x");
    const QString g = TestEnvironment::writeFile(root + "/Safari/2024-05-02/g.gif", "x");
    const QString h = TestEnvironment::writeFile(root + "/Safari/2024-05-03/h.jpeg", "x");
    QFile::link(a, root + "/Safari/link.png"); // links are not followed

    ASSERT_TRUE(FileSystem::writeTagNames(g, {"OnDisk"}));
    ASSERT_TRUE(FileSystem::writeTagNames(h, {"DiskTag"}));
    ScreenshotIndex::Entries entries;
    const QDateTime t1(QDate(2030, 1, 1), QTime(9, 0), Qt::UTC), t2 = t1.addSecs(60);
    // The index names another application than the folder; its empty tags fall back to the file's.
    entries.insert(g, {g, "Preview", t1, "Quarterly REPORT", {QRectF(1, 2, 3, 4)}, {}, {}});
    entries.insert(h, {h, "Safari", t2, {}, {}, {"Indexed"}, {}});

    const QList<GalleryItem> items = GalleryLoader::load(root, entries, GalleryLoader::fileTagReader());
    ASSERT_EQ(items.size(), 6) << fileNames(items).join(' ').toStdString();
    EXPECT_EQ(fileNames(items).mid(0, 2), (QStringList{"h.jpeg", "g.gif"})) << "the index's later dates first";
    const struct
    {
        const char *file;
        const char *app;
    } apps[] = {{"a.png", "Safari"}, {"b.PNG", "Xcode"}, {"c.jpg", "Unknown"}, {"d.webp", "Unknown"}, {"g.gif", "Preview"}, {"h.jpeg", "Safari"}};
    for (const auto &x : apps) {
        EXPECT_EQ(item(items, x.file, &GalleryItem::appName), x.app) << x.file;
    }
    for (const GalleryItem &i : items) {
        if (i.fileName() == "g.gif") {
            EXPECT_EQ(i.tags, QStringList{"OnDisk"});
            EXPECT_TRUE(i.hasPII);
            EXPECT_EQ(i.date, t1);
        } else if (i.fileName() == "h.jpeg") {
            EXPECT_EQ(i.tags, QStringList{"Indexed"}) << "the index's tags win over the file's";
            EXPECT_FALSE(i.hasPII);
        } else {
            EXPECT_FALSE(i.hasPII) << i.fileName().toStdString();
            EXPECT_TRUE(i.date.isValid());
        }
    }
    EXPECT_TRUE(GalleryLoader::load(root + "/no-such-library", {}, {}).isEmpty());
}

TEST(GalleryLoader, ApplicationFromThePath)
{
    const struct
    {
        const char *root, *path, *app;
    } cases[] = {
        {"/lib", "/lib/Safari/2024-05-01/a.png", "Safari"},
        {"/lib/", "/lib/Safari/a.png", "Safari"},
        {"/lib", "/lib/Archive/Xcode/2024-01-02/b.png", "Xcode"},
        {"/lib", "/lib/Archive/b.png", "Unknown"},
        {"/lib", "/lib/c.png", "Unknown"},
        {"/lib", "/lib/Archive/Archive/x/y.png", "Archive"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(GalleryLoader::appNameFromPath(c.root, c.path), c.app) << c.path;
    }
}

TEST(GalleryFilter, SearchAndPickers)
{
    const QList<GalleryItem> items = sample();
    const struct
    {
        const char *what;
        GalleryFilter::Criteria criteria;
        QList<int> rows;
    } cases[] = {
        {"everything", {}, {0, 1, 2, 3}},
        {"upper case finds lower case", {"INVOICE"}, {0, 2, 3}},
        {"not trimmed", {" invoice"}, {2, 3}},
        {"application", {"termin"}, {1}},
        {"tag substring", {"receipts"}, {0, 1}},
        {"file name", {"shot_4.PNG"}, {3}},
        {"no match across fields", {"firefox\nreceipts"}, {}},
        {"exact tag", {"", GalleryFilter::allApps, "Receipts"}, {0}},
        {"tag case counts", {"", GalleryFilter::allApps, "work"}, {1}},
        {"exact app", {"", "Editor"}, {2, 3}},
        {"app and search", {"draft", "Editor"}, {2}},
        {"gone app", {"", "Safari"}, {}},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(rowsOf(GalleryFilter::visibleRows(items, c.criteria)), rowsOf(c.rows)) << c.what;
    }
}

TEST(GalleryFilter, NarrowingGivesTheFullAnswer)
{
    const QList<GalleryItem> items = sample();
    const QStringList typed = {"i", "in", "inv", "invo", "invoice", "invoice ", "invoic", "d", "dr"};
    GalleryFilter::Criteria previous;
    QList<int> rows = GalleryFilter::visibleRows(items, previous);
    for (const QString &text : typed) {
        const GalleryFilter::Criteria next{text};
        rows = GalleryFilter::narrowedRows(items, next, previous, rows);
        EXPECT_EQ(rowsOf(rows), rowsOf(GalleryFilter::visibleRows(items, next))) << text.toStdString();
        previous = next;
    }
}

TEST(GalleryFilter, PickerOptions)
{
    const QList<GalleryItem> items = sample();
    EXPECT_EQ(GalleryFilter::appOptions(items), (QStringList{"All Apps", "Editor", "Firefox", "Terminal"}));
    EXPECT_EQ(GalleryFilter::tagOptions(items), (QStringList{"All Tags", "Receipts", "Receipts-old", "Work", "work"}));
}

TEST(GalleryDateFormat, MonthDayHourMinuteInTheLocale)
{
    const QDateTime t = QDateTime(QDate(2024, 3, 5), QTime(14, 7)); // local time
    const struct
    {
        const char *locale, *text;
    } cases[] = {{"de_DE", "5. März, 14:07"}, {"en_US", "Mar 5, 2:07\u202fPM"}, {"en_GB", "5 Mar, 14:07"}};
    for (const auto &c : cases) {
        EXPECT_EQ(GalleryDateFormat(QLocale(c.locale)).format(t), QString::fromUtf8(c.text)) << c.locale;
    }
}
