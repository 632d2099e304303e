// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/gallery/GalleryGrid.h"

#include <algorithm>

GalleryGrid GalleryGrid::forWidth(int viewportWidth)
{
    const int available = std::max(minCardWidth, viewportWidth - 2 * padding);
    GalleryGrid g;
    g.columns = std::max(1, (available + spacing) / (minCardWidth + spacing));
    g.cardWidth = std::min(maxCardWidth, (available - (g.columns - 1) * spacing) / g.columns);
    return g;
}
