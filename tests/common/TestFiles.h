// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/QtPrinters.h"

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <sys/stat.h>

// Small helpers for tests of real files and real tools.
namespace TestFiles {

QByteArray randomBytes(qsizetype size);

// Every entry of the folder, hidden ones included, sorted.
QStringList entries(const QString &folder);

// The file's bytes, or a null array when it cannot be read.
QByteArray contents(const QString &path);

struct ToolRun
{
    int exitCode = -1;   // -1 when it did not start, crashed or ran out of time
    QString output;      // standard output
    QString errors;      // standard error
};

// Runs a program to its end (two minutes at most) with the given input on standard input.
ToolRun runTool(const QString &program, const QStringList &arguments, const QByteArray &input = {},
                const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment());

// Whether a program of that name is on PATH.
bool hasTool(const QString &program);

// A symbolic link at `at` pointing to `target`; false when it could not be made.
bool link(const QString &target, const QString &at);

// lstat() of the path; all zeros when there is nothing there.
struct stat statOf(const QString &path);

} // namespace TestFiles
