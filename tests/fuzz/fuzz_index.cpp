// SPDX-License-Identifier: GPL-3.0-or-later
// The index reader meets whatever is on disk: any bytes must decode or fail cleanly, and
// whatever decodes must survive a write and a second read unchanged.
#include "library/ScreenshotIndexCodec.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const auto decoded = ScreenshotIndexCodec::decode(bytes);
    if (!decoded) {
        return 0;
    }
    const auto again = ScreenshotIndexCodec::decode(ScreenshotIndexCodec::encode(*decoded));
    if (!again || *again != *decoded) {
        std::abort();
    }
    return 0;
}
