// SPDX-License-Identifier: GPL-3.0-or-later
#include "tags/TagLists.h"

#include "tags/TagListCodec.h"

#include <algorithm>

namespace {

bool containsName(const QList<TagItem> &tags, const QString &name)
{
    return std::any_of(tags.cbegin(), tags.cend(), [&](const TagItem &t) { return sameTagName(t.name, name); });
}

} // namespace

TagLists::TagLists(AppSettings &settings) : m_settings(settings) {}

QList<TagItem> TagLists::recentTags() const { return read(AppSettings::recentTagsKey); }

void TagLists::setRecentTags(const QList<TagItem> &tags) { write(AppSettings::recentTagsKey, tags); }

void TagLists::addRecentTag(const TagItem &tag)
{
    QList<TagItem> tags = recentTags();
    tags.removeIf([&](const TagItem &t) { return sameTagName(t.name, tag.name); });
    tags.prepend(tag);
    // A negative bound is outside the setting's range; it keeps nothing, like 0.
    const qint64 bound = std::max<qint64>(0, m_settings.maxRecentTags());
    if (tags.size() > bound) {
        tags.resize(qsizetype(bound));
    }
    setRecentTags(tags);
}

QList<TagItem> TagLists::favoriteTags() const { return read(AppSettings::favoriteTagsKey); }

void TagLists::setFavoriteTags(const QList<TagItem> &tags) { write(AppSettings::favoriteTagsKey, tags); }

void TagLists::addFavorite(const TagItem &tag)
{
    QList<TagItem> tags = favoriteTags();
    if (containsName(tags, tag.name)) {
        return;
    }
    tags.append(tag);
    setFavoriteTags(tags);
}

void TagLists::removeFavorite(const TagItem &tag)
{
    QList<TagItem> tags = favoriteTags();
    tags.removeIf([&](const TagItem &t) { return sameTagName(t.name, tag.name); });
    setFavoriteTags(tags);
}

bool TagLists::isFavorite(const TagItem &tag) const { return containsName(favoriteTags(), tag.name); }

QList<TagItem> TagLists::read(const QString &key) const
{
    const QVariant stored = m_settings.rawValue(key);
    QByteArray bytes;
    if (stored.typeId() == QMetaType::QByteArray) {
        bytes = stored.toByteArray();
    } else if (stored.typeId() == QMetaType::QString) {
        // A value edited by hand in the settings file reads back as text.
        bytes = stored.toString().toUtf8();
    } else {
        return {};
    }
    // An undecodable value reads as empty and stays stored until the next write.
    return TagListCodec::decode(bytes).value_or(QList<TagItem>());
}

void TagLists::write(const QString &key, const QList<TagItem> &tags)
{
    m_settings.setRawValue(key, TagListCodec::encode(tags));
}
