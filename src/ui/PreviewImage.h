// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

// Small previews of captures, for any thread.
namespace PreviewImage {

// The image at `path` scaled smoothly to `box` (device pixels) by `mode`, oriented as its
// metadata says, in true colour; a null image when it cannot be read. Formats that can
// decode small do so, so a 5K capture does not cost its full size for a tiny preview.
QImage read(const QString &path, const QSize &box, Qt::AspectRatioMode mode = Qt::KeepAspectRatio);

} // namespace PreviewImage
