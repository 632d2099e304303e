// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/gallery/GalleryItem.h"

#include <QList>
#include <QString>
#include <QStringList>

// Which cards the library window shows, and the choices its pickers offer.
namespace GalleryFilter {

inline const QString allApps = QStringLiteral("All Apps");
inline const QString allTags = QStringLiteral("All Tags");

struct Criteria
{
    QString searchText; // as typed: compared lower-cased, not trimmed; empty matches all
    QString app = allApps; // exact name, or allApps
    QString tag = allTags; // exact tag name, or allTags

    bool operator==(const Criteria &) const = default;
};

bool matches(const GalleryItem &item, const Criteria &criteria, const QByteArray &needle);

// The rows of items that pass, in order. With `previous`, the rows that passed `narrowed`, the
// search looks only at those when the new criteria can only narrow them (the same pickers,
// a search text holding the earlier one): the common case of typing one more letter.
QList<int> visibleRows(const QList<GalleryItem> &items, const Criteria &criteria);
QList<int> narrowedRows(const QList<GalleryItem> &items, const Criteria &criteria, const Criteria &previous,
                        const QList<int> &previousRows);

// "All Apps" / "All Tags" followed by the distinct names, by character code.
QStringList appOptions(const QList<GalleryItem> &items);
QStringList tagOptions(const QList<GalleryItem> &items);

// "3 of 12"
QString countText(qsizetype visible, qsizetype total);

} // namespace GalleryFilter
