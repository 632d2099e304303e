// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/ScreenshotRecord.h"

#include <QDateTime>
#include <QList>

// Which recent captures the tray panel lists: those of the last minutes, five at first and at
// most ten more behind the expander.
namespace RecentWindow {

inline constexpr int shownAtFirst = 5;
inline constexpr int shownAtMost = 15;

// Newest first as given; only those strictly later than now − minutes.
QList<ScreenshotRecord> inWindow(const QList<ScreenshotRecord> &recents, const QDateTime &now, qint64 minutes);
QList<ScreenshotRecord> visible(const QList<ScreenshotRecord> &inWindow);
QList<ScreenshotRecord> older(const QList<ScreenshotRecord> &inWindow);

} // namespace RecentWindow
