// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/PopoverGeometry.h"

#include <algorithm>

namespace PopoverGeometry {

QSize contentSize(const QSize &fitting)
{
    return QSize(std::max(280, fitting.width()), std::min(520, std::max(100, fitting.height())));
}

QPoint placement(const QPoint &pointer, const QSize &size, const QRect &available)
{
    // Centred under the pointer; a panel at the bottom of the screen opens upwards.
    int x = pointer.x() - size.width() / 2;
    int y = pointer.y() + 4;
    if (y + size.height() > available.y() + available.height()) {
        y = pointer.y() - 4 - size.height();
    }
    x = std::clamp(x, available.x(), std::max(available.x(), available.x() + available.width() - size.width()));
    y = std::clamp(y, available.y(), std::max(available.y(), available.y() + available.height() - size.height()));
    return QPoint(x, y);
}

} // namespace PopoverGeometry
