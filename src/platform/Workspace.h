// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QUrl>

// Hands files and addresses to the desktop.
namespace Workspace {

// Shows the item selected in the file manager (org.freedesktop.FileManager1), falling back
// to opening its folder.
void reveal(const QString &path);

// Opens a file, folder or web address in its default application.
void open(const QUrl &url);

} // namespace Workspace
