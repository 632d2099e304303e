// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tags/TagLists.h"

#include <QList>
#include <QWidget>

class AppSettings;
class ColorSwatch;
class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QVBoxLayout;

// The favourite tags (shown, removed, added with a colour) and the recent tags' bound.
class TagsTab : public QWidget
{
    Q_OBJECT

public:
    explicit TagsTab(AppSettings &settings, QWidget *parent = nullptr);

    QLineEdit *newTagField() const { return m_newName; }
    QPushButton *addButton() const { return m_add; }
    QList<ColorSwatch *> swatches() const { return m_swatches; }
    qint64 newTagColor() const;
    void setNewTagColor(qint64 index);
    // The remove buttons of the favourites, in list order.
    QList<QPushButton *> removeButtons() const { return m_removeButtons; }
    QLabel *emptyFavoritesText() const { return m_emptyText; }
    QSpinBox *maxRecentTags() const { return m_maxRecent; }
    QPushButton *clearRecentButton() const { return m_clearRecent; }

    void addFavorite();

private:
    void rebuildFavorites();

    TagLists m_lists;
    QVBoxLayout *m_favoriteRows;
    QLabel *m_emptyText;
    QList<QPushButton *> m_removeButtons;
    QLineEdit *m_newName;
    QPushButton *m_add;
    QButtonGroup *m_swatchGroup;
    QList<ColorSwatch *> m_swatches;
    QSpinBox *m_maxRecent;
    QPushButton *m_clearRecent;
};
