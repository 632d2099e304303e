// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ReadOnlyFolder.h"

#include <QFile>

#include <unistd.h>

ReadOnlyFolder::ReadOnlyFolder(const QString &folder) : m_folder(folder)
{
    if (::geteuid() == 0) {
        m_mount = TemporaryMount::bindReadOnly(folder);
        m_ok = m_mount != nullptr;
    } else {
        m_byPermissions = QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        m_ok = m_byPermissions;
    }
}

ReadOnlyFolder::~ReadOnlyFolder()
{
    if (m_byPermissions) {
        QFile::setPermissions(m_folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
}

QString ReadOnlyFolder::skipMessage()
{
    return QStringLiteral("SKIP: running as root without the right to mount a read-only folder");
}
