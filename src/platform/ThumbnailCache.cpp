// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ThumbnailCache.h"

#include "platform/FileSystemPrivate.h"
#include "platform/FreedesktopThumbnailCache.h"

#include <sys/stat.h>

namespace {

class NoThumbnailCache : public ThumbnailCache
{
public:
    QImage find(const Source &) const override { return QImage(); }
    Status store(const Source &, const QImage &) const override { return Status::success(); }
    int storedSize() const override { return 0; }
};

} // namespace

std::optional<ThumbnailCache::Source> ThumbnailCache::source(const QString &path)
{
    struct stat st {};
    if (::stat(FileSystem::detail::nativePath(path).constData(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return std::nullopt;
    }
    return Source{path, FreedesktopThumbnailCache::fileUri(path), qint64(st.st_mtim.tv_sec), qint64(st.st_size)};
}

Status ThumbnailCache::storeFrom(const Source &source, const QImage &picture) const
{
    const int side = storedSize();
    if (side <= 0) {
        return Status::success();
    }
    if (qMax(picture.width(), picture.height()) <= side) {
        return store(source, picture);
    }
    return store(source, picture.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

std::unique_ptr<ThumbnailCache> ThumbnailCache::freedesktop()
{
    return std::make_unique<FreedesktopThumbnailCache>(FreedesktopThumbnailCache::defaultRoot());
}

std::unique_ptr<ThumbnailCache> ThumbnailCache::none() { return std::make_unique<NoThumbnailCache>(); }
