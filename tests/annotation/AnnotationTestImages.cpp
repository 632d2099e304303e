// SPDX-License-Identifier: GPL-3.0-or-later
#include "AnnotationTestImages.h"

#include <QtEndian>

#include <cmath>

namespace AnnotationTestImages {

QImage uniquePixels(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            // 12 bits of x and 12 of y spread over the three channels.
            line[x] = qRgb((x & 0xFF), (y & 0xFF), ((x >> 8) & 0x0F) << 4 | ((y >> 8) & 0x0F));
        }
    }
    return image;
}

QImage filled(int width, int height, QColor color)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

QList<QByteArray> pngChunkTypes(const QByteArray &png)
{
    QList<QByteArray> types;
    qsizetype pos = 8;
    while (pos + 8 <= png.size()) {
        const quint32 length = qFromBigEndian<quint32>(png.constData() + pos);
        types.append(png.mid(pos + 4, 4));
        pos += 12 + qsizetype(length);
    }
    return types;
}

bool occursIn(const QImage &image, const QRect &area, QRgb color)
{
    const QRect a = area.intersected(image.rect());
    for (int y = a.top(); y <= a.bottom(); ++y) {
        for (int x = a.left(); x <= a.right(); ++x) {
            if (image.pixel(x, y) == color) {
                return true;
            }
        }
    }
    return false;
}

QString savePng(const QImage &image, const QString &path, double dpi)
{
    QImage copy = image;
    const int dpm = int(std::lround(dpi / 0.0254));
    copy.setDotsPerMeterX(dpm);
    copy.setDotsPerMeterY(dpm);
    copy.save(path, "PNG");
    return path;
}

} // namespace AnnotationTestImages
