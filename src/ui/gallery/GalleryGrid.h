// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSize>

// The adaptive grid of cards: as many columns as fit at the narrowest card width, sharing
// the width, no card wider than the widest.
struct GalleryGrid
{
    static constexpr int minCardWidth = 200;
    static constexpr int maxCardWidth = 280;
    static constexpr int spacing = 12;
    static constexpr int padding = 12;
    static constexpr int thumbnailHeight = 140;

    int columns = 1;
    int cardWidth = minCardWidth;

    // For a viewport this wide (padding included).
    static GalleryGrid forWidth(int viewportWidth);
    // One grid cell: a card and half the spacing on each side.
    QSize cell(int cardHeight) const { return QSize(cardWidth + spacing, cardHeight + spacing); }
};
