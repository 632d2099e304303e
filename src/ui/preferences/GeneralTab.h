// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class AppSettings;
class FolderField;
class QCheckBox;
class QComboBox;

// Folders, start-up, capture behaviour, the thumbnails and the tray panel's recent list.
class GeneralTab : public QWidget
{
    Q_OBJECT

public:
    explicit GeneralTab(AppSettings &settings, QWidget *parent = nullptr);

    FolderField *watchFolder() const { return m_watchFolder; }
    FolderField *saveTo() const { return m_saveTo; }
    QCheckBox *launchAtLogin() const { return m_launchAtLogin; }
    QComboBox *recentMinutes() const { return m_recentMinutes; }

protected:
    // The autostart entry can change outside Pictrove: it is read again whenever the tab shows.
    void showEvent(QShowEvent *event) override;

private:
    void showLaunchAtLogin();

    AppSettings &m_settings;
    FolderField *m_watchFolder;
    FolderField *m_saveTo;
    QCheckBox *m_launchAtLogin;
    QComboBox *m_recentMinutes;
};
