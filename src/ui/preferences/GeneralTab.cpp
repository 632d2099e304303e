// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/preferences/GeneralTab.h"

#include "app/AppSettings.h"
#include "ui/preferences/FolderField.h"
#include "ui/preferences/SettingControls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

using namespace SettingControls;

GeneralTab::GeneralTab(AppSettings &settings, QWidget *parent)
    : QWidget(parent)
    , m_settings(settings)
{
    auto *page = new QVBoxLayout(this);
    QVBoxLayout *rows = nullptr;

    page->addWidget(section(tr("Watch Folder"), &rows));
    m_watchFolder = new FolderField(settings, Settings::sourceFolder, tr("Auto-detect"), tr("Watch Folder"));
    rows->addWidget(m_watchFolder);
    rows->addWidget(helpText(tr("Leave empty to use your desktop's screenshot folder.")));

    page->addWidget(section(tr("Save To"), &rows));
    m_saveTo = new FolderField(settings, Settings::destinationFolder, Settings::destinationFolder.typedDefault(),
                               tr("Save To"));
    rows->addWidget(m_saveTo);
    rows->addWidget(helpText(tr("Organized into {App Name}/{Date} subfolders.")));

    page->addWidget(section(QString(), &rows));
    // Not a stored setting: the switch shows whether the autostart entry is there.
    m_launchAtLogin = new QCheckBox(tr("Launch at login"));
    m_launchAtLogin->setAccessibleName(m_launchAtLogin->text());
    // After a failed change too: the switch shows what the desktop will do.
    follow(settings, m_launchAtLogin, {QStringLiteral("launchAtLogin")}, [this] { showLaunchAtLogin(); });
    connect(m_launchAtLogin, &QCheckBox::toggled, this, [&settings](bool on) { settings.setLaunchAtLogin(on); });
    rows->addWidget(m_launchAtLogin);
    rows->addWidget(switchFor(settings, Settings::showNotification, tr("Show notifications")));
    rows->addWidget(switchFor(settings, Settings::copyToClipboardOnCapture, tr("Copy screenshot to clipboard")));
    // The running Pictrove registers or unregisters the shortcut as soon as this is written.
    rows->addWidget(switchFor(settings, Settings::enableAnnotateHotkey, tr("Annotate latest with Ctrl+Shift+A")));

    page->addWidget(section(tr("Screenshot Thumbnail"), &rows));
    rows->addWidget(switchFor(settings, Settings::showFloatingThumbnail, tr("Show floating thumbnail preview")));
    rows->addWidget(switchFor(settings, Settings::disableSystemThumbnail, tr("Disable system screenshot thumbnail"),
                              [&settings](bool on) {
                                  if (on) {
                                      settings.applySystemThumbnailPreference();
                                  } else {
                                      settings.restoreSystemThumbnail();
                                  }
                              }));
    rows->addWidget(helpText(tr("Your desktop's screenshot tool shows no thumbnail of its own, so this changes "
                                "nothing you can see. Pictrove keeps the choice and resets it when it quits.")));

    page->addWidget(section(tr("Menu Bar"), &rows));
    m_recentMinutes = pickerFor(settings, Settings::recentPreviewMinutes,
                                {tr("1 min"), tr("2 min"), tr("5 min"), tr("10 min"), tr("30 min"), tr("1 hour")},
                                tr("Show recent screenshots for"));
    rows->addWidget(labelledRow(tr("Show recent screenshots for"), m_recentMinutes));
    page->addStretch(1);
}

void GeneralTab::showEvent(QShowEvent *event)
{
    showLaunchAtLogin();
    QWidget::showEvent(event);
}

void GeneralTab::showLaunchAtLogin()
{
    const QSignalBlocker blocker(m_launchAtLogin);
    m_launchAtLogin->setChecked(m_settings.launchAtLogin());
}
