// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/TemporaryMount.h"

#include <QFile>

#include <memory>

#include <unistd.h>

// Makes an existing folder read-only for the life of the object: by its permission bits, or,
// for root, who writes through those, by a read-only bind mount over it.
class ReadOnlyFolder
{
public:
    explicit ReadOnlyFolder(const QString &folder) : m_folder(folder)
    {
        if (::geteuid() == 0) {
            m_mount = TemporaryMount::bindReadOnly(folder);
        } else {
            m_byPermissions = QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        }
    }
    ~ReadOnlyFolder()
    {
        if (m_byPermissions) {
            QFile::setPermissions(m_folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        }
    }
    ReadOnlyFolder(const ReadOnlyFolder &) = delete;
    ReadOnlyFolder &operator=(const ReadOnlyFolder &) = delete;

    // False when root may not mount here; the test then skips with skipMessage().
    bool ok() const { return m_byPermissions || m_mount; }
    static QString skipMessage() { return "SKIP: running as root without the right to mount a read-only folder"; }

private:
    QString m_folder;
    std::unique_ptr<TemporaryMount> m_mount;
    bool m_byPermissions = false;
};
