// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Result.h"

#include <QByteArray>
#include <QDateTime>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// File-system services. Paths are absolute path strings; every failure carries the
// platform's description of the error.
namespace FileSystem {

// The current user's home folder.
QString homeFolder();

// Replaces a leading "~" (alone or followed by "/") with the home folder.
QString expandTilde(const QString &path);

// $XDG_DATA_HOME/Pictrove (created on demand by callers that write there).
QString applicationDataFolder();

// Creates the folder and its missing parents; an existing folder is success.
Status createFolder(const QString &path);

// Names of all entries of the folder, hidden ones included, not recursive.
Result<QSet<QString>> listEntryNames(const QString &path);

struct WalkItem
{
    QString path;
    QDateTime created; // birth time where the file system has one, else the change time
    bool isDirectory = false;
};

// Visits every item below root (not root itself), hidden files and hidden folders skipped,
// symbolic links never followed. Only regular files and folders are visited: links, pipes,
// sockets and devices are left out. Entries of one folder come in byte order of their names.
// The visitor returns false to skip a folder's contents (only meaningful for folders) — it is
// called before the folder is entered. A root given as a symbolic link is followed.
void walk(const QString &root, const std::function<bool(const WalkItem &)> &visitor);

// Size in bytes of the item at path, without following a final symbolic link.
Result<quint64> itemSize(const QString &path);

// Whether any file-system object (a dangling symbolic link included) is at path.
bool exists(const QString &path);

// Moves source to destination. Fails when destination exists. Across file systems the data
// is copied to a temporary name beside the destination, synced, then linked into place
// without replacing, and only then is the source removed. On failure the source stays and
// no partial file is left.
Status move(const QString &source, const QString &destination);

// Moves the item to the freedesktop Trash (home trash, or the trash at the top of the
// item's mount; when that mount has no usable trash, a copy into the home trash by the same
// no-loss move). Returns the item's path inside the trash.
Result<QString> moveToTrash(const QString &path);

Result<QByteArray> readFile(const QString &path);

// Atomic: the old content is replaced whole, the data synced before the rename.
// Plain: written in place.
Status writeFile(const QString &path, const QByteArray &bytes, bool atomic);

// The file's ordered tag names from the user.xdg.tags attribute (UTF-8, joined by ",", empty
// parts skipped); an empty list when the file has none. Fails for a missing file or a file
// system without user attributes ("The file system does not support tags").
Result<QStringList> readTagNames(const QString &path);

// Replaces the file's tag names; empty names are dropped, and an empty list removes the
// attribute. Names are not escaped, so a name holding "," reads back as two names.
Status writeTagNames(const QString &path, const QStringList &names);

// Whether files at path can hold tags: false only when its file system refuses user extended
// attributes. Reads, never writes; an item that cannot be reached counts as able.
bool supportsTags(const QString &path);

} // namespace FileSystem
