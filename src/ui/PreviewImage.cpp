// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/PreviewImage.h"

#include <QImageReader>

namespace PreviewImage {

namespace {

bool isPalette(QImage::Format format)
{
    return format == QImage::Format_Mono || format == QImage::Format_MonoLSB || format == QImage::Format_Indexed8;
}

} // namespace

QImage read(const QString &path, const QSize &box, Qt::AspectRatioMode mode)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize full = reader.size();
    // Palette and one-bit images (one-colour captures are saved so) turn to noise when the
    // reader scales them in their own format: they are scaled below in true colour.
    if (full.isValid() && !isPalette(reader.imageFormat())) {
        reader.setScaledSize(full.scaled(box, mode).expandedTo(QSize(1, 1)));
    }
    QImage image = reader.read();
    if (image.isNull()) {
        return image;
    }
    if (isPalette(image.format())) {
        image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    }
    return image.size() == image.size().scaled(box, mode) ? image : image.scaled(box, mode, Qt::SmoothTransformation);
}

} // namespace PreviewImage
