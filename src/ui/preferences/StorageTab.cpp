// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/preferences/StorageTab.h"

#include "app/AppSettings.h"
#include "ui/preferences/SegmentedControl.h"
#include "ui/preferences/SettingControls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

using namespace SettingControls;

StorageTab::StorageTab(AppSettings &settings, QWidget *parent)
    : QWidget(parent)
{
    auto *page = new QVBoxLayout(this);
    QVBoxLayout *rows = nullptr;

    page->addWidget(section(tr("Auto-Cleanup"), &rows));
    m_cleanUp = switchFor(settings, Settings::retentionEnabled, tr("Clean up old screenshots"));
    rows->addWidget(m_cleanUp);
    m_olderThan = pickerFor(settings, Settings::retentionDays,
                            {tr("7 days"), tr("14 days"), tr("30 days"), tr("60 days"), tr("90 days"), tr("1 year")},
                            tr("Older than"));
    QWidget *olderRow = labelledRow(tr("Older than"), m_olderThan);
    rows->addWidget(olderRow);
    m_action = segmentsFor(settings, Settings::retentionAction, {tr("Move to Trash"), tr("Archive")}, tr("Action"));
    QWidget *actionRow = labelledRow(tr("Action"), m_action);
    rows->addWidget(actionRow);
    m_actionHelp = helpText(QString());
    rows->addWidget(m_actionHelp);
    follow(settings, this, {Settings::retentionEnabled.key}, [&settings, olderRow, actionRow] {
        const bool on = settings.get(Settings::retentionEnabled);
        olderRow->setEnabled(on);
        actionRow->setEnabled(on);
    });
    follow(settings, m_actionHelp, {Settings::retentionAction.key}, [this, &settings] {
        m_actionHelp->setText(settings.get(Settings::retentionAction) == QLatin1String("archive")
                                  ? tr("Old screenshots move to an Archive folder inside your screenshot library, "
                                       "keeping the same structure.")
                                  : tr("Old screenshots are moved to the Trash, so you can still recover them until "
                                       "you empty it."));
    });

    page->addWidget(section(tr("Duplicates"), &rows));
    rows->addWidget(switchFor(settings, Settings::dedupeDuplicates, tr("Skip duplicate captures")));
    rows->addWidget(helpText(tr("If a new screenshot is pixel-identical to one already in your library, the new "
                                "copy is trashed automatically.")));
    page->addStretch(1);
}
