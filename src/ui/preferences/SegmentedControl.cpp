// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/preferences/SegmentedControl.h"

#include "ui/preferences/SettingControls.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QPushButton>

SegmentedControl::SegmentedControl(const QStringList &labels, QWidget *parent)
    : QWidget(parent)
    , m_group(new QButtonGroup(this))
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    for (int i = 0; i < labels.size(); ++i) {
        auto *button = new QPushButton(SettingControls::literalText(labels.at(i)), this);
        button->setCheckable(true);
        button->setAccessibleName(labels.at(i));
        m_group->addButton(button, i);
        row->addWidget(button);
    }
    row->addStretch(1);
    m_group->setExclusive(true);
    connect(m_group, &QButtonGroup::idClicked, this, &SegmentedControl::activated);
}

int SegmentedControl::currentIndex() const { return m_group->checkedId(); }

void SegmentedControl::setCurrentIndex(int index)
{
    if (QAbstractButton *button = m_group->button(index)) {
        button->setChecked(true);
        return;
    }
    // An exclusive group keeps one button checked; clearing needs it lifted for a moment.
    m_group->setExclusive(false);
    for (QAbstractButton *button : m_group->buttons()) {
        button->setChecked(false);
    }
    m_group->setExclusive(true);
}

QAbstractButton *SegmentedControl::segment(int index) const { return m_group->button(index); }

int SegmentedControl::count() const { return int(m_group->buttons().size()); }
