// SPDX-License-Identifier: GPL-3.0-or-later
#include "tags/FavoriteTags.h"

#include "platform/FileSystem.h"

#include <QStandardPaths>

#include <plist/plist.h>

#include <limits>
#include <memory>

namespace FavoriteTags {

namespace {

// Only ASCII digits after an optional sign, the whole piece, within 64 bits; QString's own
// conversion would also take surrounding spaces.
std::optional<qint64> parseDecimal(const QString &text)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    if (i == text.size()) {
        return std::nullopt;
    }
    // Accumulate as a negative number: its range is one larger, so INT64_MIN fits.
    qint64 value = 0;
    constexpr qint64 min = std::numeric_limits<qint64>::min();
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
        const int digit = int(c - u'0');
        if (value < (min + digit) / 10) {
            return std::nullopt;
        }
        value = value * 10 - digit;
    }
    if (!negative) {
        if (value == min) {
            return std::nullopt;
        }
        value = -value;
    }
    return value;
}

struct PlistDeleter
{
    void operator()(void *node) const { plist_free(static_cast<plist_t>(node)); }
};

} // namespace

QString filePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/Pictrove/FavoriteTags.plist");
}

QList<TagItem> defaultTags()
{
    return {
        TagItem::create(QStringLiteral("Red"), 6),    TagItem::create(QStringLiteral("Orange"), 7),
        TagItem::create(QStringLiteral("Yellow"), 5), TagItem::create(QStringLiteral("Green"), 2),
        TagItem::create(QStringLiteral("Blue"), 4),   TagItem::create(QStringLiteral("Purple"), 3),
        TagItem::create(QStringLiteral("Gray"), 1),
    };
}

std::optional<TagItem> parseEntry(const QString &entry)
{
    const QStringList pieces = entry.split(QLatin1Char('\n'));
    if (pieces.first().isEmpty()) {
        return std::nullopt;
    }
    qint64 color = 0;
    if (pieces.size() > 1) {
        color = parseDecimal(pieces.at(1)).value_or(0);
    }
    return TagItem::create(pieces.first(), color);
}

std::optional<QList<TagItem>> parse(const QByteArray &propertyList)
{
    if (propertyList.isEmpty() || propertyList.size() > std::numeric_limits<uint32_t>::max()) {
        return std::nullopt;
    }
    plist_t raw = nullptr;
    plist_from_memory(propertyList.constData(), uint32_t(propertyList.size()), &raw);
    const std::unique_ptr<void, PlistDeleter> root(raw);
    if (!raw || plist_get_node_type(raw) != PLIST_DICT) {
        return std::nullopt;
    }
    plist_t names = plist_dict_get_item(raw, "FavoriteTagNames");
    if (!names || plist_get_node_type(names) != PLIST_ARRAY) {
        return std::nullopt;
    }
    const uint32_t count = plist_array_get_size(names);
    QStringList entries;
    for (uint32_t i = 0; i < count; ++i) {
        plist_t item = plist_array_get_item(names, i);
        if (!item || plist_get_node_type(item) != PLIST_STRING) {
            return std::nullopt;
        }
        uint64_t length = 0;
        const char *text = plist_get_string_ptr(item, &length);
        entries << QString::fromUtf8(text, qsizetype(length));
    }
    QList<TagItem> tags;
    for (const QString &entry : std::as_const(entries)) {
        if (std::optional<TagItem> tag = parseEntry(entry)) {
            tags << *tag;
        }
    }
    return tags;
}

QList<TagItem> finderFavoriteTags()
{
    const Result<QByteArray> bytes = FileSystem::readFile(filePath());
    if (!bytes) {
        return defaultTags();
    }
    std::optional<QList<TagItem>> tags = parse(bytes.value());
    return tags ? *tags : defaultTags();
}

} // namespace FavoriteTags
