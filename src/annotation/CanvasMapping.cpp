// SPDX-License-Identifier: GPL-3.0-or-later
#include "annotation/CanvasMapping.h"

namespace CanvasMapping {

namespace {

// Scale factors from image pixels to view points; 1 where the image has no extent, so an empty
// image maps like the identity instead of dividing by zero.
QPointF scale(const QRectF &r, const QSizeF &pixelSize)
{
    return QPointF(pixelSize.width() > 0 ? r.width() / pixelSize.width() : 1,
                   pixelSize.height() > 0 ? r.height() / pixelSize.height() : 1);
}

} // namespace

QRectF imageRect(const QSizeF &bounds, const QSizeF &nominalSize)
{
    const double bw = bounds.width(), bh = bounds.height();
    const double iw = nominalSize.width(), ih = nominalSize.height();
    if (!(iw > 0 && ih > 0)) {
        return QRectF(0, 0, bw, bh);
    }
    if (bh <= 0 || iw / ih > bw / bh) {
        const double h = bw * ih / iw;
        return QRectF(0, (bh - h) / 2, bw, h);
    }
    const double w = bh * iw / ih;
    return QRectF((bw - w) / 2, 0, w, bh);
}

QPointF viewToImage(const QPointF &p, const QRectF &r, const QSizeF &pixelSize)
{
    const QPointF s = scale(r, pixelSize);
    return QPointF(s.x() > 0 ? (p.x() - r.x()) / s.x() : 0, s.y() > 0 ? (p.y() - r.y()) / s.y() : 0);
}

QPointF imageToView(const QPointF &p, const QRectF &r, const QSizeF &pixelSize)
{
    const QPointF s = scale(r, pixelSize);
    return QPointF(r.x() + p.x() * s.x(), r.y() + p.y() * s.y());
}

QRectF imageToView(const QRectF &rect, const QRectF &r, const QSizeF &pixelSize)
{
    const QPointF s = scale(r, pixelSize);
    return QRectF(imageToView(rect.topLeft(), r, pixelSize), QSizeF(rect.width() * s.x(), rect.height() * s.y()));
}

QTransform imageToViewTransform(const QRectF &r, const QSizeF &pixelSize)
{
    const QPointF s = scale(r, pixelSize);
    return QTransform(s.x(), 0, 0, s.y(), r.x(), r.y());
}

} // namespace CanvasMapping
