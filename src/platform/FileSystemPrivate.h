// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include "platform/Result.h"

// Helpers shared by the file-system services; not for use outside src/platform.
namespace FileSystem::detail {

QString errnoText(int err);

inline QByteArray nativePath(const QString &path) { return QFile::encodeName(path); }
inline QString fromNative(const QByteArray &path) { return QFile::decodeName(path); }

// The folder holding path ("/" for items at the top); path is absolute and clean.
QByteArray parentOf(const QByteArray &path);
// The last component of path.
QByteArray nameOf(const QByteArray &path);

// Makes a folder's entries durable. Errors are ignored: some file systems cannot sync folders.
void syncFolder(const QByteArray &folder);

// Renames from to to unless something is at to; returns 0 or an errno value (EEXIST when
// taken, EXDEV across file systems). Works on file systems without RENAME_NOREPLACE too.
int renameWithoutReplacing(const QByteArray &from, const QByteArray &to);

// How a move across file systems stages its copy: unnamed (O_TMPFILE) where the file system
// offers it, else under an exclusive hidden name. Tests force the named path.
enum class Staging { Automatic, Named };

// The copying half of FileSystem::move, for a source and destination on different file systems.
Status moveAcrossFileSystems(const QString &source, const QString &destination, Staging staging);

} // namespace FileSystem::detail
