// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FreedesktopThumbnailCache.h"

#include "platform/FileSystemPrivate.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The sizes of the standard: large 256, x-large 512, xx-large 1024.
const FreedesktopThumbnailCache::Folder large{"large", 256};
const FreedesktopThumbnailCache::Folder xLarge{"x-large", 512};
const FreedesktopThumbnailCache::Folder xxLarge{"xx-large", 1024};

// Qt's PNG quality for zlib's fastest level: a third quicker to write than the default and
// under a tenth larger, for files read far more often than written.
constexpr int fastCompression = 80;

bool keptUnescaped(unsigned char c)
{
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
        return true;
    }
    static const QByteArray marks("!$&'()*+,-./:=@_~");
    return marks.contains(char(c));
}

// Creates the folder and the missing ones above it with owner-only access, as the standard
// asks of the thumbnail folders.
Status makePrivateFolder(const QString &path)
{
    if (QFileInfo(path).isDir()) {
        return Status::success();
    }
    const QString parent = QFileInfo(path).absolutePath();
    if (parent != path) {
        if (Status s = makePrivateFolder(parent); !s) {
            return s;
        }
    }
    if (::mkdir(FileSystem::detail::nativePath(path).constData(), 0700) != 0 && errno != EEXIST) {
        return Status::failure(FileSystem::detail::errnoText(errno));
    }
    return Status::success();
}

// Written under a private temporary name beside the target, then renamed over it: a reader
// never sees half a PNG, and the picture is never readable by others.
Status writePrivately(const QString &path, const QByteArray &bytes)
{
    QByteArray temp = FileSystem::detail::nativePath(path) + ".XXXXXX";
    const int fd = ::mkstemp(temp.data()); // mode 0600
    if (fd < 0) {
        return Status::failure(FileSystem::detail::errnoText(errno));
    }
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            const int err = n < 0 ? errno : EIO;
            ::close(fd);
            ::unlink(temp.constData());
            return Status::failure(FileSystem::detail::errnoText(err));
        }
        done += n;
    }
    if (::close(fd) != 0 || ::rename(temp.constData(), FileSystem::detail::nativePath(path).constData()) != 0) {
        const int err = errno;
        ::unlink(temp.constData());
        return Status::failure(FileSystem::detail::errnoText(err));
    }
    return Status::success();
}

} // namespace

const QList<FreedesktopThumbnailCache::Folder> &FreedesktopThumbnailCache::readFolders()
{
    static const QList<Folder> folders{xLarge, xxLarge, large};
    return folders;
}

const QList<FreedesktopThumbnailCache::Folder> &FreedesktopThumbnailCache::writtenFolders()
{
    static const QList<Folder> folders{xLarge, large};
    return folders;
}

FreedesktopThumbnailCache::FreedesktopThumbnailCache(const QString &root) : m_root(root) {}

QString FreedesktopThumbnailCache::defaultRoot()
{
    QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (cache.isEmpty() || !QDir::isAbsolutePath(cache)) {
        cache = QDir::homePath() + QStringLiteral("/.cache");
    }
    return cache + QStringLiteral("/thumbnails");
}

QByteArray FreedesktopThumbnailCache::fileUri(const QString &path)
{
    const QByteArray native = FileSystem::detail::nativePath(QDir::cleanPath(path));
    QByteArray uri("file://");
    uri.reserve(native.size() * 3 / 2 + 8);
    static const char hex[] = "0123456789ABCDEF";
    for (const char ch : native) {
        const auto c = static_cast<unsigned char>(ch);
        if (keptUnescaped(c)) {
            uri += ch;
        } else {
            uri += '%';
            uri += hex[c >> 4];
            uri += hex[c & 0xf];
        }
    }
    return uri;
}

QString FreedesktopThumbnailCache::fileName(const QByteArray &uri)
{
    return QString::fromLatin1(QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex()) + QStringLiteral(".png");
}

QString FreedesktopThumbnailCache::pathFor(const Folder &folder, const QByteArray &uri) const
{
    return m_root + QLatin1Char('/') + QLatin1String(folder.name) + QLatin1Char('/') + fileName(uri);
}

QImage FreedesktopThumbnailCache::find(const Source &source) const
{
    for (const Folder &folder : readFolders()) {
        QImageReader reader(pathFor(folder, source.uri), "png");
        QImage image = reader.read();
        if (image.isNull()) {
            continue;
        }
        // Text chunks may follow the pixels, so the keys are checked on the decoded image.
        if (image.text(QStringLiteral("Thumb::URI")).toUtf8() != source.uri) {
            continue;
        }
        bool ok = false;
        if (image.text(QStringLiteral("Thumb::MTime")).trimmed().toLongLong(&ok) != source.mtime || !ok) {
            continue;
        }
        const QString size = image.text(QStringLiteral("Thumb::Size")).trimmed();
        if (!size.isEmpty() && size.toLongLong() != source.size) {
            continue;
        }
        return image;
    }
    return QImage();
}

Status FreedesktopThumbnailCache::store(const Source &source, const QImage &thumbnail) const
{
    if (thumbnail.isNull()) {
        return Status::failure(QStringLiteral("no thumbnail"));
    }
    for (const Folder &folder : writtenFolders()) {
        QImage image = qMax(thumbnail.width(), thumbnail.height()) > folder.size
            ? thumbnail.scaled(folder.size, folder.size, Qt::KeepAspectRatio, Qt::SmoothTransformation)
            : thumbnail;
        image.setText(QStringLiteral("Thumb::URI"), QString::fromLatin1(source.uri));
        image.setText(QStringLiteral("Thumb::MTime"), QString::number(source.mtime));
        image.setText(QStringLiteral("Thumb::Size"), QString::number(source.size));
        image.setText(QStringLiteral("Software"), QStringLiteral("Pictrove"));
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "png");
        writer.setQuality(fastCompression);
        if (!writer.write(image)) {
            return Status::failure(writer.errorString());
        }
        const QString path = pathFor(folder, source.uri);
        if (Status s = makePrivateFolder(QFileInfo(path).absolutePath()); !s) {
            return s;
        }
        if (Status s = writePrivately(path, bytes); !s) {
            return s;
        }
    }
    return Status::success();
}
