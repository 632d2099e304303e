// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "annotation/Annotation.h"

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QTransform>

class QPainter;

// Draws annotations. One drawing function serves the editor's canvas and the export, so what
// the user sees is what is saved.
namespace AnnotationRenderer {

struct Target
{
    // Maps image pixels to the painter's coordinates: the canvas's image-to-view mapping, or
    // the identity for the export.
    QTransform imageToTarget;
    // Line widths and font sizes are multiplied by it: 1 on the canvas, the image's pixels per
    // point in the export.
    double unit = 1;
    // The screenshot as loaded; pixelation samples it, never the annotated output.
    const QImage *source = nullptr;
    // The export works on the image's own pixel grid. A redaction or pixelation whose edge falls
    // inside a pixel takes the whole pixel, so no partly covered pixel keeps a trace of what
    // was there; a badge is an exact circle.
    bool isExport = false;

    static Target canvas(const QTransform &imageToView, const QImage *source);
    static Target exportImage(const QImage &source);
};

void drawAnnotation(QPainter &painter, const Annotation &annotation, const Target &target);

// Canvas only: the dashed highlight with corner handles around the selected annotation.
void drawSelection(QPainter &painter, const Annotation &annotation, const QTransform &imageToView,
                   const QColor &accent);

// Canvas only: the shape being dragged with the tool, from origin to current (view points).
void drawDragPreview(QPainter &painter, AnnotationTool tool, const QColor &color, double strokeWidth,
                     const QPointF &origin, const QPointF &current);

// The image's pixel rectangle that the pixelation of rect samples: rect rounded outward to
// whole pixels and clipped to the image. Empty when nothing of it lies on the image.
QRect pixelationRegion(const QRectF &rect, const QSize &imageSize);

// The 8 × 8 cells of a pixelation, row by row: one source pixel each, nearest-neighbour.
QImage pixelationTile(const QImage &source, const QRect &region);

} // namespace AnnotationRenderer
