// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

// Sizes, positions and pointer thresholds of the floating thumbnails, in logical pixels with
// y growing downwards (Qt's screen coordinates).
namespace ThumbnailGeometry {

inline constexpr int maxPreviewSide = 200;
inline constexpr int frameWidth = 6;   // around the preview
inline constexpr int edgeMargin = 16;  // from the right and bottom of the visible area
inline constexpr int offscreenGap = 10; // beyond the right edge before sliding in
inline constexpr int stackSpacing = 8;
inline constexpr int maxPanels = 5;

// Longer side at most 200, never enlarged, each side rounded up; 16 × 9 without an image.
QSize previewSize(const QSize &imageSize);
QSize panelSize(const QSize &previewSize);

// For each panel in stack order, the sum of the heights before it plus 8 each.
QList<int> stackOffsets(const QList<int> &heights);

// Top-left of a panel resting at the stack offset, and of the same panel off the right edge.
QPoint restingPosition(const QRect &visibleArea, const QSize &panel, int stackOffset);
QPoint offscreenPosition(const QRect &visibleArea, const QSize &panel, int stackOffset);

enum class Gesture { None, Swipe, Drag };
// What the first drag event more than 5 away from the press means.
Gesture classifyDrag(const QPointF &delta);
// A release closer than 5 to the press is a click.
bool isClick(const QPointF &delta);

} // namespace ThumbnailGeometry
