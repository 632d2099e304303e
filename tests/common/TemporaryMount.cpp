// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/TemporaryMount.h"

#include "common/TestEnvironment.h"
#include "common/TestFiles.h"

#include <unistd.h>

static bool run(const QString &program, const QStringList &arguments)
{
    return TestFiles::runTool(program, arguments).exitCode == 0;
}

std::unique_ptr<TemporaryMount> TemporaryMount::create(const QString &type, int sizeMiB)
{
    if (::geteuid() != 0) {
        return nullptr;
    }
    std::unique_ptr<TemporaryMount> mount(new TemporaryMount);
    mount->m_point = std::make_unique<QTemporaryDir>(TestEnvironment::home() + QStringLiteral("/mount-XXXXXX"));
    mount->m_point->setAutoRemove(false);
    if (!mount->m_point->isValid()) {
        return nullptr;
    }
    mount->m_path = mount->m_point->path();
    if (type == QLatin1String("tmpfs") || type == QLatin1String("ramfs")) {
        QStringList arguments{QStringLiteral("-t"), type};
        if (type == QLatin1String("tmpfs")) {
            arguments << QStringLiteral("-o") << QStringLiteral("size=%1m").arg(sizeMiB);
        }
        arguments << type << mount->path();
        mount->m_mounted = run(QStringLiteral("mount"), arguments);
    } else {
        const QString image = mount->m_imageFolder.filePath(QStringLiteral("disk.img"));
        const QString mkfs = type == QLatin1String("vfat") ? QStringLiteral("mkfs.vfat") : QStringLiteral("mkfs.ext4");
        const QStringList mkfsArguments = type == QLatin1String("vfat") ? QStringList{image}
                                                                        : QStringList{QStringLiteral("-q"), QStringLiteral("-F"), image};
        mount->m_mounted = run(QStringLiteral("truncate"), {QStringLiteral("-s"), QStringLiteral("%1M").arg(sizeMiB), image})
                           && run(mkfs, mkfsArguments)
                           && run(QStringLiteral("mount"), {QStringLiteral("-o"), QStringLiteral("loop"), image, mount->path()});
    }
    if (!mount->m_mounted) {
        return nullptr;
    }
    mount->m_point->setAutoRemove(true);
    return mount;
}

std::unique_ptr<TemporaryMount> TemporaryMount::bindReadOnly(const QString &folder)
{
    if (::geteuid() != 0) {
        return nullptr;
    }
    std::unique_ptr<TemporaryMount> mount(new TemporaryMount);
    mount->m_path = folder;
    mount->m_mounted = run(QStringLiteral("mount"), {QStringLiteral("--bind"), folder, folder});
    // util-linux applies "ro" to a bind mount only on a remount.
    if (!mount->m_mounted || !run(QStringLiteral("mount"), {QStringLiteral("-o"), QStringLiteral("remount,ro,bind"), folder})) {
        return nullptr;
    }
    return mount;
}

TemporaryMount::~TemporaryMount()
{
    if (m_mounted && !run(QStringLiteral("umount"), {path()})) {
        // Something still holds it: detach lazily rather than delete through the mount.
        run(QStringLiteral("umount"), {QStringLiteral("-l"), path()});
    }
}

bool TemporaryMount::remountReadOnly()
{
    return run(QStringLiteral("mount"), {QStringLiteral("-o"), QStringLiteral("remount,ro"), path()});
}

QString TemporaryMount::skipMessage(const QString &type)
{
    return QStringLiteral("SKIP: cannot mount a %1 file system here (needs root and mount rights)").arg(type);
}
