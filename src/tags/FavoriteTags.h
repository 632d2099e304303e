// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tags/TagItem.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// The user's favourite file-manager tags, read from a property list (XML or binary) whose
// top level is a dictionary with an array of strings under "FavoriteTagNames". Each string
// is a name, optionally followed by a line feed and a colour number.
namespace FavoriteTags {

// $XDG_CONFIG_HOME/Pictrove/FavoriteTags.plist
QString filePath();

// Red, Orange, Yellow, Green, Blue, Purple, Gray with their colour numbers, fresh ids.
QList<TagItem> defaultTags();

// The favourites in the property list, or nothing when it is not a property list of that
// shape. Entries with an empty name are left out, so the list may be empty.
std::optional<QList<TagItem>> parse(const QByteArray &propertyList);

// One entry of "FavoriteTagNames", or nothing for an empty name.
std::optional<TagItem> parseEntry(const QString &entry);

// The favourites from filePath(); the default tags when the file is missing, unreadable
// or not of the expected shape. Never fails.
QList<TagItem> finderFavoriteTags();

} // namespace FavoriteTags
