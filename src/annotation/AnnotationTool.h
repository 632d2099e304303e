// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

// The tool that made an annotation. The raw values are stable strings; the order of the
// cases is the order of the toolbar.
enum class AnnotationTool {
    cursor,
    rectangle,
    ellipse,
    arrow,
    text,
    stepNumber,
    blur,
    redact,
};

namespace AnnotationTools {

// Every tool, in toolbar order.
const QList<AnnotationTool> &all();

QString rawValue(AnnotationTool tool);
// Only the raw values name a tool: "circle" (a display name) gives nothing.
std::optional<AnnotationTool> fromRawValue(QStringView raw);

// Label under the toolbar icon and its hover help.
QString displayName(AnnotationTool tool);
// The symbol the tool is known by; iconName gives the freedesktop icon-theme name drawn for it.
QString symbolName(AnnotationTool tool);
QString iconName(AnnotationTool tool);

} // namespace AnnotationTools
