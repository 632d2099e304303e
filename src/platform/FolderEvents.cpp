// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/FolderEvents.h"

#include <QFile>

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QString errnoText(int err) { return QString::fromLocal8Bit(std::strerror(err)); }
} // namespace

FolderEvents::FolderEvents(const QString &folder)
{
    m_inotify = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_inotify < 0) {
        m_error = errnoText(errno);
        return;
    }
    // The watch keeps no file open in the folder, so its volume can still be unmounted.
    const uint32_t mask = IN_CREATE | IN_MOVED_TO | IN_CLOSE_WRITE | IN_DELETE | IN_MOVED_FROM | IN_ONLYDIR;
    if (::inotify_add_watch(m_inotify, QFile::encodeName(folder).constData(), mask) < 0) {
        m_error = errnoText(errno);
        ::close(m_inotify);
        m_inotify = -1;
        return;
    }
    m_wake = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (m_wake < 0) {
        m_error = errnoText(errno);
    }
}

FolderEvents::~FolderEvents()
{
    if (m_inotify >= 0) {
        ::close(m_inotify);
    }
    if (m_wake >= 0) {
        ::close(m_wake);
    }
}

FolderEvents::Wait FolderEvents::wait(int timeoutMs)
{
    std::array<pollfd, 2> fds{{{m_wake, POLLIN, 0}, {m_inotify, POLLIN, 0}}};
    for (;;) {
        const int n = ::poll(fds.data(), fds.size(), timeoutMs);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 || (fds[0].revents & POLLIN)) {
            return Wait::interrupted;
        }
        return n == 0 ? Wait::timeout : Wait::events;
    }
}

bool FolderEvents::sleep(int ms)
{
    pollfd fd{m_wake, POLLIN, 0};
    for (;;) {
        const int n = ::poll(&fd, 1, ms);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        return n == 0;
    }
}

std::vector<FolderEvents::Event> FolderEvents::take()
{
    std::vector<Event> events;
    alignas(inotify_event) char buffer[16 * 1024];
    for (;;) {
        const ssize_t len = ::read(m_inotify, buffer, sizeof buffer);
        if (len <= 0) {
            break;
        }
        for (ssize_t at = 0; at < len;) {
            const auto *e = reinterpret_cast<const inotify_event *>(buffer + at);
            at += ssize_t(sizeof(inotify_event) + e->len);
            if (e->mask & IN_Q_OVERFLOW) {
                events.push_back({Kind::overflow, {}, false});
                continue;
            }
            if (e->len == 0) {
                continue; // an event of the folder itself
            }
            const QString name = QFile::decodeName(e->name);
            if (e->mask & (IN_CREATE | IN_MOVED_TO)) {
                events.push_back({Kind::added, name, bool(e->mask & IN_MOVED_TO)});
            } else if (e->mask & (IN_DELETE | IN_MOVED_FROM)) {
                events.push_back({Kind::removed, name, false});
            } else if (e->mask & IN_CLOSE_WRITE) {
                events.push_back({Kind::closedAfterWrite, name, false});
            }
        }
    }
    return events;
}

void FolderEvents::interrupt()
{
    if (m_wake >= 0) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(m_wake, &one, sizeof one);
    }
}

FolderEvents::Entry FolderEvents::inspect(const QString &path)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0) {
        return {};
    }
    return {true, S_ISREG(st.st_mode), quint64(st.st_size)};
}

bool FolderEvents::hasImageEnd(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat st {};
    bool complete = false;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size >= 8) {
        unsigned char tail[8];
        if (::pread(fd, tail, sizeof tail, st.st_size - 8) == ssize_t(sizeof tail)) {
            // PNG: the IEND chunk's type and its fixed CRC; JPEG: the end-of-image marker.
            static const unsigned char iend[8] = {'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
            complete = std::memcmp(tail, iend, sizeof iend) == 0 || (tail[6] == 0xFF && tail[7] == 0xD9);
        }
    }
    ::close(fd);
    return complete;
}
