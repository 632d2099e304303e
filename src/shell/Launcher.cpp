// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/Launcher.h"

#include "shell/Desktop.h"
#include "shell/Headless.h"

#include <QtGlobal>

namespace Launcher {

int run(int argc, char **argv)
{
    if (!Desktop::haveDisplay()) {
        return Headless::run(argc, argv);
    }
    return Desktop::run(argc, argv);
}

} // namespace Launcher
