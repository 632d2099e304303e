// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QUuid>

namespace TestEnvironment {

// The temporary folder that stands in for the user's home during this test process.
inline QString home() { return qEnvironmentVariable("HOME"); }

// Creates a fresh folder below the temporary home and returns its path.
inline QString makeFolder(const QString &name)
{
    const QString path = home() + "/" + name + "-" + QUuid::createUuid().toString(QUuid::Id128).left(8);
    QDir().mkpath(path);
    return path;
}

// Writes bytes to a file (creating folders) and returns its path.
inline QString writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) {
        f.write(bytes);
    }
    return path;
}

} // namespace TestEnvironment
