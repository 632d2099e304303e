// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Size and place of the tray panel's popover.
namespace PopoverGeometry {

// Width at least 280; height between 100 and 520.
QSize contentSize(const QSize &fitting);

// Tray icons tell no position, so the popover opens at the pointer, below and to the left of it
// when it is near the right edge, and always wholly inside the screen's available area.
QPoint placement(const QPoint &pointer, const QSize &size, const QRect &available);

} // namespace PopoverGeometry
