// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The tray application.
namespace Desktop {

// A display to show windows on: X11 or Wayland.
bool haveDisplay();
// Picks the toolkit's platform plugin before the application object exists.
void choosePlatform();

int run(int argc, char **argv);

} // namespace Desktop
