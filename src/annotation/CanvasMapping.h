// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QTransform>

// Where the editor's canvas shows the screenshot and how its points map to the image's pixels.
// View coordinates have their origin at the canvas's top-left corner, y downwards.
namespace CanvasMapping {

// The picture fitted and centred in the bounds, never cropped or stretched; the whole bounds
// when the image has no size. `nominalSize` is the image's size in points.
QRectF imageRect(const QSizeF &bounds, const QSizeF &nominalSize);

// A view point in image pixels. Points outside the picture map outside the image: nothing is
// clamped. `pixelSize` is the bitmap's size (its nominal size when it has no bitmap).
QPointF viewToImage(const QPointF &p, const QRectF &imageRect, const QSizeF &pixelSize);
QPointF imageToView(const QPointF &p, const QRectF &imageRect, const QSizeF &pixelSize);
QRectF imageToView(const QRectF &r, const QRectF &imageRect, const QSizeF &pixelSize);

// The image-to-view mapping as a transform, for drawing.
QTransform imageToViewTransform(const QRectF &imageRect, const QSizeF &pixelSize);

} // namespace CanvasMapping
