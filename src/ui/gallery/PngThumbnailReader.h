// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QString>

// Reads a PNG straight into a thumbnail: each row is box-filtered into the smaller picture as
// it is decoded, so the full-size picture is never held and never scaled afterwards (Qt's
// reader decodes a PNG whole whatever size is asked for). Any thread.
namespace PngThumbnailReader {

// The picture at path, at most side pixels on its longer side; a null image when the file is
// not a PNG read this way (an interlaced one, a damaged one): the caller reads it otherwise.
QImage read(const QString &path, int side);

} // namespace PngThumbnailReader
