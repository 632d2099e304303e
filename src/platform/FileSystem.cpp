// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileSystem.h"
#include "platform/FileSystemPrivate.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileSystem {

namespace detail {

QString errnoText(int err) { return QString::fromLocal8Bit(std::strerror(err)); }

QByteArray parentOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash <= 0) {
        return QByteArrayLiteral("/");
    }
    return path.left(slash);
}

QByteArray nameOf(const QByteArray &path) { return path.mid(path.lastIndexOf('/') + 1); }

void syncFolder(const QByteArray &folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace detail

using detail::errnoText;

QString homeFolder() { return QDir::homePath(); }

QString expandTilde(const QString &path)
{
    if (path == QLatin1String("~")) {
        return homeFolder();
    }
    if (path.startsWith(QLatin1String("~/"))) {
        return homeFolder() + path.mid(1);
    }
    return path;
}

QString applicationDataFolder()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base)) {
        base = homeFolder() + QStringLiteral("/.local/share");
    }
    return base + QStringLiteral("/Pictrove");
}

Status createFolder(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    if (::stat(native.constData(), &st) == 0 && S_ISDIR(st.st_mode)) {
        return Status::success();
    }
    if (QDir().mkpath(path)) {
        return Status::success();
    }
    const int err = errno;
    return Status::failure(QStringLiteral("Could not create folder %1: %2").arg(path, errnoText(err ? err : EACCES)));
}

Result<QSet<QString>> listEntryNames(const QString &path)
{
    // readdir without sorting or a stat per entry: the watcher lists its folder after every
    // change, and a folder of ten thousand old screenshots must stay cheap.
    DIR *dir = ::opendir(QFile::encodeName(path).constData());
    if (!dir) {
        return Result<QSet<QString>>::failure(QStringLiteral("Could not list %1: %2").arg(path, errnoText(errno)));
    }
    QList<QString> found;
    while (const dirent *entry = ::readdir(dir)) {
        const char *name = entry->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) {
            continue;
        }
        found.append(QFile::decodeName(name));
    }
    ::closedir(dir);
    // Sized once, not grown entry by entry.
    QSet<QString> names;
    names.reserve(found.size());
    for (QString &name : found) {
        names.insert(std::move(name));
    }
    return Result<QSet<QString>>::success(std::move(names));
}

Result<quint64> itemSize(const QString &path)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0) {
        return Result<quint64>::failure(errnoText(errno));
    }
    return Result<quint64>::success(quint64(st.st_size));
}

bool exists(const QString &path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

Result<QByteArray> readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return Result<QByteArray>::failure(f.errorString());
    }
    return Result<QByteArray>::success(f.readAll());
}

Status writeFile(const QString &path, const QByteArray &bytes, bool atomic)
{
    if (atomic) {
        QSaveFile f(path);
        if (!f.open(QIODevice::WriteOnly)) {
            return Status::failure(f.errorString());
        }
        if (f.write(bytes) != bytes.size()) {
            return Status::failure(f.errorString());
        }
        // QSaveFile syncs the data before renaming it into place (fdatasync in commit).
        if (!f.commit()) {
            return Status::failure(f.errorString());
        }
        // The rename itself lives in the folder: sync it too, so the new content survives a crash.
        detail::syncFolder(detail::parentOf(detail::nativePath(QFileInfo(path).absoluteFilePath())));
        return Status::success();
    }
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return Status::failure(f.errorString());
    }
    if (f.write(bytes) != bytes.size()) {
        return Status::failure(f.errorString());
    }
    return Status::success();
}

} // namespace FileSystem
