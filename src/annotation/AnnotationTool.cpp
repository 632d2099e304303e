// SPDX-License-Identifier: GPL-3.0-or-later
#include "annotation/AnnotationTool.h"

#include <array>

namespace AnnotationTools {

namespace {

struct ToolInfo
{
    AnnotationTool tool;
    const char *raw;
    const char *displayName;
    const char *symbol;
    const char *icon; // freedesktop icon-theme name; the toolbar draws its own icon when the theme lacks it
};

// One row per tool, in declaration order, so a new tool is added in one place.
constexpr std::array<ToolInfo, 8> kTools = {{
    {AnnotationTool::cursor, "cursor", "Select", "cursorarrow", "edit-select"},
    {AnnotationTool::rectangle, "rectangle", "Rectangle", "rectangle", "draw-rectangle"},
    {AnnotationTool::ellipse, "ellipse", "Circle", "circle", "draw-ellipse"},
    {AnnotationTool::arrow, "arrow", "Arrow", "arrow.up.right", "draw-arrow"},
    {AnnotationTool::text, "text", "Text", "textformat", "draw-text"},
    {AnnotationTool::stepNumber, "stepNumber", "Step #", "number.circle", "draw-number"},
    {AnnotationTool::blur, "blur", "Blur", "eye.slash", "view-hidden"},
    {AnnotationTool::redact, "redact", "Redact", "rectangle.fill", "draw-rectangle-filled"},
}};

const ToolInfo &info(AnnotationTool tool)
{
    return kTools[static_cast<std::size_t>(tool)];
}

} // namespace

const QList<AnnotationTool> &all()
{
    static const QList<AnnotationTool> tools = [] {
        QList<AnnotationTool> list;
        for (const ToolInfo &t : kTools) {
            list.append(t.tool);
        }
        return list;
    }();
    return tools;
}

QString rawValue(AnnotationTool tool)
{
    return QString::fromLatin1(info(tool).raw);
}

std::optional<AnnotationTool> fromRawValue(QStringView raw)
{
    for (const ToolInfo &t : kTools) {
        if (raw == QLatin1String(t.raw)) {
            return t.tool;
        }
    }
    return std::nullopt;
}

QString displayName(AnnotationTool tool)
{
    return QString::fromUtf8(info(tool).displayName);
}

QString symbolName(AnnotationTool tool)
{
    return QString::fromLatin1(info(tool).symbol);
}

QString iconName(AnnotationTool tool)
{
    return QString::fromLatin1(info(tool).icon);
}

} // namespace AnnotationTools
