// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppSettings.h"
#include "library/ScreenshotIndex.h"
#include "platform/NotificationCenter.h"
#include "tags/FileTags.h"
#include "tags/TagLists.h"
#include "tags/widgets/TagChipView.h"
#include "tags/widgets/TagDialogView.h"

#include "common/TestEnvironment.h"
#include "common/QtPrinters.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QUrl>

namespace {

using Section = TagDialogView::Section;

QStringList chipNames(const QList<TagChipView *> &chips)
{
    QStringList out;
    for (const TagChipView *c : chips) {
        out << c->tag().name;
    }
    return out;
}

TagChipView *chipNamed(const QList<TagChipView *> &chips, const QString &name)
{
    for (TagChipView *c : chips) {
        if (c->tag().name == name) {
            return c;
        }
    }
    return nullptr;
}

class TagDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dismissed = 0;
        m_lists.setRecentTags({TagItem::create("Work", 4)});
        m_lists.setFavoriteTags({TagItem::create("Receipts", 2)});
        static int n = 0;
        m_file = TestEnvironment::home() + QStringLiteral("/Library/XTerm/2026-01-02/screenshot_%1.png").arg(++n);
        TestEnvironment::writeFile(m_file, {});
        QImage(320, 200, QImage::Format_RGB32).save(m_file);
        ScreenshotIndexEntry entry;
        entry.path = m_file;
        entry.appName = "XTerm";
        entry.timestamp = QDateTime::currentDateTime();
        entry.tags = {"Old"};
        ScreenshotIndex::shared().insert(entry);
        FileTags::setTags(m_file, {"Old"});
        ScreenshotRecord record;
        record.id = QUuid::createUuid();
        record.originalURL = record.movedURL = m_file;
        record.appName = "XTerm";
        m_dialog = std::make_unique<TagDialogView>(record, m_settings);
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
    void pressReturn() { QTest::keyClick(m_dialog->searchField(), Qt::Key_Return); }
    QStringList applied() const { return tagNames(m_dialog->appliedTags()); }

    AppSettings m_settings;
    TagLists m_lists{m_settings};
    QString m_file;
    std::unique_ptr<TagDialogView> m_dialog;
    int m_dismissed = 0;
};

TEST_F(TagDialogTest, TypedNamesAreTrimmedOnCreationAndDuplicatesOrCommasAreNotOffered)
{
    struct Case
    {
        QString typed;
        bool offered;
        bool comma;
        QStringList appliedAfterReturn;
    };
    const Case cases[] = {
        {"  Work2 ", true, false, {"Work2"}},
        {"\tInvoices", true, false, {"Invoices"}},
        {"work", false, false, {}},       // a recent tag in other letter case
        {"RECEIPTS", false, false, {}},   // a favourite
        {"purple", false, false, {}},     // a standard tag
        {"a,b", false, true, {}},         // a file tag cannot hold a comma
        {"   ", false, false, {}},
    };
    for (const Case &c : cases) {
        SetUp();
        type(c.typed);
        EXPECT_EQ(m_dialog->canCreateTag(), c.offered) << c.typed.toStdString();
        EXPECT_EQ(m_dialog->createRowShown(), c.offered) << c.typed.toStdString();
        EXPECT_EQ(m_dialog->commaMessageShown(), c.comma) << c.typed.toStdString();
        if (c.offered) {
            EXPECT_EQ(m_dialog->createRowText(), "Create \"" + c.typed + "\"");
        }
        pressReturn();
        EXPECT_EQ(applied(), c.appliedAfterReturn) << c.typed.toStdString();
        EXPECT_EQ(m_dialog->searchText().isEmpty(), c.offered) << c.typed.toStdString();
        EXPECT_EQ(m_dismissed, 0) << c.typed.toStdString();
    }
}

TEST_F(TagDialogTest, CreationTakesTheChosenColourAndResetsIt)
{
    type("Blue one");
    QTest::mouseClick(m_dialog->colorDots().at(3), Qt::LeftButton);
    EXPECT_EQ(m_dialog->newTagColorIndex(), 4);
    EXPECT_TRUE(m_dialog->colorDots().at(3)->isChecked());
    pressReturn();
    ASSERT_EQ(m_dialog->appliedTags().size(), 1);
    EXPECT_EQ(m_dialog->appliedTags().first().colorIndex, 4);
    EXPECT_EQ(m_dialog->newTagColorIndex(), 0);
    QStringList dotNames;
    for (QAbstractButton *dot : m_dialog->colorDots()) {
        dotNames << dot->accessibleName();
    }
    EXPECT_EQ(dotNames, QStringList({"Gray", "Green", "Purple", "Blue", "Yellow", "Red", "Orange"}));
    // A name typed twice before Done is offered again and applied twice.
    type("Blue one");
    pressReturn();
    EXPECT_EQ(applied(), QStringList({"Blue one", "Blue one"}));
}

TEST_F(TagDialogTest, SectionsFollowTheSearch)
{
    EXPECT_EQ(m_dialog->sectionTitle(Section::standard), "Standard Tags");
    EXPECT_EQ(chipNames(m_dialog->sectionChips(Section::favorites)), QStringList({"Receipts"}));
    EXPECT_EQ(chipNames(m_dialog->sectionChips(Section::recent)), QStringList({"Work"}));
    EXPECT_EQ(m_dialog->sectionChips(Section::standard).size(), 7);
    type("R");
    EXPECT_EQ(chipNames(m_dialog->sectionChips(Section::recent)), QStringList({"Work"}));
    EXPECT_EQ(chipNames(m_dialog->sectionChips(Section::standard)), QStringList({"Red", "Orange", "Green", "Purple", "Gray"}));
    type("nothing like it");
    for (Section s : {Section::favorites, Section::recent, Section::standard}) {
        EXPECT_FALSE(m_dialog->sectionShown(s));
    }
    EXPECT_TRUE(m_dialog->createRowShown());
}

TEST_F(TagDialogTest, ChipsToggleAndShowSelectionByName)
{
    TagChipView *favourite = chipNamed(m_dialog->sectionChips(Section::favorites), "Receipts");
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
    TagChipView *recent = chipNamed(m_dialog->sectionChips(Section::recent), "Work");
    ASSERT_NE(recent, nullptr);
    EXPECT_TRUE(recent->isSelected());
    const QList<TagChipView *> chips = m_dialog->appliedChips();
    ASSERT_EQ(chips.size(), 1);
    EXPECT_EQ(chips.first()->accessibleName(), "Work");
    ASSERT_NE(chips.first()->removeButton(), nullptr);
    EXPECT_EQ(chips.first()->removeButton()->accessibleName(), "Remove Work");
    QTest::mouseClick(chips.first()->removeButton(), Qt::LeftButton);
    EXPECT_TRUE(applied().isEmpty());
    EXPECT_FALSE(recent->isSelected());
}

TEST_F(TagDialogTest, TabGoesFromTheSearchFieldThroughTheChipsToTheButtons)
{
    m_dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_dialog.get()));
    m_dialog->searchField()->setFocus();
    QStringList reached;
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        reached << QApplication::focusWidget()->accessibleName();
    }
    // Hidden rows are skipped: nothing is typed, so the create row is not there.
    EXPECT_EQ(reached, QStringList({"Receipts", "Work", "Red", "Orange"}));
}

TEST_F(TagDialogTest, DoneWritesFileIndexAndRecentList)
{
    struct Case
    {
        QStringList typed;
        QStringList recentAfter;
    };
    const Case cases[] = {
        {{"Invoices", "Taxes"}, {"Taxes", "Invoices", "Work"}},
        {{}, {"Work"}}, // nothing applied: the file's and the entry's tags are removed
    };
    for (const Case &c : cases) {
        SetUp();
        for (const QString &name : c.typed) {
            type(name);
            pressReturn();
        }
        pressReturn(); // with the field empty, Return is Done
        EXPECT_EQ(m_dismissed, 1);
        EXPECT_EQ(FileTags::readTags(m_file), c.typed);
        EXPECT_EQ(ScreenshotIndex::shared().entry(m_file)->tags, c.typed);
        EXPECT_EQ(tagNames(m_lists.recentTags()), c.recentAfter);
    }
}

TEST_F(TagDialogTest, SkipAndAnnotateWriteNothing)
{
    QList<QVariantMap> editorRequests;
    QString annotated;
    for (const QString &button : {QStringLiteral("Annotate"), QStringLiteral("Skip")}) {
        SetUp();
        NotificationCenter::defaultCenter().addObserver(NotificationCenter::openAnnotationEditor, m_dialog.get(),
                                                        [&](const QVariantMap &info) { editorRequests << info; });
        type("Invoices");
        pressReturn();
        if (button == "Annotate") {
            annotated = m_file;
        }
        QTest::mouseClick(m_dialog->button(button), Qt::LeftButton);
        EXPECT_EQ(m_dismissed, 1) << button.toStdString();
        EXPECT_EQ(FileTags::readTags(m_file), QStringList({"Old"}));
        EXPECT_EQ(ScreenshotIndex::shared().entry(m_file)->tags, QStringList({"Old"}));
        EXPECT_EQ(tagNames(m_lists.recentTags()), QStringList({"Work"}));
    }
    ASSERT_EQ(editorRequests.size(), 1);
    EXPECT_EQ(editorRequests.first().value("url").toUrl(), QUrl::fromLocalFile(annotated));
    // Escape is Skip.
    SetUp();
    QTest::keyClick(m_dialog->searchField(), Qt::Key_Escape);
    EXPECT_EQ(m_dismissed, 1);
}

TEST_F(TagDialogTest, ContextMenuChangesFavouritesAndTheSectionsRedraw)
{
    TagChipView *recent = chipNamed(m_dialog->sectionChips(Section::recent), "Work");
    ASSERT_NE(recent, nullptr);
    QMenu *menu = m_dialog->contextMenuFor(recent);
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions().first()->text(), "Add to Favorites");
    menu->actions().first()->trigger();
    EXPECT_EQ(chipNames(m_dialog->sectionChips(Section::favorites)), QStringList({"Receipts", "Work"}));
    TagChipView *favourite = chipNamed(m_dialog->sectionChips(Section::favorites), "Work");
    menu = m_dialog->contextMenuFor(favourite);
    EXPECT_EQ(menu->actions().first()->text(), "Remove from Favorites");
    menu->actions().first()->trigger();
    EXPECT_EQ(chipNames(m_dialog->sectionChips(Section::favorites)), QStringList({"Receipts"}));
}

TEST_F(TagDialogTest, ThumbnailLoadsInTheBackground)
{
    ASSERT_TRUE(QTest::qWaitFor([this] { return m_dialog->thumbnailLoaded(); }, 10000));
    // 320x200 fitted into 60x80 points.
    const QSize size = m_dialog->thumbnail().size() / m_dialog->devicePixelRatioF();
    EXPECT_EQ(size.width(), 60);
    EXPECT_NEAR(size.height(), 37.5, 1);
}

} // namespace
