// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/NotificationCenter.h"
#include "shell/Commands.h"
#include "shell/WindowCommand.h"

#include <cstdio>

namespace Commands {

int preferences(const QStringList &args)
{
    if (!args.isEmpty()) {
        std::fputs("usage: pictrove preferences\n", stderr);
        return 2;
    }
    return WindowCommand::open(NotificationCenter::openPreferences, {});
}

} // namespace Commands
