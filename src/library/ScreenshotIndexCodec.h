// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "library/ScreenshotIndexEntry.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <optional>

// The index file's JSON: one object from path to entry; compact; date-times as seconds
// since 2001-01-01 00:00:00 UTC; rectangles as [[x,y],[w,h]]; "/" written as "\/";
// "contentHash" left out when absent. Reading accepts any valid JSON of that shape.
namespace ScreenshotIndexCodec {

using Entries = QHash<QString, ScreenshotIndexEntry>;

QByteArray encode(const Entries &entries);

// None when the bytes are not valid JSON of the index's shape; error says where.
std::optional<Entries> decode(QByteArray bytes, QString *error = nullptr);

// Seconds since 2001-01-01 00:00:00 UTC, and back.
double toReferenceSeconds(const QDateTime &moment);
QDateTime fromReferenceSeconds(double seconds);

} // namespace ScreenshotIndexCodec
