// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileSystem.h"
#include "platform/FileSystemPrivate.h"

#include <algorithm>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace FileSystem {

namespace {

QDateTime fromStatx(const struct statx_timestamp &t)
{
    return QDateTime::fromMSecsSinceEpoch(qint64(t.tv_sec) * 1000 + t.tv_nsec / 1000000);
}

// Names of the folder's visible entries, sorted so that walks are repeatable.
std::vector<QByteArray> visibleNames(int folderFd)
{
    std::vector<QByteArray> names;
    const int listFd = ::dup(folderFd);
    if (listFd < 0) {
        return names;
    }
    DIR *dir = ::fdopendir(listFd);
    if (!dir) {
        ::close(listFd);
        return names;
    }
    while (const struct dirent *entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.') {
            continue; // hidden, and "." and ".."
        }
        names.emplace_back(entry->d_name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

void walkFolder(int folderFd, const QByteArray &folderPath, const std::function<bool(const WalkItem &)> &visitor)
{
    for (const QByteArray &name : visibleNames(folderFd)) {
        struct statx sx {};
        if (::statx(folderFd, name.constData(), AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT,
                    STATX_TYPE | STATX_BTIME | STATX_CTIME, &sx) != 0) {
            continue; // vanished since the listing
        }
        const bool isFolder = S_ISDIR(sx.stx_mode);
        // Links are never followed, and pipes, sockets and devices are not pictures: a reader
        // opening a pipe would wait for ever.
        if (!isFolder && !S_ISREG(sx.stx_mode)) {
            continue;
        }
        WalkItem item;
        item.path = detail::fromNative(folderPath + '/' + name);
        item.created = fromStatx((sx.stx_mask & STATX_BTIME) ? sx.stx_btime : sx.stx_ctime);
        item.isDirectory = isFolder;
        const bool descend = visitor(item);
        if (!isFolder || !descend) {
            continue;
        }
        const int childFd = ::openat(folderFd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (childFd < 0) {
            continue;
        }
        walkFolder(childFd, folderPath + '/' + name, visitor);
        ::close(childFd);
    }
}

} // namespace

void walk(const QString &root, const std::function<bool(const WalkItem &)> &visitor)
{
    QByteArray rootPath = detail::nativePath(root);
    while (rootPath.size() > 1 && rootPath.endsWith('/')) {
        rootPath.chop(1);
    }
    // The root itself may be a link (a library kept on another disk); only what lies below
    // it is never followed.
    const int rootFd = ::open(rootPath.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (rootFd < 0) {
        return;
    }
    walkFolder(rootFd, rootPath == "/" ? QByteArray() : rootPath, visitor);
    ::close(rootFd);
}

} // namespace FileSystem
