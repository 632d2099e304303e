// SPDX-License-Identifier: GPL-3.0-or-later
#include "annotation/RedactionMarks.h"

namespace RedactionMarks {

AnnotationTool toolForStyle(const QString &style)
{
    return style == QLatin1String("black") ? AnnotationTool::redact : AnnotationTool::blur;
}

QList<Annotation> make(const QList<QRectF> &rects, const QString &style)
{
    const AnnotationTool tool = toolForStyle(style);
    QList<Annotation> marks;
    marks.reserve(rects.size());
    for (const QRectF &r : rects) {
        marks.append(Annotation(tool, r, QColor(Qt::black), 1));
    }
    return marks;
}

} // namespace RedactionMarks
