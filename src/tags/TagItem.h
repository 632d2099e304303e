// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QHashFunctions>
#include <QList>
#include <QString>
#include <QUuid>

// A tag as the application handles it: a name as written to files and a colour number
// (0 for none, 1..7 see TagColors). Equality takes all three fields; the tag lists match
// by name only (sameTagName).
struct TagItem
{
    QUuid id;
    QString name;
    qint64 colorIndex = 0;

    // A new record with a fresh random id.
    static TagItem create(const QString &name, qint64 colorIndex = 0);

    QColor color() const;

    // The id as 36 upper-case hexadecimal digits with hyphens.
    QString idText() const;

    friend bool operator==(const TagItem &a, const TagItem &b)
    {
        return a.id == b.id && a.name == b.name && a.colorIndex == b.colorIndex;
    }
    friend bool operator!=(const TagItem &a, const TagItem &b) { return !(a == b); }
};

inline size_t qHash(const TagItem &tag, size_t seed = 0) { return qHashMulti(seed, tag.id, tag.name, tag.colorIndex); }

// The names of the tags, in order.
QStringList tagNames(const QList<TagItem> &tags);

// Whether two tag names are the same tag: equal text under Unicode canonical equivalence
// ("é" typed as one code point or as e + combining accent), case-sensitive.
bool sameTagName(const QString &a, const QString &b);
