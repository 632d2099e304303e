// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/shell/Headless.h"

#include "platform/Log.h"

#include <QCoreApplication>

namespace Headless {

int run(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    Log::line(QStringLiteral("Running headless: the capture pipeline is not available in this build"));
    return 0;
}

} // namespace Headless
