// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <QWidget>

class QAbstractButton;
class QButtonGroup;

// A row of joined buttons of which exactly one is chosen: the segmented picker of the forms.
class SegmentedControl : public QWidget
{
    Q_OBJECT

public:
    explicit SegmentedControl(const QStringList &labels, QWidget *parent = nullptr);

    // -1 when no segment is chosen.
    int currentIndex() const;
    void setCurrentIndex(int index);
    QAbstractButton *segment(int index) const;
    int count() const;

signals:
    // The user chose a segment.
    void activated(int index);

private:
    QButtonGroup *m_group;
};
