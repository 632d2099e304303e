// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/LibrarySearch.h"

#include <gtest/gtest.h>

namespace {

ScreenshotIndexEntry make(const QString &path, const QString &app, int minute, QStringList tags, const QString &text)
{
    ScreenshotIndexEntry e;
    e.path = path;
    e.appName = app;
    e.timestamp = QDateTime(QDate(2024, 3, 5), QTime(14, minute), Qt::UTC);
    e.tags = std::move(tags);
    e.ocrText = text;
    return e;
}

QStringList names(const QList<ScreenshotIndexEntry> &found)
{
    QStringList list;
    for (const auto &e : found) {
        list << e.path.section('/', -1);
    }
    return list;
}

TEST(LibrarySearch, MatchesAndFiltersAsTheGalleryDoes)
{
    QHash<QString, ScreenshotIndexEntry> entries;
    for (const auto &e : {
             make("/lib/Web Browser/2024-03-05/screenshot_14-01-00.png", "Web Browser", 1, {"Receipts"}, "Invoice total 42"),
             make("/lib/Terminal/2024-03-05/screenshot_14-02-00.PNG", "Terminal", 2, {"work", "Receipts-old"}, "make: error"),
             make("/lib/Editor/2024-03-05/screenshot_14-03-00.png", "Editor", 3, {}, "the invoice draft"),
             make("/lib/Editor/2024-03-05/invoice_14-04-00.png", "Editor", 4, {"Work"}, ""),
         }) {
        entries.insert(e.path, e);
    }
    const struct
    {
        const char *what;
        LibrarySearch::Filter filter;
        QStringList expected;
    } cases[] = {
        {"empty query: everything, newest first", {}, {"invoice_14-04-00.png", "screenshot_14-03-00.png", "screenshot_14-02-00.PNG", "screenshot_14-01-00.png"}},
        {"upper-case query finds lower-case text", {"INVOICE", {}, {}}, {"invoice_14-04-00.png", "screenshot_14-03-00.png", "screenshot_14-01-00.png"}},
        {"leading space is kept", {" invoice", {}, {}}, {"screenshot_14-03-00.png"}},
        {"file name with extension", {".png", {}, {}}, {"invoice_14-04-00.png", "screenshot_14-03-00.png", "screenshot_14-02-00.PNG", "screenshot_14-01-00.png"}},
        {"folder names are not searched", {"2024-03-05", {}, {}}, {}},
        {"nor the slash before the file name", {"/screenshot", {}, {}}, {}},
        {"application", {"termin", {}, {}}, {"screenshot_14-02-00.PNG"}},
        {"tag substring in the query", {"receipts", {}, {}}, {"screenshot_14-02-00.PNG", "screenshot_14-01-00.png"}},
        {"tag filter is exact", {"", {}, QString("Receipts")}, {"screenshot_14-01-00.png"}},
        {"tag filter is case-sensitive", {"", {}, QString("work")}, {"screenshot_14-02-00.PNG"}},
        {"app filter is exact", {"", QString("Editor"), {}}, {"invoice_14-04-00.png", "screenshot_14-03-00.png"}},
        {"app filter and query", {"draft", QString("Editor"), {}}, {"screenshot_14-03-00.png"}},
        {"app filter without match", {"", QString("editor"), {}}, {}},
        {"nothing", {"zebra", {}, {}}, {}},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(names(LibrarySearch::search(entries, c.filter)), c.expected) << c.what;
    }
}

} // namespace
