// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QTemporaryDir>

#include <memory>

// A fresh file system mounted below the test home for the life of the object, to test what
// happens between disks. Needs root; callers skip when create() returns nothing.
class TemporaryMount
{
public:
    // type: "tmpfs", "ramfs" (no user attributes), or "ext4" / "vfat" on a loop image.
    static std::unique_ptr<TemporaryMount> create(const QString &type, int sizeMiB = 8);
    ~TemporaryMount();
    TemporaryMount(const TemporaryMount &) = delete;
    TemporaryMount &operator=(const TemporaryMount &) = delete;

    QString path() const { return m_point.path(); }
    bool remountReadOnly();

    static QString skipMessage(const QString &type);

private:
    TemporaryMount();
    QTemporaryDir m_point;
    QTemporaryDir m_imageFolder;
    bool m_mounted = false;
};
