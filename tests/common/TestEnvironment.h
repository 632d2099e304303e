// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace TestEnvironment {

// The temporary folder that stands in for the user's home during this test process.
QString home();

// Creates a fresh folder below the temporary home and returns its path.
QString makeFolder(const QString &name);

// Writes bytes to a file (creating folders) and returns its path.
QString writeFile(const QString &path, const QByteArray &bytes);

} // namespace TestEnvironment
