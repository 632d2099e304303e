// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "annotation/AnnotationTool.h"

#include <QColor>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QUuid>

#include <optional>

// One mark on a screenshot. Geometry is in pixels of the screenshot's bitmap, origin at the
// top-left, never clipped to the image. Identity and tool are fixed when it is made.
class Annotation
{
public:
    // Every annotation made gets a fresh random id.
    Annotation(AnnotationTool tool, const QRectF &rect, const QColor &color, double strokeWidth,
               std::optional<QString> text = std::nullopt, std::optional<qint64> stepNumber = std::nullopt,
               std::optional<QPointF> arrowStart = std::nullopt, std::optional<QPointF> arrowEnd = std::nullopt,
               double fontSize = 16);

    QUuid id() const { return m_id; }
    AnnotationTool tool() const { return m_tool; }

    QRectF rect;
    QColor color;
    double strokeWidth;
    std::optional<QString> text;
    std::optional<qint64> stepNumber;
    std::optional<QPointF> arrowStart;
    std::optional<QPointF> arrowEnd;
    double fontSize;

    friend bool operator==(const Annotation &a, const Annotation &b);

private:
    QUuid m_id;
    AnnotationTool m_tool;
};
