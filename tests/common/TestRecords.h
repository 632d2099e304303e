// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/ScreenshotRecord.h"

// A filed capture as the tests hand it to windows: only what a test names differs.
namespace TestRecords {

inline ScreenshotRecord record(const QString &path, const QString &app = QStringLiteral("XTerm"),
                               const QDateTime &time = QDateTime::currentDateTime())
{
    ScreenshotRecord r;
    r.id = QUuid::createUuid();
    r.originalURL = r.movedURL = path;
    r.appName = app;
    r.timestamp = time;
    return r;
}

} // namespace TestRecords
