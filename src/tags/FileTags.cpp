// SPDX-License-Identifier: GPL-3.0-or-later
#include "tags/FileTags.h"

#include "platform/FileSystem.h"

#include <cstdio>

namespace FileTags {

namespace {

// These two messages are the file-tag failures; they carry no product prefix.
void printLine(const QString &message)
{
    QByteArray bytes = message.toUtf8();
    bytes.replace('\n', ' ');
    bytes.append('\n');
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

} // namespace

Result<QStringList> tryReadTags(const QString &path) { return FileSystem::readTagNames(path); }

Status tryWriteTags(const QString &path, const QStringList &names)
{
    // The attribute joins names with "," and skips empty parts when read, so such names
    // would come back split or lost; refusing keeps the file's tags as they were.
    for (const QString &name : names) {
        if (name.contains(QLatin1Char(','))) {
            return Status::failure(QStringLiteral("the tag name \"%1\" contains a comma, which file tags cannot hold").arg(name));
        }
        if (name.isEmpty()) {
            return Status::failure(QStringLiteral("a tag name cannot be empty"));
        }
    }
    return FileSystem::writeTagNames(path, names);
}

QStringList readTags(const QString &path)
{
    Result<QStringList> names = tryReadTags(path);
    if (!names) {
        printLine(QStringLiteral("Failed to read tags for %1: %2").arg(path, names.error()));
        return {};
    }
    return names.value();
}

void setTags(const QString &path, const QStringList &names)
{
    const Status status = tryWriteTags(path, names);
    if (!status) {
        printLine(QStringLiteral("Failed to set tags for %1: %2").arg(path, status.error()));
    }
}

} // namespace FileTags
