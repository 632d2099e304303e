// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QUuid>

#include <unistd.h>

namespace TestEnvironment {

QString home() { return qEnvironmentVariable("HOME"); }

QString makeFolder(const QString &name)
{
    const QString path = home() + "/" + name + "-" + QUuid::createUuid().toString(QUuid::Id128).left(8);
    QDir().mkpath(path);
    return path;
}

QString writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) {
        f.write(bytes);
    }
    return path;
}

bool canMount()
{
    if (geteuid() != 0) {
        return false;
    }
    QTemporaryDir dir;
    const int rc = QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=1m", "tmpfs", dir.path()});
    if (rc != 0) {
        return false;
    }
    QProcess::execute("umount", {dir.path()});
    return true;
}

} // namespace TestEnvironment
