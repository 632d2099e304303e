// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>

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
        XmarkCircleFill,
        ArrowClockwise,
        PhotoOnRectangle,
        Tag,
        DocOnDoc,
        Trash,
    };

    // Draws the symbol in the square rect with the colour; `accent` fills the inside of two-tone
    // symbols (the shield), invalid for one colour.
    static void paint(QPainter &p, Symbol s, const QRectF &rect, const QColor &color, const QColor &accent = QColor());
    static QPixmap pixmap(Symbol s, int size, const QColor &color, qreal devicePixelRatio = 1.0,
                          const QColor &accent = QColor());
    static QIcon icon(Symbol s, const QColor &color);
    // The application's own icon: a camera viewfinder in a rounded square.
    static QIcon applicationIcon();
};
