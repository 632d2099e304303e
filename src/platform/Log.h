// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace Log {

// Prints "Pictrove: " + message as one line on standard output and flushes it,
// so lines from several threads never interleave.
void line(const QString &message);

} // namespace Log
