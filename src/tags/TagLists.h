// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/AppSettings.h"
#include "tags/TagItem.h"

#include <QList>

// The recent and favourite tag lists, kept as JSON bytes in the settings under
// AppSettings::recentTagsKey and AppSettings::favoriteTagsKey. Every call reads the stored
// list afresh and every write replaces it whole, after which the settings announce the
// change. Tags are matched by exact name. Main thread only.
class TagLists
{
public:
    explicit TagLists(AppSettings &settings = AppSettings::shared());

    // Most recently applied first, at most maxRecentTags long.
    QList<TagItem> recentTags() const;
    void setRecentTags(const QList<TagItem> &tags);
    // Puts the tag first, dropping every tag of the same name and anything beyond the bound.
    void addRecentTag(const TagItem &tag);

    // In the order they were added.
    QList<TagItem> favoriteTags() const;
    void setFavoriteTags(const QList<TagItem> &tags);
    // Appends the tag unless a favourite of the same name exists.
    void addFavorite(const TagItem &tag);
    // Removes every favourite of the same name.
    void removeFavorite(const TagItem &tag);
    bool isFavorite(const TagItem &tag) const;

private:
    QList<TagItem> read(const QString &key) const;
    void write(const QString &key, const QList<TagItem> &tags);

    AppSettings &m_settings;
};
