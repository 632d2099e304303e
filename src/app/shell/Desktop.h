// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The tray application.
namespace Desktop {

int run(int argc, char **argv);

} // namespace Desktop
