// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

// When an existing screenshot was taken, for files filed after the fact.
namespace ImportDate {

// The local date and time a file name carries, as the desktops' screenshot tools write
// them: "Screenshot 2024-03-05 at 9.07.09 PM.png", "Screenshot from 2024-03-05 14-07-09.png",
// "Screenshot_20240305_140709.png" and the like. None when the name carries no valid one.
std::optional<QDateTime> fromName(const QString &fileName);

// The name's date and time, else the file's modification time.
QDateTime forFile(const QString &path);

} // namespace ImportDate
