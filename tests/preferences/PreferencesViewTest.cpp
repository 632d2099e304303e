// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppSettings.h"
#include "common/TestEnvironment.h"
#include "common/TestLook.h"
#include "common/TestSettings.h"
#include "tags/TagLists.h"
#include "ui/ColorSwatch.h"
#include "ui/preferences/FolderField.h"
#include "ui/preferences/GeneralTab.h"
#include "ui/preferences/PreferencesView.h"
#include "ui/preferences/PrivacyTab.h"
#include "ui/preferences/SegmentedControl.h"
#include "ui/preferences/StorageTab.h"
#include "ui/preferences/TagsTab.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QKeySequence>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

namespace {

struct Fixture
{
    Fixture() { TestSettings::resetAll(settings); }
    AppSettings settings;
};

TEST(FolderField, BrowseStoresTheChosenFolderWithHomeAsTilde)
{
    const QString home = QDir::homePath();
    // Chosen (empty: cancelled), stored.
    const std::pair<QString, QString> cases[] = {
        {home + "/Screens", "~/Screens"},
        {home, "~"},
        {"/media/usb/Shots", "/media/usb/Shots"},
        {home + "x/Shots", home + "x/Shots"},         // a sibling folder whose name starts like home
        {"/mnt" + home + "/Shots", "/mnt" + home + "/Shots"}, // home in the middle is not home
        {"", "untouched"},
    };
    for (const auto &[chosen, stored] : cases) {
        Fixture f;
        f.settings.set(Settings::sourceFolder, QStringLiteral("untouched"));
        GeneralTab tab(f.settings);
        tab.watchFolder()->setChooser([chosen = chosen](QWidget *, const QString &, const QString &) { return chosen; });
        QTest::mouseClick(tab.watchFolder()->browseButton(), Qt::LeftButton);
        EXPECT_EQ(f.settings.get(Settings::sourceFolder), stored) << chosen.toStdString();
        EXPECT_EQ(tab.watchFolder()->field()->text(), stored);
    }
}

TEST(FolderField, TypedFolderIsStoredAsTypedAMissingOneIsNotedAndClearEmptiesIt)
{
    Fixture f;
    f.settings.set(Settings::sourceFolder, QStringLiteral("~/Shots"));
    const QString existing = TestEnvironment::makeFolder("Shots");
    GeneralTab tab(f.settings);
    tab.show();
    QLineEdit *field = tab.saveTo()->field();
    const std::pair<QString, bool> cases[] = {{existing, false}, {"~/Nowhere", true}, {"~", false}};
    for (const auto &[typed, noted] : cases) {
        field->clear();
        QTest::keyClicks(field, typed);
        EXPECT_EQ(f.settings.get(Settings::destinationFolder), typed);
        EXPECT_EQ(!tab.saveTo()->missingNote()->isHidden(), noted) << typed.toStdString();
    }
    const QList<QToolButton *> clear = tab.watchFolder()->field()->findChildren<QToolButton *>();
    ASSERT_EQ(clear.size(), 1);
    EXPECT_EQ(clear.first()->accessibleName(), "Clear Watch Folder");
    QTest::mouseClick(clear.first(), Qt::LeftButton);
    EXPECT_EQ(f.settings.get(Settings::sourceFolder), "");
}

TEST(PreferencesView, EnablingRulesFollowTheSwitches)
{
    Fixture f;
    PrivacyTab privacy(f.settings);
    StorageTab storage(f.settings);
    ASSERT_EQ(privacy.detectionSwitches().size(), 7);
    // The detection kinds follow the redaction tool; scanning on capture does not.
    f.settings.set(Settings::enablePIIRedaction, false);
    for (QCheckBox *box : privacy.detectionSwitches()) {
        EXPECT_FALSE(box->isEnabledTo(&privacy)) << box->text().toStdString();
    }
    EXPECT_TRUE(privacy.scanOnCapture()->isEnabledTo(&privacy));
    privacy.enableRedaction()->click();
    EXPECT_TRUE(f.settings.get(Settings::enablePIIRedaction));
    EXPECT_TRUE(privacy.detectionSwitches().first()->isEnabledTo(&privacy));

    EXPECT_FALSE(storage.olderThan()->isEnabledTo(&storage));
    EXPECT_FALSE(storage.action()->isEnabledTo(&storage));
    EXPECT_TRUE(storage.actionHelp()->text().contains("Trash"));
    f.settings.set(Settings::retentionEnabled, true);
    storage.action()->segment(1)->click();
    EXPECT_EQ(f.settings.get(Settings::retentionAction), "archive");
    EXPECT_TRUE(storage.actionHelp()->text().startsWith("Old screenshots move to an Archive folder"));
    EXPECT_TRUE(storage.olderThan()->isEnabledTo(&storage));
}

TEST(PreferencesView, LaunchAtLoginShowsTheAutostartEntryWhenTheTabShows)
{
    Fixture f;
    GeneralTab tab(f.settings);
    const QString entry = TestEnvironment::home() + "/.config/autostart/pictrove.desktop";
    for (const bool present : {true, false, true}) {
        tab.hide();
        QFile::remove(entry);
        if (present) {
            TestEnvironment::writeFile(entry, "[Desktop Entry]\nType=Application\nExec=pictrove\n");
        }
        tab.show();
        EXPECT_EQ(tab.launchAtLogin()->isChecked(), present);
    }
    QFile::remove(entry);
}

TEST(PreferencesView, CtrlTabAndCtrlPageDownMoveBetweenTabs)
{
    Fixture f;
    PreferencesView view(f.settings);
    view.show();
    QApplication::setActiveWindow(&view);
    const std::tuple<Qt::Key, Qt::KeyboardModifiers, int, int> moves[] = {
        {Qt::Key_Tab, Qt::ControlModifier, 0, 1},
        {Qt::Key_PageDown, Qt::ControlModifier, 1, 2},
        {Qt::Key_PageUp, Qt::ControlModifier, 2, 1},
        {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, 1, 0}};
    for (const auto &[key, modifiers, from, to] : moves) {
        view.tabs()->setCurrentIndex(from);
        // From a control inside the page, where the keyboard focus is while a person works.
        QWidget *inside = view.tabs()->currentWidget()->findChildren<QWidget *>().value(3, view.tabs());
        inside->setFocus();
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : inside, key, modifiers);
        EXPECT_EQ(view.tabs()->currentIndex(), to) << from << "->" << to;
    }
}

// Every tab on a light and a dark palette: a form wider than its tab is cut off at the right
// edge, and a stray "&" in a label becomes an underlined shortcut.
TEST(PreferencesView, EveryTabFitsAndShowsItsLabelsAsWritten)
{
    Fixture f;
    f.settings.set(Settings::enablePIIRedaction, false);
    f.settings.set(Settings::retentionEnabled, false);
    TagLists(f.settings).addFavorite(TagItem::create("Receipts", 3));
    TagLists(f.settings).addRecentTag(TagItem::create("invoice"));
    TestLook::onLightAndDark([&](const QString &name) {
        PreferencesView view(f.settings);
        view.show();
        for (int i = 0; i < view.tabs()->count(); ++i) {
            view.tabs()->setCurrentIndex(i);
            const QString tab = view.tabs()->tabText(i);
            TestLook::keep(view.grab().toImage(), "preferences-" + tab.toLower() + "-" + name);
            if (auto *area = qobject_cast<QScrollArea *>(view.tabs()->widget(i))) {
                EXPECT_LE(area->widget()->minimumSizeHint().width(), area->viewport()->width()) << tab.toStdString();
            }
        }
        for (const QAbstractButton *button : view.findChildren<QAbstractButton *>()) {
            EXPECT_TRUE(QKeySequence::mnemonic(button->text()).isEmpty()) << button->text().toStdString();
        }
    });
}

TEST(TagsTab, AddingFavoritesAndClearingRecents)
{
    Fixture f;
    TagLists lists(f.settings);
    lists.addRecentTag(TagItem::create("invoice"));
    TagsTab tab(f.settings);
    EXPECT_FALSE(tab.emptyFavoritesText()->isHidden());
    const std::pair<const char *, bool> names[] = {{"", false}, {"   \t ", false}, {"  Work\t", true}};
    for (const auto &[typed, addEnabled] : names) {
        tab.newTagField()->setText(typed);
        EXPECT_EQ(tab.addButton()->isEnabled(), addEnabled) << typed;
    }
    tab.swatches().at(4)->click();
    EXPECT_EQ(tab.newTagColor(), 4);
    QTest::mouseClick(tab.addButton(), Qt::LeftButton);
    ASSERT_EQ(lists.favoriteTags().size(), 1);
    EXPECT_EQ(lists.favoriteTags().first().name, "Work");
    EXPECT_EQ(lists.favoriteTags().first().colorIndex, 4);
    EXPECT_EQ(tab.newTagColor(), 0);
    EXPECT_TRUE(tab.newTagField()->text().isEmpty());
    ASSERT_EQ(tab.removeButtons().size(), 1);
    EXPECT_TRUE(tab.emptyFavoritesText()->isHidden());
    tab.removeButtons().first()->click();
    EXPECT_TRUE(lists.favoriteTags().isEmpty());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    EXPECT_FALSE(tab.clearRecentButton()->isHidden());
    QTest::mouseClick(tab.clearRecentButton(), Qt::LeftButton);
    EXPECT_TRUE(lists.recentTags().isEmpty());
    EXPECT_TRUE(tab.clearRecentButton()->isHidden());
}

} // namespace
