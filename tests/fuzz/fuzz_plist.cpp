// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the favourite-tags reader, as if they were the favourites file.
#include "tags/FavoriteTags.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<QList<TagItem>> tags = FavoriteTags::parse(bytes);
    if (tags) {
        for (const TagItem &tag : *tags) {
            // Names are never empty and never hold the line feed that separates the colour.
            if (tag.name.isEmpty() || tag.name.contains(QLatin1Char('\n'))) {
                std::abort();
            }
        }
    }
    // The same bytes taken as one entry of the list.
    const QString entry = QString::fromUtf8(bytes);
    const std::optional<TagItem> tag = FavoriteTags::parseEntry(entry);
    if (tag.has_value() != !entry.section(QLatin1Char('\n'), 0, 0).isEmpty()
        || (tag && tag->name != entry.section(QLatin1Char('\n'), 0, 0))) {
        std::abort();
    }
    return 0;
}
