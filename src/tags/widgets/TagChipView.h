// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tags/TagItem.h"

#include <QAbstractButton>

#include <functional>

// One tag as a rounded chip: a colour dot and the name, and on removable chips a remove
// mark. A button for the keyboard and screen readers: Tab reaches it, Space presses it, its
// accessible name is the tag's name and a selected chip reads as checked.
class TagChipView : public QAbstractButton
{
    Q_OBJECT

public:
    TagChipView(const TagItem &tag, bool isRemovable, bool isSelected, QWidget *parent = nullptr);

    const TagItem &tag() const { return m_tag; }
    bool isRemovable() const { return m_remove != nullptr; }
    bool isSelected() const { return isChecked(); }
    void setSelected(bool selected);
    // The remove mark, or none on a chip that cannot be removed.
    QAbstractButton *removeButton() const { return m_remove; }

    // A tap on the chip, and a tap on its remove mark; nothing when unset.
    std::function<void()> onTap;
    std::function<void()> onRemove;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void nextCheckState() override {} // the owner decides what is selected

private:
    QFont nameFont() const;

    TagItem m_tag;
    QAbstractButton *m_remove = nullptr;
};
