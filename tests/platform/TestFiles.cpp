// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>

namespace TestFiles {

QByteArray randomBytes(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(42);
    for (qsizetype i = 0; i < size; ++i) {
        bytes[i] = char(generator.bounded(256));
    }
    return bytes;
}

QStringList entries(const QString &folder)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

QByteArray contents(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return {};
    }
    return f.readAll();
}

ToolRun runTool(const QString &program, const QStringList &arguments, const QByteArray &input,
                const QProcessEnvironment &environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForStarted(10000)) {
        return {};
    }
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(60000);
    ToolRun run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.output = QString::fromUtf8(process.readAll());
    return run;
}

bool hasTool(const QString &program) { return !QStandardPaths::findExecutable(program).isEmpty(); }

} // namespace TestFiles

void PrintTo(const QString &text, std::ostream *os) { *os << '"' << text.toStdString() << '"'; }
