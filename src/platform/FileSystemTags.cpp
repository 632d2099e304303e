// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileSystem.h"
#include "platform/FileSystemPrivate.h"

#include <cerrno>
#include <sys/xattr.h>

namespace FileSystem {

namespace {

// The attribute file managers of the free desktops read and write: UTF-8 names joined by
// commas, without escaping.
constexpr const char *tagsAttribute = "user.xdg.tags";

QString tagError(int err)
{
    if (err == ENOTSUP) {
        return QStringLiteral("The file system does not support tags");
    }
    return detail::errnoText(err);
}

} // namespace

Result<QStringList> readTagNames(const QString &path)
{
    const QByteArray native = detail::nativePath(path);
    QByteArray value;
    // The value may grow between asking for its size and reading it: ask again then.
    for (int attempt = 0; attempt < 5; ++attempt) {
        const ssize_t size = ::getxattr(native.constData(), tagsAttribute, nullptr, 0);
        if (size < 0) {
            if (errno == ENODATA) {
                return Result<QStringList>::success({});
            }
            return Result<QStringList>::failure(tagError(errno));
        }
        value.resize(size);
        const ssize_t got = ::getxattr(native.constData(), tagsAttribute, value.data(), size_t(value.size()));
        if (got >= 0) {
            value.truncate(got);
            return Result<QStringList>::success(QString::fromUtf8(value).split(QLatin1Char(','), Qt::SkipEmptyParts));
        }
        if (errno == ENODATA) {
            return Result<QStringList>::success({});
        }
        if (errno != ERANGE) {
            return Result<QStringList>::failure(tagError(errno));
        }
    }
    return Result<QStringList>::failure(tagError(ERANGE));
}

Status writeTagNames(const QString &path, const QStringList &names)
{
    const QByteArray native = detail::nativePath(path);
    QStringList kept;
    for (const QString &name : names) {
        if (!name.isEmpty()) {
            kept.append(name);
        }
    }
    if (kept.isEmpty()) {
        if (::removexattr(native.constData(), tagsAttribute) == 0 || errno == ENODATA) {
            return Status::success();
        }
        return Status::failure(tagError(errno));
    }
    const QByteArray value = kept.join(QLatin1Char(',')).toUtf8();
    if (::setxattr(native.constData(), tagsAttribute, value.constData(), size_t(value.size()), 0) != 0) {
        return Status::failure(tagError(errno));
    }
    return Status::success();
}

bool supportsTags(const QString &path)
{
    const QByteArray native = detail::nativePath(path);
    return ::getxattr(native.constData(), tagsAttribute, nullptr, 0) >= 0 || errno != ENOTSUP;
}

} // namespace FileSystem
