// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QWidget>

class AppSettings;
class QCheckBox;
class QGroupBox;
class SegmentedControl;

// Personal-information redaction: the tool, scanning on capture, the style and the kinds.
class PrivacyTab : public QWidget
{
    Q_OBJECT

public:
    explicit PrivacyTab(AppSettings &settings, QWidget *parent = nullptr);

    QCheckBox *enableRedaction() const { return m_enable; }
    QCheckBox *scanOnCapture() const { return m_scan; }
    SegmentedControl *style() const { return m_style; }
    QGroupBox *detectSection() const { return m_detect; }
    QList<QCheckBox *> detectionSwitches() const { return m_kinds; }

private:
    QCheckBox *m_enable;
    QCheckBox *m_scan;
    SegmentedControl *m_style;
    QGroupBox *m_detect;
    QList<QCheckBox *> m_kinds;
};
