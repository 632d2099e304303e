// SPDX-License-Identifier: GPL-3.0-or-later
// What the library loads from disk and index, how it filters, and the window driven as a
// person and a screen reader would: typing, picking, the context menu from the keyboard,
// Move to Trash.
#include "app/AppSettings.h"
#include "library/ScreenshotIndex.h"
#include "platform/FileSystem.h"
#include "platform/NotificationCenter.h"
#include "ui/gallery/GalleryDateFormat.h"
#include "ui/gallery/GalleryFilter.h"
#include "ui/gallery/GalleryGridView.h"
#include "ui/gallery/GalleryLoader.h"
#include "ui/gallery/GalleryModel.h"
#include "ui/gallery/GalleryThumbnails.h"
#include "ui/gallery/GalleryWindow.h"
#include "ui/gallery/GalleryWindowView.h"

#include "common/TestImages.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <algorithm>
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

class GalleryWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_root = TestEnvironment::makeFolder(QStringLiteral("gallery-%1").arg(++s_count));
        m_settings.setDestinationFolder(m_root);
        m_index = std::make_unique<ScreenshotIndex>(m_root + "/../index-" + QString::number(s_count) + ".json");
    }

    QString picture(const QString &relative, const QString &app, int minute, const QStringList &tags = {}, const QString &text = {})
    {
        const QString path = m_root + "/" + relative;
        QDir().mkpath(QFileInfo(path).absolutePath());
        TestImages::filled(64, 40, QColor::fromHsv(minute * 20 % 360, 200, 200)).save(path);
        m_index->insert({path, app, QDateTime(QDate(2024, 3, 5), QTime(10, minute), Qt::UTC), text, {}, tags, {}});
        return path;
    }

    std::unique_ptr<GalleryWindow> open(const QString &query = {})
    {
        auto window = std::make_unique<GalleryWindow>(m_settings, *m_index, query);
        window->show();
        [&] { ASSERT_TRUE(QTest::qWaitFor([&] { return !window->view()->isLoading(); }, 20000)); }();
        return window;
    }

    static inline int s_count = 0;
    QString m_root;
    AppSettings m_settings;
    std::unique_ptr<ScreenshotIndex> m_index;
};

} // namespace

TEST_F(GalleryWindowTest, OpensFilteredByTheQueryCountsAndIsDrivenByTheKeyboard)
{
    for (int i = 0; i < 12; ++i) {
        picture(QStringLiteral("App%1/2024-03-05/s%2.png").arg(i % 3).arg(i), QStringLiteral("App%1").arg(i % 3), i,
                i % 4 == 0 ? QStringList{"Invoice"} : QStringList{}, i == 5 ? "the INVOICE total" : "");
    }
    auto window = open(QStringLiteral("invoice"));
    GalleryWindowView *view = window->view();
    EXPECT_EQ(view->searchField()->text(), "invoice");
    EXPECT_EQ(view->countText(), "4 of 12");
    EXPECT_TRUE(view->clearButton()->isVisibleTo(window.get()));
    // Newest first; the card speaks its application, date and tags.
    EXPECT_EQ(view->model().itemAt(0).fileName(), "s8.png");
    EXPECT_EQ(view->model().data(view->model().index(0), Qt::AccessibleTextRole).toString(),
              "App2, " + view->model().dateText(0) + ", tags: Invoice");

    view->tagPicker()->setCurrentText("Invoice");
    EXPECT_EQ(view->countText(), "3 of 12");
    QTest::mouseClick(view->clearButton(), Qt::LeftButton);
    EXPECT_EQ(view->searchField()->text(), "");
    EXPECT_EQ(view->countText(), "3 of 12");
    view->appPicker()->setCurrentText("App1");
    EXPECT_EQ(view->countText(), "1 of 12");
    QTest::keyClicks(view->searchField(), "zzz");
    EXPECT_EQ(view->countText(), "0 of 12");
    EXPECT_EQ(view->stateText(), "No matches");
    EXPECT_EQ(view->appPicker()->count(), 4); // All Apps, App0, App1, App2

    // The filters survive a reload.
    QSignalSpy loaded(view, &GalleryWindowView::loaded);
    QTest::mouseClick(view->refreshButton(), Qt::LeftButton);
    EXPECT_TRUE(view->isLoading());
    ASSERT_TRUE(loaded.wait(20000));
    EXPECT_EQ(view->appPicker()->currentText(), "App1");
    EXPECT_EQ(view->countText(), "0 of 12");

    // A new query replaces the content: pickers back to all.
    window->replaceContent(QStringLiteral("total"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->view()->isLoading(); }, 20000));
    EXPECT_EQ(window->view()->countText(), "1 of 12");
    EXPECT_EQ(window->view()->appPicker()->currentText(), "All Apps");

    // The keyboard moves between the cards and opens the menu at the current one.
    window->replaceContent({});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->view()->isLoading(); }, 20000));
    GalleryGridView *grid = window->view()->grid();
    QSignalSpy menus(grid, &GalleryGridView::cardMenuRequested);
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(0, 0));
    QTest::keyClick(grid, Qt::Key_Right);
    EXPECT_EQ(grid->currentIndex().row(), 1);
    const QRect card(grid->viewport()->mapToGlobal(grid->visualRect(grid->currentIndex()).topLeft()),
                     grid->visualRect(grid->currentIndex()).size());
    const std::pair<Qt::Key, Qt::KeyboardModifiers> openers[] = {{Qt::Key_F10, Qt::ShiftModifier},
                                                                  {Qt::Key_Menu, Qt::NoModifier}};
    for (const auto &[key, modifiers] : openers) {
        menus.clear();
        QTest::keyClick(grid, key, modifiers);
        ASSERT_EQ(menus.size(), 1) << key;
        EXPECT_EQ(menus.at(0).at(0).toModelIndex().row(), 1);
        EXPECT_TRUE(card.contains(menus.at(0).at(1).toPoint())) << "the menu opens at the current card";
    }
    EXPECT_GE(grid->grid().columns, 3);
    EXPECT_GE(grid->grid().cardWidth, 200);
    EXPECT_LE(grid->grid().cardWidth, 280);
    const int columns = grid->grid().columns;
    EXPECT_EQ(grid->visualRect(grid->model()->index(columns - 1, 0)).top(),
              grid->visualRect(grid->model()->index(0, 0)).top())
        << "a row holds as many cards as the grid was sized for";
}

TEST_F(GalleryWindowTest, AnEmptyLibraryFillsANewerLoadWinsAndACardActsAndGoesToTheTrash)
{
    auto window = open();
    GalleryWindowView *view = window->view();
    EXPECT_EQ(view->stateText(), "No screenshots yet");
    EXPECT_EQ(view->countText(), "0 of 0");
    picture("Editor/d/first.png", "Editor", 1);
    QSignalSpy loaded(view, &GalleryWindowView::loaded);
    view->loadItems(); // sees one file
    const QString second = picture("Editor/d/second.png", "Editor", 2);
    view->loadItems(); // sees two
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view->isLoading(); }, 20000));
    QTest::qWait(200); // the older load, had it finished later, would land now
    EXPECT_EQ(loaded.size(), 1);
    EXPECT_EQ(view->countText(), "2 of 2");

    // The newest card shows its thumbnail, and its actions post the window requests.
    GalleryThumbnails &thumbnails = view->thumbnails();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !thumbnails.pixmap(second).isNull(); }, 20000));
    EXPECT_EQ(thumbnails.pixmap(second).size(), QSize(64, 40));
    QSignalSpy posted(&NotificationCenter::defaultCenter(), &NotificationCenter::posted);
    QMenu *menu = view->cardMenu(0);
    menu->actions().at(0)->trigger();
    menu->actions().at(1)->trigger();
    delete menu;
    ASSERT_EQ(posted.size(), 2);
    EXPECT_EQ(posted.at(0).at(0).toString(), NotificationCenter::openAnnotationEditor);
    EXPECT_EQ(posted.at(0).at(1).toMap().value("url").toUrl().toLocalFile(), second);
    EXPECT_EQ(posted.at(1).at(0).toString(), NotificationCenter::openTagDialog);
    EXPECT_EQ(posted.at(1).at(1).toMap().value("appName").toString(), "Editor");

    // Move to Trash drops the card and the entry; a failure leaves everything as it was.
    view->moveToTrash(second);
    EXPECT_FALSE(QFile::exists(second));
    EXPECT_FALSE(m_index->contains(second));
    EXPECT_TRUE(m_index->hasPendingSave());
    EXPECT_EQ(view->countText(), "1 of 1");
    EXPECT_EQ(view->model().itemAt(0).fileName(), "first.png");
    view->moveToTrash(m_root + "/Editor/d/missing.png");
    EXPECT_EQ(view->countText(), "1 of 1");
}

TEST(GalleryLoader, FilesOnDiskWithWhatTheIndexKnows)
{
    const QString root = TestEnvironment::makeFolder(QStringLiteral("loader-lib"));
    const QString a = TestEnvironment::writeFile(root + "/Safari/2024-05-01/a.png", "x");
    TestEnvironment::writeFile(root + "/Archive/Xcode/2024-01-02/b.PNG", "x");
    TestEnvironment::writeFile(root + "/c.jpg", "x");
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
    const struct
    {
        const char *file, *app;
        QStringList tags;
        QDateTime date; // invalid: any valid date
    } expected[] = {
        {"h.jpeg", "Safari", {"Indexed"}, t2}, // the index's tags win over the file's
        {"g.gif", "Preview", {"OnDisk"}, t1},
        {"a.png", "Safari", {}, {}}, {"b.PNG", "Xcode", {}, {}},
        {"c.jpg", "Unknown", {}, {}}, {"d.webp", "Unknown", {}, {}},
    };
    ASSERT_EQ(items.size(), qsizetype(std::size(expected)));
    EXPECT_EQ(items[0].fileName(), "h.jpeg") << "the index's later dates first";
    EXPECT_EQ(items[1].fileName(), "g.gif");
    for (const auto &x : expected) {
        const auto i = std::find_if(items.begin(), items.end(), [&](const auto &it) { return it.fileName() == x.file; });
        ASSERT_NE(i, items.end()) << x.file;
        EXPECT_EQ(i->appName, x.app) << x.file;
        EXPECT_EQ(i->tags, x.tags) << x.file;
        EXPECT_EQ(i->hasPII, QByteArray(x.file) == "g.gif") << x.file;
        EXPECT_TRUE(x.date.isValid() ? i->date == x.date : i->date.isValid()) << x.file;
    }
    EXPECT_TRUE(GalleryLoader::load(root + "/no-such-library", {}, {}).isEmpty());
}

TEST(GalleryLoader, ApplicationFromThePath)
{
    // Beyond the folders loaded above: a root ending in a slash, no date folder, and an
    // application named Archive inside the archive.
    EXPECT_EQ(GalleryLoader::appNameFromPath("/lib/", "/lib/Safari/a.png"), "Safari");
    EXPECT_EQ(GalleryLoader::appNameFromPath("/lib", "/lib/Archive/Archive/x/y.png"), "Archive");
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
    EXPECT_EQ(GalleryFilter::appOptions(items), (QStringList{"All Apps", "Editor", "Firefox", "Terminal"}));
    EXPECT_EQ(GalleryFilter::tagOptions(items), (QStringList{"All Tags", "Receipts", "Receipts-old", "Work", "work"}));

    // Narrowing the previous answer as the search is typed gives the full answer.
    GalleryFilter::Criteria previous;
    QList<int> rows = GalleryFilter::visibleRows(items, previous);
    for (const char *text : {"i", "in", "inv", "invo", "invoice", "invoice ", "invoic", "d", "dr"}) {
        const GalleryFilter::Criteria next{text};
        rows = GalleryFilter::narrowedRows(items, next, previous, rows);
        EXPECT_EQ(rowsOf(rows), rowsOf(GalleryFilter::visibleRows(items, next))) << text;
        previous = next;
    }
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
