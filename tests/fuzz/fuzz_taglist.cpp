// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the stored tag-list decoder, as if they were a damaged settings value.
#include "tags/TagListCodec.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<QList<TagItem>> tags = TagListCodec::decode(bytes);
    if (tags) {
        // Whatever decodes must survive a round trip unchanged.
        const std::optional<QList<TagItem>> again = TagListCodec::decode(TagListCodec::encode(*tags));
        if (!again || *again != *tags) {
            std::abort();
        }
    }
    return 0;
}
