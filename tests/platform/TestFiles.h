// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <ostream>

// Small helpers for the platform tests' real files and real tools.
namespace TestFiles {

QByteArray randomBytes(qsizetype size);

// Every entry of the folder, hidden ones included, sorted.
QStringList entries(const QString &folder);

// The file's bytes, or a null array when it cannot be read.
QByteArray contents(const QString &path);

struct ToolRun
{
    int exitCode = -1;
    QString output; // standard output and standard error together
};

// Runs a program to its end with the given input on standard input.
ToolRun runTool(const QString &program, const QStringList &arguments, const QByteArray &input = {},
                const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment());

// Whether a program of that name is on PATH.
bool hasTool(const QString &program);

} // namespace TestFiles

// Readable failure messages for Qt strings in GoogleTest assertions.
void PrintTo(const QString &text, std::ostream *os);
