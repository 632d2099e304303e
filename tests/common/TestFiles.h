// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/QtPrinters.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <sys/stat.h>
#include <unistd.h>

// Small helpers for tests of real files and real tools.
namespace TestFiles {

inline QByteArray randomBytes(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(42);
    for (qsizetype i = 0; i < size; ++i) {
        bytes[i] = char(generator.bounded(256));
    }
    return bytes;
}

// Every entry of the folder, hidden ones included, sorted.
inline QStringList entries(const QString &folder)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

// The file's bytes, or a null array when it cannot be read.
inline QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct ToolRun
{
    int exitCode = -1;   // -1 when it did not start, crashed or ran out of time
    QString output;      // standard output
    QString errors;      // standard error
};

// Runs a program to its end (two minutes at most) with the given input on standard input.
inline ToolRun runTool(const QString &program, const QStringList &arguments, const QByteArray &input = {},
                       const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForStarted(10000)) {
        return {};
    }
    process.write(input);
    process.closeWriteChannel();
    ToolRun run;
    if (process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit) {
        run.exitCode = process.exitCode();
    }
    run.output = QString::fromUtf8(process.readAllStandardOutput());
    run.errors = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// Whether a program of that name is on PATH.
inline bool hasTool(const QString &program) { return !QStandardPaths::findExecutable(program).isEmpty(); }

// A symbolic link at `at` pointing to `target`; false when it could not be made.
inline bool link(const QString &target, const QString &at)
{
    return ::symlink(QFile::encodeName(target).constData(), QFile::encodeName(at).constData()) == 0;
}

// lstat() of the path; all zeros when there is nothing there.
inline struct stat statOf(const QString &path)
{
    struct stat st {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st;
}

} // namespace TestFiles
