// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The capture pipeline without windows, for machines without a display.
namespace Headless {

int run(int argc, char **argv);

} // namespace Headless
