// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/gallery/GalleryDateFormat.h"
#include "ui/gallery/GalleryFilter.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

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

TEST(GalleryFilter, OptionsAndCount)
{
    const QList<GalleryItem> items = sample();
    EXPECT_EQ(GalleryFilter::appOptions(items), (QStringList{"All Apps", "Editor", "Firefox", "Terminal"}));
    EXPECT_EQ(GalleryFilter::tagOptions(items), (QStringList{"All Tags", "Receipts", "Receipts-old", "Work", "work"}));
    EXPECT_EQ(GalleryFilter::countText(3, 12), "3 of 12");
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
