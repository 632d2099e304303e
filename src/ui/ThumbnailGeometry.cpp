// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ThumbnailGeometry.h"

#include <QtMath>

#include <algorithm>
#include <cmath>

namespace ThumbnailGeometry {

QSize previewSize(const QSize &imageSize)
{
    if (imageSize.isEmpty()) {
        return QSize(16, 9);
    }
    const qreal factor = std::min(1.0, qreal(maxPreviewSide) / std::max(imageSize.width(), imageSize.height()));
    return QSize(int(std::ceil(imageSize.width() * factor)), int(std::ceil(imageSize.height() * factor)));
}

QSize panelSize(const QSize &preview) { return preview + QSize(2 * frameWidth, 2 * frameWidth); }

QList<int> stackOffsets(const QList<int> &heights)
{
    QList<int> offsets;
    int sum = 0;
    for (int h : heights) {
        offsets.append(sum);
        sum += h + stackSpacing;
    }
    return offsets;
}

QPoint restingPosition(const QRect &visible, const QSize &panel, int stackOffset)
{
    const int right = visible.x() + visible.width();
    const int bottom = visible.y() + visible.height();
    return QPoint(right - panel.width() - edgeMargin, bottom - edgeMargin - stackOffset - panel.height());
}

QPoint offscreenPosition(const QRect &visible, const QSize &panel, int stackOffset)
{
    return QPoint(visible.x() + visible.width() + offscreenGap, restingPosition(visible, panel, stackOffset).y());
}

Gesture classifyDrag(const QPointF &d)
{
    if (std::hypot(d.x(), d.y()) <= 5.0) {
        return Gesture::None;
    }
    // Screen y grows downwards here, but only its size matters.
    return (d.x() > 30.0 && d.x() > std::abs(d.y())) ? Gesture::Swipe : Gesture::Drag;
}

bool isClick(const QPointF &d) { return std::hypot(d.x(), d.y()) < 5.0; }

} // namespace ThumbnailGeometry
