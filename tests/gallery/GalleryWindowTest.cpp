// SPDX-License-Identifier: GPL-3.0-or-later
// The library window driven as a person and a screen reader would: typing, picking, the
// context menu from the keyboard, Move to Trash.
#include "app/AppSettings.h"
#include "library/ScreenshotIndex.h"
#include "platform/FileSystem.h"
#include "platform/NotificationCenter.h"
#include "ui/gallery/GalleryGridView.h"
#include "ui/gallery/GalleryModel.h"
#include "ui/gallery/GalleryThumbnails.h"
#include "ui/gallery/GalleryWindow.h"
#include "ui/gallery/GalleryWindowView.h"

#include "common/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

namespace {

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
        QImage image(64, 40, QImage::Format_RGB32);
        image.fill(QColor::fromHsv(minute * 20 % 360, 200, 200));
        image.save(path);
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

TEST_F(GalleryWindowTest, OpensFilteredByTheQueryAndCounts)
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
}

TEST_F(GalleryWindowTest, MoveToTrashDropsTheCardAndTheEntry)
{
    picture("A/2024-03-05/keep.png", "A", 1);
    const QString gone = picture("A/2024-03-05/gone.png", "A", 2);
    auto window = open();
    GalleryWindowView *view = window->view();
    ASSERT_EQ(view->countText(), "2 of 2");
    view->moveToTrash(gone);
    EXPECT_FALSE(QFile::exists(gone));
    EXPECT_FALSE(m_index->contains(gone));
    EXPECT_TRUE(m_index->hasPendingSave());
    EXPECT_EQ(view->countText(), "1 of 1");
    EXPECT_EQ(view->model().itemAt(0).fileName(), "keep.png");

    // A failure leaves everything as it was.
    view->moveToTrash(m_root + "/A/2024-03-05/missing.png");
    EXPECT_EQ(view->countText(), "1 of 1");
}

TEST_F(GalleryWindowTest, TheCardShowsItsThumbnailAndItsActionsPostTheWindowRequests)
{
    const QString path = picture("Editor/2024-03-05/a.png", "Editor", 1);
    auto window = open();
    GalleryThumbnails &thumbnails = window->view()->thumbnails();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !thumbnails.pixmap(path).isNull(); }, 20000));
    EXPECT_EQ(thumbnails.pixmap(path).size(), QSize(64, 40));
    QSignalSpy posted(&NotificationCenter::defaultCenter(), &NotificationCenter::posted);
    QMenu *menu = window->view()->cardMenu(0);
    menu->actions().at(0)->trigger();
    menu->actions().at(1)->trigger();
    delete menu;
    ASSERT_EQ(posted.size(), 2);
    EXPECT_EQ(posted.at(0).at(0).toString(), NotificationCenter::openAnnotationEditor);
    EXPECT_EQ(posted.at(0).at(1).toMap().value("url").toUrl().toLocalFile(), path);
    EXPECT_EQ(posted.at(1).at(0).toString(), NotificationCenter::openTagDialog);
    EXPECT_EQ(posted.at(1).at(1).toMap().value("appName").toString(), "Editor");
}

TEST_F(GalleryWindowTest, KeyboardMovesBetweenCardsAndOpensTheMenu)
{
    for (int i = 0; i < 6; ++i) {
        picture(QStringLiteral("A/d/%1.png").arg(i), "A", i);
    }
    auto window = open();
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

TEST_F(GalleryWindowTest, AnEmptyLibraryAndThenANewerLoadWins)
{
    auto window = open();
    GalleryWindowView *view = window->view();
    EXPECT_EQ(view->stateText(), "No screenshots yet");
    EXPECT_EQ(view->countText(), "0 of 0");
    picture("A/d/first.png", "A", 1);
    QSignalSpy loaded(view, &GalleryWindowView::loaded);
    view->loadItems(); // sees one file
    picture("A/d/second.png", "A", 2);
    view->loadItems(); // sees two
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view->isLoading(); }, 20000));
    QTest::qWait(200); // the older load, had it finished later, would land now
    EXPECT_EQ(loaded.size(), 1);
    EXPECT_EQ(view->countText(), "2 of 2");
}

