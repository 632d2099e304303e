// SPDX-License-Identifier: GPL-3.0-or-later
#include "annotation/AnnotationRenderer.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace AnnotationRenderer {

namespace {

constexpr int kCells = 8;

QRect outward(const QRectF &r)
{
    const QRectF n = r.normalized();
    const int left = int(std::floor(n.left()));
    const int top = int(std::floor(n.top()));
    const int right = int(std::ceil(n.right()));
    const int bottom = int(std::ceil(n.bottom()));
    return QRect(left, top, right - left, bottom - top);
}

// The system font at a size in the painter's units (pixels of the device). Qt sizes fonts in
// points of the device's resolution, so convert with it; a size in whole pixels would round
// badge digits.
QFont sizedFont(double size, QFont::Weight weight, const QPaintDevice *device)
{
    QFont font = QGuiApplication::font();
    font.setWeight(weight);
    const int dpi = device ? device->logicalDpiY() : 72;
    font.setPointSizeF(size * 72.0 / (dpi > 0 ? dpi : 72));
    return font;
}

// Dash lengths in painter units; Qt counts them in pen widths.
QPen dashedPen(const QColor &color, double width, double on, double off)
{
    QPen pen(color, width, Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
    const double unit = width > 0 ? width : 1;
    pen.setDashPattern({on / unit, off / unit});
    return pen;
}

void drawArrow(QPainter &painter, const QPointF &s, const QPointF &e, const QColor &color, double width, double unit)
{
    const double dx = e.x() - s.x();
    const double dy = e.y() - s.y();
    const double angle = (dx == 0 && dy == 0) ? 0 : std::atan2(dy, dx);
    const double head = std::max(15 * unit, 5 * width);
    const auto back = [&](double a) { return e - head * QPointF(std::cos(a), std::sin(a)); };
    constexpr double spread = std::numbers::pi / 6;

    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    // The shaft stops where the head begins.
    painter.drawLine(s, back(angle));
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawPolygon(QPolygonF{e, back(angle - spread), back(angle + spread)}, Qt::WindingFill);
}

void drawText(QPainter &painter, const Annotation &a, const Target &t)
{
    if (!a.text || a.text->isEmpty()) {
        return;
    }
    const double u = t.unit;
    const QPointF anchor = t.imageToTarget.map(a.rect.topLeft());
    const QFont font = sizedFont(a.fontSize * u, QFont::DemiBold, painter.device());
    const QRectF ink = QFontMetricsF(font, painter.device()).tightBoundingRect(*a.text);

    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor::fromRgbF(0, 0, 0, 0.5));
    painter.drawRoundedRect(QRectF(anchor.x() - 4 * u, anchor.y() - 4 * u, ink.width() + 8 * u, ink.height() + 8 * u),
                            4 * u, 4 * u);
    painter.setFont(font);
    painter.setPen(a.color.isValid() ? a.color : QColor(Qt::red));
    // The text hangs below the anchor: its baseline lies one ink height down.
    painter.drawText(QPointF(anchor.x(), anchor.y() + ink.height()), *a.text);
}

void drawStepBadge(QPainter &painter, const Annotation &a, const Target &t)
{
    if (!a.stepNumber) {
        return;
    }
    const QRectF r = t.imageToTarget.mapRect(a.rect.normalized());
    const QPointF c = r.center();
    const double radius = r.width() / 2;
    const QRectF circle = t.isExport ? QRectF(c.x() - radius, c.y() - radius, 2 * radius, 2 * radius) : r;

    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(a.color);
    painter.drawEllipse(circle);
    painter.setPen(QPen(Qt::white, 2 * t.unit));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(circle);
    if (!(radius > 0)) {
        return;
    }
    const QString digits = QString::number(*a.stepNumber);
    const QFont font = sizedFont(1.2 * radius, QFont::Bold, painter.device());
    const QRectF ink = QFontMetricsF(font, painter.device()).tightBoundingRect(digits);
    painter.setFont(font);
    painter.setPen(Qt::white);
    // Put the centre of the digits' ink on the centre of the badge.
    painter.drawText(QPointF(c.x() - ink.width() / 2 - ink.x(), c.y() - ink.center().y()), digits);
}

void drawPixelation(QPainter &painter, const Annotation &a, const Target &t)
{
    if (!t.source || t.source->isNull()) {
        return;
    }
    const QRect region = pixelationRegion(a.rect, t.source->size());
    if (region.isEmpty()) {
        return;
    }
    const QImage tile = pixelationTile(*t.source, region);
    const QRectF r = t.isExport ? QRectF(outward(a.rect)) : t.imageToTarget.mapRect(a.rect.normalized());
    painter.setRenderHint(QPainter::Antialiasing, false);
    // Cell edges are computed from the whole rectangle so neighbouring blocks share them exactly.
    const auto edge = [](double start, double length, int i) { return start + length * i / kCells; };
    for (int y = 0; y < kCells; ++y) {
        const double top = edge(r.y(), r.height(), y);
        const double bottom = edge(r.y(), r.height(), y + 1);
        for (int x = 0; x < kCells; ++x) {
            const double left = edge(r.x(), r.width(), x);
            const double right = edge(r.x(), r.width(), x + 1);
            painter.fillRect(QRectF(left, top, right - left, bottom - top), QColor::fromRgba(tile.pixel(x, y)));
        }
    }
}

void drawRedaction(QPainter &painter, const Annotation &a, const Target &t)
{
    const QRectF r = t.isExport ? QRectF(outward(a.rect)) : t.imageToTarget.mapRect(a.rect.normalized());
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(r, Qt::black);
}

} // namespace

Target Target::canvas(const QTransform &imageToView, const QImage *source)
{
    return Target{imageToView, 1.0, source, false};
}

Target Target::exportImage(const QImage &source)
{
    return Target{QTransform(), source.devicePixelRatio(), &source, true};
}

QRect pixelationRegion(const QRectF &rect, const QSize &imageSize)
{
    return outward(rect).intersected(QRect(QPoint(0, 0), imageSize));
}

QImage pixelationTile(const QImage &source, const QRect &region)
{
    QImage tile(kCells, kCells, QImage::Format_ARGB32);
    // Each cell takes the pixel at the centre of its share of the region.
    const auto sample = [](int start, int length, int i) {
        return start + std::min(length - 1, int((i + 0.5) * length / kCells));
    };
    for (int y = 0; y < kCells; ++y) {
        const int sy = sample(region.y(), region.height(), y);
        for (int x = 0; x < kCells; ++x) {
            tile.setPixel(x, y, source.pixel(sample(region.x(), region.width(), x), sy));
        }
    }
    return tile;
}

void drawAnnotation(QPainter &painter, const Annotation &a, const Target &t)
{
    const double w = a.strokeWidth * t.unit;
    painter.save();
    switch (a.tool()) {
    case AnnotationTool::cursor:
        break;
    case AnnotationTool::rectangle:
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(a.color, w, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(t.imageToTarget.mapRect(a.rect.normalized()));
        break;
    case AnnotationTool::ellipse:
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(a.color, w));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(t.imageToTarget.mapRect(a.rect.normalized()));
        break;
    case AnnotationTool::arrow:
        if (a.arrowStart && a.arrowEnd) {
            drawArrow(painter, t.imageToTarget.map(*a.arrowStart), t.imageToTarget.map(*a.arrowEnd), a.color, w,
                      t.unit);
        }
        break;
    case AnnotationTool::text:
        drawText(painter, a, t);
        break;
    case AnnotationTool::stepNumber:
        drawStepBadge(painter, a, t);
        break;
    case AnnotationTool::blur:
        drawPixelation(painter, a, t);
        break;
    case AnnotationTool::redact:
        drawRedaction(painter, a, t);
        break;
    }
    painter.restore();
}

void drawSelection(QPainter &painter, const Annotation &a, const QTransform &imageToView, const QColor &accent)
{
    QRectF box = (a.tool() == AnnotationTool::arrow && a.arrowStart && a.arrowEnd)
                     ? QRectF(imageToView.map(*a.arrowStart), imageToView.map(*a.arrowEnd)).normalized()
                     : imageToView.mapRect(a.rect.normalized());
    box.adjust(-4, -4, 4, 4);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(dashedPen(accent, 1.5, 5, 3));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box);
    for (const QPointF &corner : {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()}) {
        painter.fillRect(QRectF(corner.x() - 3, corner.y() - 3, 6, 6), accent);
    }
    painter.restore();
}

void drawDragPreview(QPainter &painter, AnnotationTool tool, const QColor &color, double strokeWidth,
                     const QPointF &origin, const QPointF &current)
{
    const QRectF q(std::min(origin.x(), current.x()), std::min(origin.y(), current.y()),
                   std::abs(current.x() - origin.x()), std::abs(current.y() - origin.y()));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    switch (tool) {
    case AnnotationTool::rectangle:
        painter.setPen(dashedPen(color, strokeWidth, 6, 3));
        painter.drawRect(q);
        break;
    case AnnotationTool::ellipse:
        painter.setPen(dashedPen(color, strokeWidth, 6, 3));
        painter.drawEllipse(q);
        break;
    case AnnotationTool::arrow:
        drawArrow(painter, origin, current, color, strokeWidth, 1);
        break;
    case AnnotationTool::blur:
        painter.setPen(dashedPen(QColor::fromRgbF(0.5, 0.5, 0.5, 0.8), 1, 4, 4));
        painter.drawRect(q);
        painter.fillRect(q, QColor::fromRgbF(0.5, 0.5, 0.5, 0.2));
        break;
    case AnnotationTool::redact:
        painter.setPen(dashedPen(QColor::fromRgbF(0, 0, 0, 0.9), 1, 4, 4));
        painter.drawRect(q);
        painter.fillRect(q, QColor::fromRgbF(0, 0, 0, 0.6));
        break;
    case AnnotationTool::cursor:
    case AnnotationTool::text:
    case AnnotationTool::stepNumber:
        break;
    }
    painter.restore();
}

} // namespace AnnotationRenderer
