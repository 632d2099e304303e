// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class AppSettings;
class QCheckBox;
class QComboBox;
class QLabel;
class SegmentedControl;

// The age-based clean-up and the duplicate check.
class StorageTab : public QWidget
{
    Q_OBJECT

public:
    explicit StorageTab(AppSettings &settings, QWidget *parent = nullptr);

    QCheckBox *cleanUp() const { return m_cleanUp; }
    QComboBox *olderThan() const { return m_olderThan; }
    SegmentedControl *action() const { return m_action; }
    QLabel *actionHelp() const { return m_actionHelp; }

private:
    QCheckBox *m_cleanUp;
    QComboBox *m_olderThan;
    SegmentedControl *m_action;
    QLabel *m_actionHelp;
};
