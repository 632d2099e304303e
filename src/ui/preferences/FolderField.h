// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/AppSettings.h"

#include <QWidget>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

// A folder setting: the path as typed (a leading "~" for the home folder), a "Browse" button
// that picks a folder, and a note under the field while the folder does not exist.
class FolderField : public QWidget
{
    Q_OBJECT

public:
    // Asks the user for a folder: the chosen path, or an empty string when cancelled.
    using Chooser = std::function<QString(QWidget *parent, const QString &title, const QString &start)>;

    FolderField(AppSettings &settings, const Setting<QString> &setting, const QString &placeholder,
                const QString &accessibleName, QWidget *parent = nullptr);

    // The desktop's folder chooser (through the portal where Qt uses one).
    static QString chooseWithDialog(QWidget *parent, const QString &title, const QString &start);
    // The path with a leading home folder written "~". Only a whole leading component counts:
    // "/home/al" does not shorten "/home/alice" nor "/mnt/home/al".
    static QString collapseHome(const QString &path, const QString &home);

    void setChooser(Chooser chooser) { m_chooser = std::move(chooser); }
    void browse();

    QLineEdit *field() const { return m_field; }
    QPushButton *browseButton() const { return m_browse; }
    // The "does not exist" note; hidden while the folder exists or the field is empty.
    QLabel *missingNote() const { return m_missing; }

private:
    void updateMissingNote();

    AppSettings &m_settings;
    const Setting<QString> &m_setting;
    QLineEdit *m_field;
    QPushButton *m_browse;
    QLabel *m_missing;
    Chooser m_chooser = &FolderField::chooseWithDialog;
};
