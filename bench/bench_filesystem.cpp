// SPDX-License-Identifier: GPL-3.0-or-later
// Moving a 10 MB screenshot: a rename on one file system, a synced copy between two.
#include "platform/FileSystem.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/mount.h>
#include <utility>

namespace {

constexpr qsizetype fileSize = 10 * 1024 * 1024;

bool writeBigFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) {
        return false;
    }
    QByteArray bytes(fileSize, Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        bytes[i] = char((i * 2654435761u) >> 13);
    }
    return f.write(bytes) == bytes.size() && f.flush();
}

void BM_MoveSameFileSystem(benchmark::State &state)
{
    QTemporaryDir folder;
    QString from = folder.filePath(QStringLiteral("Screenshot 2024-03-05 at 14.07.09.png"));
    QString to = folder.filePath(QStringLiteral("screenshot_14-07-09.png"));
    if (!writeBigFile(from)) {
        state.SkipWithError("cannot write the test file");
        return;
    }
    for (auto _ : state) {
        if (!FileSystem::move(from, to).ok()) {
            state.SkipWithError("move failed");
            return;
        }
        std::swap(from, to);
    }
    state.SetBytesProcessed(state.iterations() * fileSize);
}
BENCHMARK(BM_MoveSameFileSystem)->Unit(benchmark::kMicrosecond)->UseRealTime();

// A tmpfs stands in for the other disk. Arg 0: from the disk onto the tmpfs (the sync is
// nearly free); arg 1: from the tmpfs onto the disk (the sync writes 10 MB to the device).
void BM_MoveAcrossFileSystems(benchmark::State &state)
{
    QTemporaryDir disk;
    QTemporaryDir other;
    if (::mount("tmpfs", QFile::encodeName(other.path()).constData(), "tmpfs", 0, "size=64m") != 0) {
        state.SkipWithError("cannot mount a tmpfs (needs root)");
        return;
    }
    const bool toDisk = state.range(0) == 1;
    const QString diskFile = disk.filePath(QStringLiteral("shot.png"));
    const QString otherFile = other.filePath(QStringLiteral("shot.png"));
    const QString source = toDisk ? otherFile : diskFile;
    const QString destination = toDisk ? diskFile : otherFile;
    if (writeBigFile(source)) {
        for (auto _ : state) {
            if (!FileSystem::move(source, destination).ok()) {
                state.SkipWithError("move failed");
                break;
            }
            state.PauseTiming();
            const bool back = FileSystem::move(destination, source).ok();
            state.ResumeTiming();
            if (!back) {
                state.SkipWithError("move back failed");
                break;
            }
        }
        state.SetBytesProcessed(state.iterations() * fileSize);
    } else {
        state.SkipWithError("cannot write the test file");
    }
    ::umount2(QFile::encodeName(other.path()).constData(), MNT_DETACH);
}
BENCHMARK(BM_MoveAcrossFileSystems)->Arg(0)->Arg(1)->ArgName("toDisk")->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
