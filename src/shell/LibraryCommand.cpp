// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/NotificationCenter.h"
#include "shell/Commands.h"
#include "shell/WindowCommand.h"

#include <cstdio>

namespace Commands {

// pictrove library [QUERY]: the words of the query are joined by spaces; "--" ends options,
// so that a query may begin with a dash.
int library(const QStringList &args)
{
    QStringList words = args;
    if (!words.isEmpty() && words.first() == QLatin1String("--")) {
        words.removeFirst();
    } else if (!words.isEmpty() && words.first().startsWith(QLatin1String("--"))) {
        std::fprintf(stderr, "pictrove: library: unknown option \"%s\"\n", words.first().toLocal8Bit().constData());
        return 2;
    }
    QVariantMap info;
    if (!words.isEmpty()) {
        info.insert(QStringLiteral("query"), words.join(QLatin1Char(' ')));
    }
    return WindowCommand::open(NotificationCenter::openGallery, info);
}

} // namespace Commands
