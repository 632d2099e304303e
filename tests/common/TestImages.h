// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/TestEnvironment.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QtEndian>

#include <algorithm>
#include <cmath>

// Pictures and PNG inspection for the tests of the editor and its export (header only: the
// programs without Qt GUI never include it).
namespace TestImages {

inline QImage filled(int width, int height, QColor color)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

// Every pixel of a 4096 × 4096 area has its own colour, so a colour averaged from several
// pixels shows up as one the area never held.
inline QImage uniquePixels(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, qRgb(x & 0xFF, y & 0xFF, ((x >> 8) & 0x0F) << 4 | ((y >> 8) & 0x0F)));
        }
    }
    return image;
}

// Writes the image as PNG with the given resolution and returns the path.
inline QString savePng(const QImage &image, const QString &path, double dpi = 72)
{
    QImage copy = image;
    copy.setDotsPerMeterX(int(std::lround(dpi / 0.0254)));
    copy.setDotsPerMeterY(int(std::lround(dpi / 0.0254)));
    copy.save(path, "PNG");
    return path;
}

// A PNG of one colour in a fresh folder under the temporary home.
inline QString writeImage(const QString &name, int width, int height, const QColor &color = QColor(200, 210, 220))
{
    return savePng(filled(width, height, color), TestEnvironment::makeFolder("images-" + name) + "/" + name);
}

// The PNG's chunk types in file order.
inline QList<QByteArray> pngChunkTypes(const QByteArray &png)
{
    QList<QByteArray> types;
    for (qsizetype pos = 8; pos + 8 <= png.size(); pos += 12 + qFromBigEndian<quint32>(png.constData() + pos)) {
        types.append(png.mid(pos + 4, 4));
    }
    return types;
}

// Whether the PNG holds the picture and its resolution only: no text, profile or thumbnail.
inline bool pixelsAndResolutionOnly(const QByteArray &png)
{
    const QList<QByteArray> allowed{"IHDR", "pHYs", "IDAT", "IEND"};
    const QList<QByteArray> types = pngChunkTypes(png);
    return !types.isEmpty() &&
           std::all_of(types.begin(), types.end(), [&](const QByteArray &t) { return allowed.contains(t); });
}

// Whether the colour, within `tolerance` on each channel, occurs in the image within the area.
inline bool occursIn(const QImage &image, const QRect &area, QRgb color, int tolerance = 0)
{
    const QRect a = area.intersected(image.rect());
    for (int y = a.top(); y <= a.bottom(); ++y) {
        for (int x = a.left(); x <= a.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (std::max({std::abs(qRed(p) - qRed(color)), std::abs(qGreen(p) - qGreen(color)),
                          std::abs(qBlue(p) - qBlue(color))}) <= tolerance) {
                return true;
            }
        }
    }
    return false;
}

} // namespace TestImages
