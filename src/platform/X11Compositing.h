// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Whether a compositing manager runs on the X display Qt uses: only then do translucent
// windows (rounded corners with a soft shadow) show as translucent rather than black.
namespace X11Compositing {

bool isActive();

} // namespace X11Compositing
