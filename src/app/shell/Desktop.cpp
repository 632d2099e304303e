// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/shell/Desktop.h"

#include "app/shell/Headless.h"
#include "platform/Log.h"

namespace Desktop {

int run(int argc, char **argv)
{
    Log::line(QStringLiteral("The tray application is not available in this build; running headless"));
    return Headless::run(argc, argv);
}

} // namespace Desktop
