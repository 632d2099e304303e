// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FileSystem.h"
#include "platform/FileSystemPrivate.h"

#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <vector>

namespace FileSystem {

namespace detail {

int renameWithoutReplacing(const QByteArray &from, const QByteArray &to)
{
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    int err = errno;
    if (err != EINVAL && err != ENOSYS && err != EOPNOTSUPP) {
        return err;
    }
    // The file system has no no-replace rename. A hard link claims the name atomically.
    struct stat st {};
    if (::lstat(from.constData(), &st) != 0) {
        return errno;
    }
    const bool folder = S_ISDIR(st.st_mode);
    if (!folder) {
        if (::link(from.constData(), to.constData()) == 0) {
            ::unlink(from.constData());
            return 0;
        }
        err = errno;
        if (err != EPERM && err != EOPNOTSUPP && err != ENOSYS && err != EMLINK) {
            return err;
        }
    }
    // No hard links either: claim the name with an exclusive placeholder, then replace only
    // that placeholder.
    if (folder) {
        if (::mkdir(to.constData(), 0700) != 0) {
            return errno;
        }
    } else {
        const int fd = ::open(to.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
        if (fd < 0) {
            return errno;
        }
        ::close(fd);
    }
    if (::rename(from.constData(), to.constData()) == 0) {
        return 0;
    }
    err = errno;
    if (folder) {
        ::rmdir(to.constData());
    } else {
        ::unlink(to.constData());
    }
    return err;
}

} // namespace detail

namespace {

using namespace detail;

class FileDescriptor
{
public:
    explicit FileDescriptor(int fd = -1) : m_fd(fd) {}
    ~FileDescriptor() { reset(); }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    void reset(int fd = -1)
    {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
        m_fd = fd;
    }

private:
    int m_fd;
};

Status moveFailure(const QString &source, const QString &destination, const QString &why)
{
    return Status::failure(QStringLiteral("Could not move %1 to %2: %3").arg(source, destination, why));
}

// Copies all bytes of in to out; returns 0 or an errno value.
int copyContents(int in, int out)
{
    // copy_file_range lets the kernel copy without a trip through user space; between
    // different file systems it often refuses, and then a plain loop does the work.
    for (;;) {
        const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, size_t(1) << 30, 0);
        if (n == 0) {
            return 0;
        }
        if (n > 0) {
            continue;
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP || errno == EBADF) {
            break;
        }
        return errno;
    }
    std::vector<char> buffer(size_t(1) << 20);
    for (;;) {
        const ssize_t got = ::read(in, buffer.data(), buffer.size());
        if (got == 0) {
            return 0;
        }
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        ssize_t done = 0;
        while (done < got) {
            const ssize_t put = ::write(out, buffer.data() + done, size_t(got - done));
            if (put < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return errno;
            }
            done += put;
        }
    }
}

// Carries the user attributes (the file's tags among them) over to the copy. A destination
// that cannot hold them must not stop the move.
void copyUserAttributes(int in, int out)
{
    const ssize_t listSize = ::flistxattr(in, nullptr, 0);
    if (listSize <= 0) {
        return;
    }
    std::vector<char> names(size_t(listSize) + 1, '\0');
    const ssize_t got = ::flistxattr(in, names.data(), names.size() - 1);
    if (got <= 0) {
        return;
    }
    for (const char *name = names.data(); name < names.data() + got; name += std::strlen(name) + 1) {
        if (std::strncmp(name, "user.", 5) != 0) {
            continue;
        }
        const ssize_t size = ::fgetxattr(in, name, nullptr, 0);
        if (size < 0) {
            continue;
        }
        std::vector<char> value(size_t(size) + 1);
        const ssize_t read = ::fgetxattr(in, name, value.data(), value.size());
        if (read >= 0) {
            ::fsetxattr(out, name, value.data(), size_t(read), 0);
        }
    }
}

// A fresh file in folder that nobody else can see or take: an unnamed O_TMPFILE where the
// file system has it (a crash then leaves nothing behind), else an exclusive hidden name.
struct TemporaryFile
{
    FileDescriptor fd;
    QByteArray path; // empty for an unnamed file
};

int createTemporary(const QByteArray &folder, const QByteArray &name, Staging staging, TemporaryFile &temporary)
{
    static const bool procAvailable = ::access("/proc/self/fd", X_OK) == 0;
    if (procAvailable && staging == Staging::Automatic) {
        const int fd = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        if (fd >= 0) {
            temporary.fd.reset(fd);
            return 0;
        }
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
            return errno;
        }
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray candidate = folder + "/." + name.left(200) + "."
                                     + QByteArray::number(QRandomGenerator::global()->generate(), 36) + ".part";
        const int fd = ::open(candidate.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
        if (fd >= 0) {
            temporary.fd.reset(fd);
            temporary.path = candidate;
            return 0;
        }
        if (errno != EEXIST) {
            return errno;
        }
    }
    return EEXIST;
}

// Gives the finished temporary file its final name without replacing anything there.
int placeTemporary(const TemporaryFile &temporary, const QByteArray &destination)
{
    if (temporary.path.isEmpty()) {
        const QByteArray procPath = "/proc/self/fd/" + QByteArray::number(temporary.fd.get());
        if (::linkat(AT_FDCWD, procPath.constData(), AT_FDCWD, destination.constData(), AT_SYMLINK_FOLLOW) != 0) {
            return errno;
        }
        return 0;
    }
    return renameWithoutReplacing(temporary.path, destination);
}

// Undoes a copy whose source could not be removed, so the move fails as a whole.
Status failAfterCopy(const QByteArray &destination, const QString &source, const QString &target, int err)
{
    ::unlink(destination.constData());
    syncFolder(parentOf(destination));
    return moveFailure(source, target, QStringLiteral("the original could not be removed (%1)").arg(errnoText(err)));
}

Status moveLinkAcross(const QByteArray &src, const QByteArray &dst, const QString &source, const QString &destination)
{
    std::vector<char> target(PATH_MAX + 1);
    const ssize_t n = ::readlink(src.constData(), target.data(), target.size() - 1);
    if (n < 0) {
        return moveFailure(source, destination, errnoText(errno));
    }
    target[size_t(n)] = '\0';
    if (::symlink(target.data(), dst.constData()) != 0) {
        return moveFailure(source, destination, errnoText(errno));
    }
    syncFolder(parentOf(dst));
    if (::unlink(src.constData()) != 0) {
        return failAfterCopy(dst, source, destination, errno);
    }
    return Status::success();
}

} // namespace

Status detail::moveAcrossFileSystems(const QString &source, const QString &destination, Staging staging)
{
    const QByteArray src = nativePath(source);
    const QByteArray dst = nativePath(destination);
    struct stat st {};
    if (::lstat(src.constData(), &st) != 0) {
        return moveFailure(source, destination, errnoText(errno));
    }
    if (S_ISDIR(st.st_mode)) {
        return moveFailure(source, destination, QStringLiteral("a folder cannot be moved to another file system"));
    }
    // Refuse early rather than copy the whole file to find out at the end.
    struct stat existing {};
    if (::lstat(dst.constData(), &existing) == 0) {
        return moveFailure(source, destination, errnoText(EEXIST));
    }
    if (S_ISLNK(st.st_mode)) {
        return moveLinkAcross(src, dst, source, destination);
    }
    if (!S_ISREG(st.st_mode)) {
        return moveFailure(source, destination, QStringLiteral("only files can be moved to another file system"));
    }

    FileDescriptor in(::open(src.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (!in.valid()) {
        return moveFailure(source, destination, errnoText(errno));
    }
    TemporaryFile temporary;
    if (const int err = createTemporary(parentOf(dst), nameOf(dst), staging, temporary)) {
        return moveFailure(source, destination, errnoText(err));
    }
    const auto discard = [&](int err) {
        if (!temporary.path.isEmpty()) {
            ::unlink(temporary.path.constData());
        }
        return moveFailure(source, destination, errnoText(err));
    };
    const int out = temporary.fd.get();
    if (const int err = copyContents(in.get(), out)) {
        return discard(err);
    }
    copyUserAttributes(in.get(), out);
    if (::geteuid() == 0) {
        // Only the superuser can give the copy the original owner; set before the mode,
        // because a change of owner clears the set-user-ID bits.
        [[maybe_unused]] const int ignored = ::fchown(out, st.st_uid, st.st_gid);
    }
    ::fchmod(out, st.st_mode & 07777);
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    ::futimens(out, times);
    // The data must be on disk before the name appears, or a crash could leave a name over
    // missing data while the original is already gone.
    if (::fsync(out) != 0) {
        return discard(errno);
    }
    if (const int err = placeTemporary(temporary, dst)) {
        return discard(err);
    }
    temporary.fd.reset();
    syncFolder(parentOf(dst));
    if (::unlink(src.constData()) != 0) {
        return failAfterCopy(dst, source, destination, errno);
    }
    // The source folder is not synced: should a crash undo the removal, the file exists twice,
    // which loses nothing, and the sync would cost a journal commit on every move.
    return Status::success();
}

Status move(const QString &source, const QString &destination)
{
    const int err = renameWithoutReplacing(nativePath(source), nativePath(destination));
    if (err == 0) {
        return Status::success();
    }
    if (err == EXDEV) {
        return moveAcrossFileSystems(source, destination, Staging::Automatic);
    }
    return moveFailure(source, destination, errnoText(err));
}

} // namespace FileSystem
