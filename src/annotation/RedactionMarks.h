// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "annotation/Annotation.h"

#include <QList>
#include <QRectF>
#include <QString>

// The marks that cover detected personal information: the same for the thumbnail's redact
// action, the editor's automatic redaction and `pictrove redact`.
namespace RedactionMarks {

// "black" (exactly) gives solid boxes; every other style pixelates.
AnnotationTool toolForStyle(const QString &style);

// One mark per rectangle, in order, each over the rectangle as detected (not clipped).
QList<Annotation> make(const QList<QRectF> &rects, const QString &style);

} // namespace RedactionMarks
