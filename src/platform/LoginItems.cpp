// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/LoginItems.h"

#include "platform/FileSystem.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace LoginItems {

namespace {

// Quotes an argument for a desktop entry's Exec key when it needs it.
QString execArgument(const QString &arg)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool needsQuotes = arg.isEmpty();
    for (const QChar c : arg) {
        needsQuotes = needsQuotes || reserved.contains(c);
    }
    QString escaped = arg;
    escaped.replace(QLatin1Char('%'), QStringLiteral("%%"));
    if (!needsQuotes) {
        return escaped;
    }
    QString quoted;
    for (const QChar c : escaped) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\')) {
            quoted += QLatin1Char('\\');
        }
        quoted += c;
    }
    // The key's value is itself a string, in which a backslash is written twice.
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

QString autostartFile()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!QDir::isAbsolutePath(base)) {
        base = FileSystem::homeFolder() + QStringLiteral("/.config");
    }
    return base + QStringLiteral("/autostart/pictrove.desktop");
}

bool isEnabled()
{
    QFile f(autostartFile());
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return false;
    }
    QTextStream in(&f);
    bool inEntry = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inEntry = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (!inEntry) {
            continue;
        }
        const QString key = line.section(QLatin1Char('='), 0, 0).trimmed();
        const QString value = line.section(QLatin1Char('='), 1).trimmed();
        if ((key == QLatin1String("Hidden") && value == QLatin1String("true")) ||
            (key == QLatin1String("X-GNOME-Autostart-enabled") && value == QLatin1String("false"))) {
            return false;
        }
    }
    return true;
}

Status setEnabled(bool enabled, const QString &program)
{
    const QString file = autostartFile();
    if (!enabled) {
        if (::unlink(QFile::encodeName(file).constData()) != 0 && errno != ENOENT) {
            return Status::failure(QString::fromLocal8Bit(std::strerror(errno)));
        }
        return Status::success();
    }
    QString exec = program;
    if (exec.isEmpty()) {
        exec = QCoreApplication::instance() ? QCoreApplication::applicationFilePath() : QString();
    }
    if (exec.isEmpty()) {
        exec = QStringLiteral("pictrove");
    }
    const Status folder = FileSystem::createFolder(QFileInfo(file).absolutePath());
    if (!folder) {
        return folder;
    }
    const QString entry = QStringLiteral("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Name=Pictrove\n"
                                         "Comment=Keeps your screenshots in order\n"
                                         "Exec=%1\n"
                                         "Icon=pictrove\n"
                                         "Terminal=false\n"
                                         "X-GNOME-Autostart-enabled=true\n")
                              .arg(execArgument(exec));
    return FileSystem::writeFile(file, entry.toUtf8(), true);
}

} // namespace LoginItems
