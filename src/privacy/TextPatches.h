// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>

// Text on a patch unlike the page around it (a photo, a coloured message bubble, a banner) is
// lost by the recogniser's one threshold for the whole screen, light text on a darker photo
// most of all. Each such patch is redrawn as dark text on white from its own background.
namespace TextPatches {

// grey: Format_Grayscale8 with the page's text dark on light; page: the page's background
// level. Returns the number of patches redrawn.
int evenOut(QImage &grey, int page);

} // namespace TextPatches
