// SPDX-License-Identifier: GPL-3.0-or-later
#include "annotation/PresetColors.h"

#include <cmath>

namespace PresetColors {

const QList<Preset> &all()
{
    static const QList<Preset> presets = {
        {QStringLiteral("Red"), QColor(0xe0, 0x1b, 0x24)},
        {QStringLiteral("Orange"), QColor(0xff, 0x78, 0x00)},
        {QStringLiteral("Yellow"), QColor(0xf6, 0xd3, 0x2d)},
        {QStringLiteral("Green"), QColor(0x33, 0xd1, 0x7a)},
        {QStringLiteral("Blue"), QColor(0x35, 0x84, 0xe4)},
        {QStringLiteral("Black"), QColor(Qt::black)},
        {QStringLiteral("White"), QColor(Qt::white)},
    };
    return presets;
}

QColor systemRed()
{
    return all().first().color;
}

bool matches(const QColor &a, const QColor &b)
{
    if (!a.isValid() || !b.isValid()) {
        return false;
    }
    const QColor x = a.toRgb(), y = b.toRgb();
    return std::abs(x.redF() - y.redF()) < 0.01 && std::abs(x.greenF() - y.greenF()) < 0.01 &&
           std::abs(x.blueF() - y.blueF()) < 0.01;
}

} // namespace PresetColors
