// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>

#include <optional>

class QPainter;
class QRectF;

// The small monochrome symbols the surfaces show, drawn here so that they look the same under
// every icon theme (or none).
class Symbols
{
public:
    enum class Symbol {
        CameraViewfinder,
        PinFill,
        ExclamationShield,
        ExclamationTriangle,
        MagnifyingGlass,
        PauseCircle,
        PlayCircle,
        Gear,
        Grid2x2,
        Folder,
        Power,
        Photo,
        Pencil,
        ChevronDown,
        ChevronUp,
        // The annotation editor's tools and commands.
        CursorArrow,
        Rectangle,
        Circle,
        ArrowUpRight,
        TextFormat,
        NumberCircle,
        EyeSlash,
        RectangleFill,
        LineWeight,
        TextFormatSize,
        Trash,
        UndoArrow,
        RedoArrow,
        ShieldSlash,
        ShieldHalfFilled,
        StarFill,
        Clock,
        Tag,
        PlusCircleFill,
        XmarkCircleFill,
        // The library window's card and toolbar commands.
        ArrowClockwise,
        PhotoOnRectangle,
        DocOnDoc,
        // The preferences window's tabs.
        InternalDrive,
        InfoCircle,
    };

    // Draws the symbol in the square rect with the colour; `accent` fills the inside of two-tone
    // symbols (the shield), invalid for one colour.
    static void paint(QPainter &p, Symbol s, const QRectF &rect, const QColor &color, const QColor &accent = QColor());
    static QPixmap pixmap(Symbol s, int size, const QColor &color, qreal devicePixelRatio = 1.0,
                          const QColor &accent = QColor());
    static QIcon icon(Symbol s, const QColor &color);
    // The symbol known by a platform symbol name ("trash", "arrow.uturn.backward", ...).
    static std::optional<Symbol> named(const QString &symbolName);
    // The freedesktop icon-theme name that stands for the symbol; empty when there is none.
    static QString themeName(Symbol s);
    // The icon theme's icon for the symbol when the theme has one, else our own drawing.
    static QIcon themedIcon(Symbol s, const QColor &color);
    // The application's own icon: a camera viewfinder in a rounded square.
    static QIcon applicationIcon();
};
