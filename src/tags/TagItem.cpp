// SPDX-License-Identifier: GPL-3.0-or-later
#include "tags/TagItem.h"

#include "tags/TagColors.h"

TagItem TagItem::create(const QString &name, qint64 colorIndex) { return {QUuid::createUuid(), name, colorIndex}; }

QColor TagItem::color() const { return TagColors::color(colorIndex); }

QString TagItem::idText() const { return id.toString(QUuid::WithoutBraces).toUpper(); }

QStringList tagNames(const QList<TagItem> &tags)
{
    QStringList names;
    names.reserve(tags.size());
    for (const TagItem &tag : tags) {
        names << tag.name;
    }
    return names;
}

bool sameTagName(const QString &a, const QString &b)
{
    return a == b || a.normalized(QString::NormalizationForm_C) == b.normalized(QString::NormalizationForm_C);
}
