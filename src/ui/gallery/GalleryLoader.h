// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "library/ScreenshotIndex.h"
#include "ui/gallery/GalleryItem.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// Builds the library window's list from the folder on disk and a copy of the index. Runs on
// any thread: it reads only its arguments and the file system.
namespace GalleryLoader {

// The picture extensions the library shows, compared lower-cased.
bool isPicture(const QString &path);

// The application a file belongs to by its place under root: the first folder, past an
// "Archive" folder at the top; "Unknown" for a file directly in root or in "Archive".
QString appNameFromPath(const QString &root, const QString &path);

// Tag names stored on a file, for files the index has no tags for.
using TagReader = std::function<QStringList(const QString &path)>;

// Every picture below root (hidden items skipped, links not followed), with what the index
// knows about it, newest first. A missing or unreadable root gives an empty list.
QList<GalleryItem> load(const QString &root, const ScreenshotIndex::Entries &entries, const TagReader &readTags);

// The file's own tags through FileTags; a failure is logged once per distinct error for the
// reader's lifetime (one load), not once per file, and reads as no tags.
TagReader fileTagReader();

} // namespace GalleryLoader
