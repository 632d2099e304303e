// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Runs Pictrove without a sub-command: the tray application on a desktop, the headless
// capture pipeline where there is no display.
namespace Launcher {

int run(int argc, char **argv);

} // namespace Launcher
