// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// SHA-256 of a file's bytes as 64 lower-case hex digits.
namespace ContentHash {

// None when the file cannot be read.
std::optional<QString> ofFile(const QString &path);
QString ofBytes(const QByteArray &bytes);

} // namespace ContentHash
