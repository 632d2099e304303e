// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppSettings.h"
#include "library/ScreenshotIndex.h"
#include "platform/NotificationCenter.h"
#include "tags/FileTags.h"
#include "tags/TagLists.h"
#include "tags/widgets/TagChipView.h"
#include "tags/widgets/TagDialogView.h"
#include "ui/FlowLayout.h"

#include "common/QtPrinters.h"
#include "common/TestEnvironment.h"
#include "common/TestRecords.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QUrl>
#include <QWidget>

#include <limits>

namespace {

using Section = TagDialogView::Section;

class TagDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dismissed = 0;
        m_lists.setRecentTags({TagItem::create("Work", 4)});
        m_lists.setFavoriteTags({TagItem::create("Receipts", 2)});
        m_file = TestEnvironment::makeFolder(QStringLiteral("XTerm")) + "/screenshot_10-00-00.png";
        QImage(320, 200, QImage::Format_RGB32).save(m_file);
        ScreenshotIndex::shared().insert({m_file, "XTerm", QDateTime::currentDateTime(), {}, {}, {"Old"}, {}});
        FileTags::setTags(m_file, {"Old"});
        m_dialog = std::make_unique<TagDialogView>(TestRecords::record(m_file), m_settings);
        m_dialog->onDismiss = [this] { ++m_dismissed; };
        m_dialog->resize(400, 520);
        m_dialog->show();
    }

    void type(const QString &text)
    {
        m_dialog->searchField()->clear();
        if (text.contains('\t')) { // a typed Tab would move the focus
            m_dialog->setSearchText(text);
        } else {
            QTest::keyClicks(m_dialog->searchField(), text);
        }
    }
    void enter(const QString &text)
    {
        type(text);
        QTest::keyClick(m_dialog->searchField(), Qt::Key_Return);
    }
    QStringList applied() const { return tagNames(m_dialog->appliedTags()); }
    QStringList names(Section s) const
    {
        QStringList out;
        for (const TagChipView *c : m_dialog->sectionChips(s)) {
            out << c->tag().name;
        }
        return out;
    }
    TagChipView *chip(Section s, const QString &name) const
    {
        return m_dialog->sectionChips(s).value(names(s).indexOf(name));
    }
    void expectWritten(const QStringList &tags, const QStringList &recent) const
    {
        EXPECT_EQ(m_dismissed, 1);
        EXPECT_EQ(FileTags::readTags(m_file), tags);
        EXPECT_EQ(ScreenshotIndex::shared().entry(m_file)->tags, tags);
        EXPECT_EQ(tagNames(m_lists.recentTags()), recent);
    }

    AppSettings m_settings;
    TagLists m_lists{m_settings};
    QString m_file;
    std::unique_ptr<TagDialogView> m_dialog;
    int m_dismissed = 0;
};

TEST_F(TagDialogTest, TypedNamesAreTrimmedAndColouredOnCreationAndDuplicatesOrCommasAreNotOffered)
{
    struct Case
    {
        QString typed;
        bool offered, comma;
    };
    const Case cases[] = {
        {"  Work2 ", true, false}, {"\tInvoices", true, false},
        {"work", false, false},     // a recent tag in other letter case
        {"RECEIPTS", false, false}, // a favourite
        {"purple", false, false},   // a standard tag
        {"a,b", false, true},       // a file tag cannot hold a comma
        {"   ", false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        SetUp();
        type(c.typed);
        EXPECT_EQ(m_dialog->canCreateTag(), c.offered);
        EXPECT_EQ(m_dialog->createRowShown(), c.offered);
        EXPECT_EQ(m_dialog->commaMessageShown(), c.comma);
        if (c.offered) {
            EXPECT_EQ(m_dialog->createRowText(), "Create \"" + c.typed + "\"");
        }
        QTest::keyClick(m_dialog->searchField(), Qt::Key_Return);
        EXPECT_EQ(applied(), c.offered ? QStringList{c.typed.trimmed()} : QStringList());
        EXPECT_EQ(m_dialog->searchText().isEmpty(), c.offered);
        EXPECT_EQ(m_dismissed, 0);
    }
    // Creation takes the chosen colour and resets it.
    SetUp();
    EXPECT_EQ(m_dialog->colorDots().at(3)->accessibleName(), "Blue");
    type("Blue one");
    QTest::mouseClick(m_dialog->colorDots().at(3), Qt::LeftButton);
    EXPECT_TRUE(m_dialog->colorDots().at(3)->isChecked());
    QTest::keyClick(m_dialog->searchField(), Qt::Key_Return);
    ASSERT_EQ(m_dialog->appliedTags().size(), 1);
    EXPECT_EQ(m_dialog->appliedTags().first().colorIndex, 4);
    EXPECT_EQ(m_dialog->newTagColorIndex(), 0);
    // A name typed twice before Done is offered again and applied twice.
    enter("Blue one");
    EXPECT_EQ(applied(), QStringList({"Blue one", "Blue one"}));
}

TEST_F(TagDialogTest, TheThumbnailLoadsInTheBackgroundAndTheSectionsFollowTheSearch)
{
    ASSERT_TRUE(QTest::qWaitFor([this] { return m_dialog->thumbnailLoaded(); }, 10000));
    // 320x200 fitted into 60x80 points.
    const QSize size = m_dialog->thumbnail().size() / m_dialog->devicePixelRatioF();
    EXPECT_EQ(size.width(), 60);
    EXPECT_NEAR(size.height(), 37.5, 1);
    EXPECT_EQ(names(Section::favorites), QStringList({"Receipts"}));
    EXPECT_EQ(names(Section::recent), QStringList({"Work"}));
    EXPECT_EQ(names(Section::standard).size(), 7);
    type("R");
    EXPECT_EQ(names(Section::recent), QStringList({"Work"}));
    EXPECT_EQ(names(Section::standard), QStringList({"Red", "Orange", "Green", "Purple", "Gray"}));
    type("nothing like it");
    for (Section s : {Section::favorites, Section::recent, Section::standard}) {
        EXPECT_FALSE(m_dialog->sectionShown(s));
    }
    EXPECT_TRUE(m_dialog->createRowShown());
}

TEST_F(TagDialogTest, ChipsToggleShowSelectionByNameAndChangeFavouritesFromTheirMenu)
{
    TagChipView *favourite = chip(Section::favorites, "Receipts");
    ASSERT_NE(favourite, nullptr);
    QTest::mouseClick(favourite, Qt::LeftButton);
    EXPECT_EQ(applied(), QStringList({"Receipts"}));
    EXPECT_TRUE(favourite->isSelected());
    favourite->setFocus();
    QTest::keyClick(favourite, Qt::Key_Space); // the keyboard toggles too
    EXPECT_TRUE(applied().isEmpty());
    EXPECT_FALSE(favourite->isSelected());

    // An applied tag with another id still selects the recent chip of that name.
    m_dialog->createTag("Work", 0);
    TagChipView *recent = chip(Section::recent, "Work");
    ASSERT_NE(recent, nullptr);
    EXPECT_TRUE(recent->isSelected());
    const QList<TagChipView *> chips = m_dialog->appliedChips();
    ASSERT_EQ(chips.size(), 1);
    ASSERT_NE(chips.first()->removeButton(), nullptr);
    QTest::mouseClick(chips.first()->removeButton(), Qt::LeftButton);
    EXPECT_TRUE(applied().isEmpty());
    EXPECT_FALSE(recent->isSelected());

    // The context menu changes the favourites; Tab skips hidden rows.
    SetUp();
    QMenu *menu = m_dialog->contextMenuFor(chip(Section::recent, "Work"));
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions().first()->text(), "Add to Favorites");
    menu->actions().first()->trigger();
    EXPECT_EQ(names(Section::favorites), QStringList({"Receipts", "Work"}));
    menu = m_dialog->contextMenuFor(chip(Section::favorites, "Work"));
    EXPECT_EQ(menu->actions().first()->text(), "Remove from Favorites");
    menu->actions().first()->trigger();
    EXPECT_EQ(names(Section::favorites), QStringList({"Receipts"}));

    m_dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_dialog.get()));
    m_dialog->searchField()->setFocus();
    QStringList reached;
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        reached << QApplication::focusWidget()->accessibleName();
    }
    // Nothing is typed, so the create row is not there.
    EXPECT_EQ(reached, QStringList({"Receipts", "Work", "Red", "Orange"}));
}

TEST_F(TagDialogTest, DoneWritesFileIndexAndRecentListAndSkipOrAnnotateNothing)
{
    enter("Invoices");
    enter("Taxes");
    enter(""); // with the field empty, Return is Done
    expectWritten({"Invoices", "Taxes"}, {"Taxes", "Invoices", "Work"});
    SetUp();
    enter("");
    expectWritten({}, {"Work"}); // nothing applied: the file's and the entry's tags are removed

    QList<QVariantMap> editorRequests;
    QString annotated;
    for (const QString &button : {QStringLiteral("Annotate"), QStringLiteral("Skip"), QStringLiteral("Escape")}) {
        SCOPED_TRACE(button.toStdString());
        SetUp();
        NotificationCenter::defaultCenter().addObserver(NotificationCenter::openAnnotationEditor, m_dialog.get(),
                                                        [&](const QVariantMap &info) { editorRequests << info; });
        enter("Invoices");
        annotated = button == "Annotate" ? m_file : annotated;
        if (button == "Escape") {
            QTest::keyClick(m_dialog->searchField(), Qt::Key_Escape);
        } else {
            QTest::mouseClick(m_dialog->button(button), Qt::LeftButton);
        }
        expectWritten({"Old"}, {"Work"});
        EXPECT_EQ(editorRequests.size(), 1);
    }
    EXPECT_EQ(editorRequests.first().value("url").toUrl(), QUrl::fromLocalFile(annotated));
}

TEST(FlowLayout, ArrangesRowsAndNeverWrapsTheFirstItemOfARow)
{
    struct Case
    {
        QList<QSizeF> sizes;
        qreal width;
        QList<QPointF> positions;
        QSizeF size;
    };
    const qreal none = std::numeric_limits<qreal>::infinity();
    const Case cases[] = {
        {{{40, 20}, {40, 20}, {40, 20}}, 100, {{0, 0}, {46, 0}, {0, 26}}, {86, 46}},
        {{{150, 20}}, 100, {{0, 0}}, {150, 20}},
        {{{150, 20}, {10, 30}}, 100, {{0, 0}, {0, 26}}, {150, 56}},
        {{{40, 20}, {40, 20}, {40, 20}}, none, {{0, 0}, {46, 0}, {92, 0}}, {132, 20}},
        {{}, 100, {}, {0, 0}},
    };
    for (const Case &c : cases) {
        const FlowLayout::Arrangement a = FlowLayout::arrange(c.sizes, 6, c.width);
        EXPECT_EQ(a.positions, c.positions) << c.sizes.size() << " items in " << c.width;
        EXPECT_EQ(a.size, c.size) << c.sizes.size() << " items in " << c.width;
    }
}

TEST(FlowLayout, PlacesWidgetsAtTheirIdealSizeInTheGrantedRectAndSkipsHiddenOnes)
{
    QWidget container;
    auto *flow = new FlowLayout(&container, 6);
    QList<QWidget *> boxes;
    for (int i = 0; i < 4; ++i) {
        boxes << new QWidget(&container);
        boxes.last()->setMinimumSize(40, 20); // the ideal size the layout reads, and no bound above
        flow->addWidget(boxes.last());
    }
    boxes[1]->hide();
    EXPECT_TRUE(flow->hasHeightForWidth());
    EXPECT_EQ(flow->heightForWidth(100), 46);
    EXPECT_EQ(flow->sizeHint(), QSize(132, 20));
    flow->setGeometry(QRect(10, 5, 100, 200));
    EXPECT_EQ(boxes[0]->geometry(), QRect(10, 5, 40, 20));
    EXPECT_EQ(boxes[2]->geometry(), QRect(56, 5, 40, 20));
    EXPECT_EQ(boxes[3]->geometry(), QRect(10, 31, 40, 20));
}

} // namespace
