// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Result.h"

#include <QString>
#include <QStringList>

// The tag names stored on files, shared with the desktop's file manager. Names are kept in
// order; a name cannot contain "," (the separator on disk) and cannot be empty.
namespace FileTags {

// The file's tag names; an empty list when it has none. Fails for a missing file or a file
// system without user attributes.
Result<QStringList> tryReadTags(const QString &path);

// Replaces the file's tag names (an empty list removes them). Refuses, writing nothing, a
// list holding a name that the attribute cannot keep intact.
Status tryWriteTags(const QString &path, const QStringList &names);

// As tryReadTags, but a failure is logged as "Failed to read tags for PATH: ERROR" and
// reads as no tags.
QStringList readTags(const QString &path);

// As tryWriteTags, but a failure is only logged, as "Failed to set tags for PATH: ERROR".
void setTags(const QString &path, const QStringList &names);

} // namespace FileTags
