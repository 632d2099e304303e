// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/shell/Commands.h"

#include <cstdio>

namespace Commands {

int tag(const QStringList &)
{
    std::fputs("pictrove: tag is not available in this build\n", stderr);
    return 2;
}

} // namespace Commands
