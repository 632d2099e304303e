// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QList>
#include <QRectF>

// Faces through OpenCV's Haar cascades from the opencv-data package: frontal faces over the
// whole bitmap at a reduced size, and frontal or turned faces in the areas that look like
// photographs (avatars, call tiles) at full or enlarged size, so a 32-pixel avatar is found.
// Boxes are the detector's own, in the bitmap's pixels (origin top-left), without padding.
class FaceDetector
{
public:
    // Empty when nothing is found or the cascade is not installed (logged once).
    static QList<QRectF> detect(const QImage &image);
    // Whether the cascade file can be found.
    static bool isAvailable();
    // The padded rectangle of a face box: 15 % of its own size on every side.
    static QRectF padded(const QRectF &face);
};
