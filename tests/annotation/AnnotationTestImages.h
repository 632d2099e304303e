// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QRect>
#include <QString>

// Images and PNG inspection shared by the annotation tests.
namespace AnnotationTestImages {

// An opaque image in which every pixel of a 4096 × 4096 area has its own colour, so a colour
// that was averaged from several pixels shows up as one the area never held.
QImage uniquePixels(int width, int height);

QImage filled(int width, int height, QColor color);

// The PNG's chunk types in file order.
QList<QByteArray> pngChunkTypes(const QByteArray &png);

// Whether the colour occurs in the image within the area.
bool occursIn(const QImage &image, const QRect &area, QRgb color);

// Writes the image as PNG with the given resolution and returns its path.
QString savePng(const QImage &image, const QString &path, double dpi);

} // namespace AnnotationTestImages
