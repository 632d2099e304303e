// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QTemporaryDir>

#include <memory>

// A file system mounted for the life of the object, to test what happens between disks, on a
// file system without user attributes, or in a folder nothing may be written to. Needs root
// with the right to mount; callers skip when the factory returns nothing.
class TemporaryMount
{
public:
    // A fresh file system below the test home. type: "tmpfs", "ramfs" (no user attributes),
    // or "ext4" / "vfat" on a loop image.
    static std::unique_ptr<TemporaryMount> create(const QString &type, int sizeMiB = 8);
    // The folder seen read-only through a bind mount over itself.
    static std::unique_ptr<TemporaryMount> bindReadOnly(const QString &folder);
    ~TemporaryMount();
    TemporaryMount(const TemporaryMount &) = delete;
    TemporaryMount &operator=(const TemporaryMount &) = delete;

    QString path() const { return m_path; }
    bool remountReadOnly();

    static QString skipMessage(const QString &type);

private:
    TemporaryMount() = default;
    std::unique_ptr<QTemporaryDir> m_point; // none for a bind mount
    QTemporaryDir m_imageFolder;
    QString m_path;
    bool m_mounted = false;
};

// In a GoogleTest body: declares `name`, a fresh file system of the type (as create() takes
// it), or skips the test where this machine cannot mount one.
#define MOUNT_OR_SKIP(name, type, ...)                                                                     \
    const std::unique_ptr<TemporaryMount> name = TemporaryMount::create(type __VA_OPT__(, ) __VA_ARGS__); \
    if (!name)                                                                                             \
    GTEST_SKIP() << TemporaryMount::skipMessage(type).toStdString()
