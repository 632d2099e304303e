// SPDX-License-Identifier: GPL-3.0-or-later
// The freedesktop.org Trash: a home trash under the data folder, and one trash at the top of
// every other mount, so that trashing stays a rename and never copies a file across disks.
#include "platform/FileSystem.h"
#include "platform/FileSystemPrivate.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileSystem {

namespace {

using namespace detail;

// Disk usage summed by nftw, which takes no context pointer; one per thread, so walks on
// different threads do not mix.
thread_local quint64 s_usage = 0;

// The longest file name most file systems take.
constexpr qsizetype maxNameBytes = 255;

QByteArray homeTrashFolder()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base)) {
        base = homeFolder() + QStringLiteral("/.local/share");
    }
    return nativePath(QDir::cleanPath(base + QStringLiteral("/Trash")));
}

// Which mount an item lies on. Mount ids tell bind mounts of one file system apart (a rename
// between them fails just as between disks); without them the device number has to do.
struct MountIdentity
{
    quint64 mountId = 0;
    quint64 device = 0;
    bool hasMountId = false;
    bool operator==(const MountIdentity &o) const
    {
        return device == o.device && (!hasMountId || !o.hasMountId || mountId == o.mountId);
    }
};

enum class Links { Keep, Follow };

bool mountOf(const QByteArray &path, MountIdentity &identity, Links links = Links::Keep)
{
    struct statx sx {};
    const int flags = AT_NO_AUTOMOUNT | (links == Links::Keep ? AT_SYMLINK_NOFOLLOW : 0);
    if (::statx(AT_FDCWD, path.constData(), flags, STATX_MNT_ID, &sx) != 0) {
        return false;
    }
    identity.device = (quint64(sx.stx_dev_major) << 32) | sx.stx_dev_minor;
    identity.hasMountId = (sx.stx_mask & STATX_MNT_ID) != 0;
    identity.mountId = sx.stx_mnt_id;
    return true;
}

// The mount's top folder: the highest ancestor of path still on the same mount.
QByteArray topFolderOf(const QByteArray &path, const MountIdentity &mount)
{
    QByteArray top = parentOf(path);
    while (top != "/") {
        const QByteArray up = parentOf(top);
        MountIdentity upMount;
        if (!mountOf(up, upMount) || !(upMount == mount)) {
            break;
        }
        top = up;
    }
    return top;
}

bool isOwnFolder(const QByteArray &path)
{
    struct stat st {};
    return ::lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid();
}

bool makeOwnFolder(const QByteArray &path)
{
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST) {
        return false;
    }
    return isOwnFolder(path);
}

bool prepareTrash(const QByteArray &trash)
{
    return makeOwnFolder(trash) && makeOwnFolder(trash + "/files") && makeOwnFolder(trash + "/info");
}

bool prepareHomeTrash(const QByteArray &trash)
{
    // The data folder may not exist yet on a fresh account.
    QDir().mkpath(fromNative(parentOf(trash)));
    ::mkdir(trash.constData(), 0700);
    // Unlike a shared disk's trash, the user's own may be a link to a folder of theirs.
    struct stat st {};
    if (::stat(trash.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) {
        return false;
    }
    return makeOwnFolder(trash + "/files") && makeOwnFolder(trash + "/info");
}

// $topdir/.Trash/$uid when an administrator set up a shared .Trash (a real folder with the
// sticky bit, so users cannot remove each other's), else $topdir/.Trash-$uid.
QByteArray topTrashFor(const QByteArray &top)
{
    const QByteArray base = top == "/" ? QByteArray() : top;
    const QByteArray uid = QByteArray::number(::geteuid());
    const QByteArray shared = base + "/.Trash";
    struct stat st {};
    if (::lstat(shared.constData(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX)) {
        const QByteArray own = shared + '/' + uid;
        if (prepareTrash(own)) {
            return own;
        }
    }
    const QByteArray own = base + "/.Trash-" + uid;
    if (prepareTrash(own)) {
        return own;
    }
    return {};
}

// Percent-encodes a path the way .trashinfo readers decode it: unreserved characters and
// "/" stay, every other byte becomes %XX.
QByteArray encodeTrashPath(const QByteArray &path) { return path.toPercentEncoding("/"); }

// Trims a name so that the numbered variants and ".trashinfo" still fit, without cutting a
// UTF-8 character in two.
QByteArray fittingName(const QByteArray &name)
{
    const qsizetype limit = maxNameBytes - qsizetype(sizeof(".trashinfo")) - 8;
    if (name.size() <= limit) {
        return name;
    }
    qsizetype cut = limit;
    while (cut > 0 && (uchar(name.at(cut)) & 0xC0) == 0x80) {
        --cut;
    }
    return name.left(cut);
}

// "shot.png", then "shot.2.png", "shot.3.png"...: the extension stays last so that file
// managers still know the type of what is in the trash.
QByteArray numberedName(const QByteArray &name, int n)
{
    if (n == 1) {
        return name;
    }
    const qsizetype dot = name.lastIndexOf('.');
    if (dot <= 0) {
        return name + '.' + QByteArray::number(n);
    }
    return name.left(dot) + '.' + QByteArray::number(n) + name.mid(dot);
}

bool writeAll(int fd, const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += n;
    }
    return true;
}

int addUsage(const char *, const struct stat *st, int, struct FTW *)
{
    s_usage += quint64(st->st_blocks) * 512;
    return 0;
}

// Adds a trashed folder to the trash's directorysizes cache, which lets file managers show the
// trash's size without walking it: "bytes on disk, info file's mtime, encoded name" a line.
// The cache is optional, so failures here are ignored.
void recordFolderSize(const QByteArray &trash, const QByteArray &trashName, const QByteArray &infoPath)
{
    struct stat info {};
    if (::stat(infoPath.constData(), &info) != 0) {
        return;
    }
    s_usage = 0;
    if (::nftw((trash + "/files/" + trashName).constData(), addUsage, 16, FTW_PHYS | FTW_MOUNT) != 0) {
        return;
    }
    const QByteArray encodedName = encodeTrashPath(trashName);
    const QByteArray cachePath = trash + "/directorysizes";
    QByteArray cache;
    QFile existing(fromNative(cachePath));
    if (existing.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : existing.readAll().split('\n')) {
            // A line left by an earlier entry of the same name is stale.
            if (!line.isEmpty() && line.split(' ').value(2) != encodedName) {
                cache += line + '\n';
            }
        }
    }
    cache += QByteArray::number(s_usage) + ' ' + QByteArray::number(qint64(info.st_mtim.tv_sec)) + ' ' + encodedName + '\n';
    // Replaced whole, as readers may look at any time.
    writeFile(fromNative(cachePath), cache, true);
}

enum class Transfer { Rename, MoveAcross };

Result<QString> trashFailure(const QString &path, const QString &why)
{
    return Result<QString>::failure(QStringLiteral("Could not move %1 to the trash: %2").arg(path, why));
}

// Claims a name in the trash by creating its info file exclusively, then moves the item in.
Result<QString> trashInto(const QByteArray &trash, const QByteArray &item, const QByteArray &recordedPath,
                          Transfer transfer, int *renameError = nullptr)
{
    const QString itemPath = fromNative(item);
    const QByteArray name = fittingName(nameOf(item));
    const QByteArray info = "[Trash Info]\nPath=" + encodeTrashPath(recordedPath) + "\nDeletionDate="
                            + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss")).toLatin1()
                            + '\n';
    for (int n = 1; n < 100000; ++n) {
        const QByteArray trashName = numberedName(name, n);
        const QByteArray infoPath = trash + "/info/" + trashName + ".trashinfo";
        const QByteArray filesPath = trash + "/files/" + trashName;
        const int fd = ::open(infoPath.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST) {
                continue;
            }
            return trashFailure(itemPath, errnoText(errno));
        }
        struct stat st {};
        if (::lstat(filesPath.constData(), &st) == 0) {
            // An entry without its info file: leave it alone and take another name.
            ::close(fd);
            ::unlink(infoPath.constData());
            continue;
        }
        const bool written = writeAll(fd, info) && ::fsync(fd) == 0;
        const int writeErr = errno;
        ::close(fd);
        if (!written) {
            ::unlink(infoPath.constData());
            return trashFailure(itemPath, errnoText(writeErr));
        }
        if (transfer == Transfer::Rename) {
            struct stat itemStat {};
            const bool folder = ::lstat(item.constData(), &itemStat) == 0 && S_ISDIR(itemStat.st_mode);
            const int err = renameWithoutReplacing(item, filesPath);
            if (err == 0) {
                if (folder) {
                    recordFolderSize(trash, trashName, infoPath);
                }
                return Result<QString>::success(fromNative(filesPath));
            }
            ::unlink(infoPath.constData());
            if (err == EEXIST) {
                continue;
            }
            if (renameError) {
                *renameError = err;
            }
            return trashFailure(itemPath, errnoText(err));
        }
        const Status moved = move(itemPath, fromNative(filesPath));
        if (moved) {
            return Result<QString>::success(fromNative(filesPath));
        }
        ::unlink(infoPath.constData());
        return trashFailure(itemPath, moved.error());
    }
    return trashFailure(itemPath, errnoText(EEXIST));
}

// The item's path with its folder's links resolved: a library reached through a link to
// another disk is trashed on that disk, and recorded relative to that disk's top.
QByteArray resolvedItemPath(const QString &path)
{
    const QByteArray absolute = nativePath(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    if (absolute == "/") {
        return absolute;
    }
    char *folder = ::realpath(parentOf(absolute).constData(), nullptr);
    if (!folder) {
        return absolute;
    }
    QByteArray resolved(folder);
    std::free(folder);
    return (resolved == "/" ? QByteArray() : resolved) + '/' + nameOf(absolute);
}

} // namespace

Result<QString> moveToTrash(const QString &path)
{
    const QByteArray item = resolvedItemPath(path);
    if (item == "/") {
        return trashFailure(path, errnoText(EBUSY));
    }
    MountIdentity itemMount;
    if (!mountOf(item, itemMount)) {
        return trashFailure(path, errnoText(errno));
    }

    // Where the home trash's files really end up, the trash folder being a link included.
    const QByteArray homeTrash = homeTrashFolder();
    QByteArray existingHomeAncestor = homeTrash;
    MountIdentity homeMount;
    while (!mountOf(existingHomeAncestor, homeMount, Links::Follow) && existingHomeAncestor != "/") {
        existingHomeAncestor = parentOf(existingHomeAncestor);
    }

    if (homeMount == itemMount) {
        if (!prepareHomeTrash(homeTrash)) {
            return trashFailure(path, QStringLiteral("the trash folder %1 cannot be used").arg(fromNative(homeTrash)));
        }
        int renameError = 0;
        const Result<QString> trashed = trashInto(homeTrash, item, item, Transfer::Rename, &renameError);
        if (trashed || renameError != EXDEV) {
            return trashed;
        }
        return trashInto(homeTrash, item, item, Transfer::MoveAcross);
    }

    const QByteArray top = topFolderOf(item, itemMount);
    const QByteArray topTrash = topTrashFor(top);
    if (!topTrash.isEmpty()) {
        // Top-folder trashes record the path relative to the top, so a disk mounted elsewhere
        // next time still restores to the right place.
        const QByteArray relative = top == "/" ? item.mid(1) : item.mid(top.size() + 1);
        int renameError = 0;
        const Result<QString> trashed = trashInto(topTrash, item, relative, Transfer::Rename, &renameError);
        if (trashed || renameError != EXDEV) {
            return trashed;
        }
    }
    // The item's own disk has no usable trash (read-only top, foreign owner): copy it into the
    // home trash with the same no-loss move as everywhere else.
    if (!prepareHomeTrash(homeTrash)) {
        return trashFailure(path, QStringLiteral("the trash folder %1 cannot be used").arg(fromNative(homeTrash)));
    }
    return trashInto(homeTrash, item, item, Transfer::MoveAcross);
}

} // namespace FileSystem
