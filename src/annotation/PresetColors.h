// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QList>
#include <QString>

// The editor's colour swatches, and the system red new annotations start with.
namespace PresetColors {

struct Preset
{
    QString name;
    QColor color;
};

// Red, Orange, Yellow, Green, Blue, Black, White, in toolbar order; the five hues are the
// desktop palette's, so marks match the rest of a Linux desktop.
const QList<Preset> &all();
QColor systemRed();

// Whether two colours are the same swatch: red, green and blue in sRGB each differ by less
// than 0.01; alpha is ignored. An invalid colour matches nothing.
bool matches(const QColor &a, const QColor &b);

} // namespace PresetColors
