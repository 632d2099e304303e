// SPDX-License-Identifier: GPL-3.0-or-later
#include "annotation/Annotation.h"

Annotation::Annotation(AnnotationTool tool, const QRectF &rect, const QColor &color, double strokeWidth,
                       std::optional<QString> text, std::optional<qint64> stepNumber,
                       std::optional<QPointF> arrowStart, std::optional<QPointF> arrowEnd, double fontSize)
    : rect(rect), color(color), strokeWidth(strokeWidth), text(std::move(text)), stepNumber(stepNumber),
      arrowStart(arrowStart), arrowEnd(arrowEnd), fontSize(fontSize), m_id(QUuid::createUuid()), m_tool(tool)
{
}

bool operator==(const Annotation &a, const Annotation &b)
{
    return a.m_id == b.m_id && a.m_tool == b.m_tool && a.rect == b.rect && a.color == b.color &&
           a.strokeWidth == b.strokeWidth && a.text == b.text && a.stepNumber == b.stepNumber &&
           a.arrowStart == b.arrowStart && a.arrowEnd == b.arrowEnd && a.fontSize == b.fontSize;
}
