// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/shell/Launcher.h"

#include "app/shell/Desktop.h"
#include "app/shell/Headless.h"

#include <QtGlobal>

namespace Launcher {

int run(int argc, char **argv)
{
    const bool haveDisplay = !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (!haveDisplay) {
        return Headless::run(argc, argv);
    }
    return Desktop::run(argc, argv);
}

} // namespace Launcher
