// SPDX-License-Identifier: GPL-3.0-or-later
// Interim implementations, replaced by the full platform layer.
#include "platform/FileSystem.h"
#include "platform/Workspace.h"

#include <QDesktopServices>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <cstdio>
#include <fcntl.h>

namespace FileSystem {

void walk(const QString &root, const std::function<bool(const WalkItem &)> &visitor)
{
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo fi = it.fileInfo();
        if (fi.isSymLink()) {
            continue;
        }
        visitor({fi.absoluteFilePath(), fi.birthTime().isValid() ? fi.birthTime() : fi.metadataChangeTime(), fi.isDir()});
    }
}

Status move(const QString &source, const QString &destination)
{
    if (::renameat2(AT_FDCWD, QFile::encodeName(source).constData(), AT_FDCWD,
                    QFile::encodeName(destination).constData(), RENAME_NOREPLACE) != 0) {
        return Status::failure(QString::fromLocal8Bit(std::strerror(errno)));
    }
    return Status::success();
}

Result<QString> moveToTrash(const QString &path)
{
    QString inTrash;
    if (!QFile::moveToTrash(path, &inTrash)) {
        return Result<QString>::failure(QStringLiteral("Could not move %1 to the trash").arg(path));
    }
    return Result<QString>::success(inTrash);
}

Result<QStringList> readTagNames(const QString &)
{
    return Result<QStringList>::failure(QStringLiteral("File tags are not available yet"));
}

Status writeTagNames(const QString &, const QStringList &)
{
    return Status::failure(QStringLiteral("File tags are not available yet"));
}

} // namespace FileSystem

namespace Workspace {
void reveal(const QString &path) { QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absolutePath())); }
void open(const QUrl &url) { QDesktopServices::openUrl(url); }
} // namespace Workspace
