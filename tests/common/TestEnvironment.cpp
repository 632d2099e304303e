// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

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

} // namespace TestEnvironment
