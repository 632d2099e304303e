// SPDX-License-Identifier: GPL-3.0-or-later
// The capture path's costs: one scan of a large watched folder, and filing a capture.
//   build/bench/bench_capture
// Targets: listing + difference of 10,000 files with one new screenshot <= 10 ms;
// moveIntoLibrary of 10 MB on one file system <= 2 ms; across file systems, the throughput;
// what sharing a filed capture's thumbnail adds, off the main thread.
#include "app/FolderScanner.h"
#include "app/ScreenshotNames.h"
#include "platform/FileSystem.h"
#include "platform/FreedesktopThumbnailCache.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/stat.h>

namespace {

constexpr int kOldFiles = 10000;
const QString kNewName = QStringLiteral("Screenshot 2024-03-05 at 14.07.09.png");

QByteArray pngLike(qsizetype size)
{
    QByteArray bytes(size, 'x');
    bytes.replace(0, 8, QByteArray("\x89PNG\r\n\x1a\n", 8));
    bytes.replace(size - 8, 8, QByteArray("IEND\xae\x42\x60\x82", 8));
    return bytes;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) {
        f.write(bytes);
    }
}

// A watched folder with 10,000 old files, most with screenshot names.
struct BigFolder
{
    QTemporaryDir dir;
    QSet<QString> known;
    BigFolder()
    {
        for (int i = 0; i < kOldFiles; ++i) {
            const QString name = i % 10 == 0 ? QStringLiteral("notes %1.txt").arg(i)
                                             : QStringLiteral("Screenshot 2023-01-01 at 10.%1.%2 (%3).png").arg(i / 60 % 60).arg(i % 60).arg(i);
            writeFile(dir.path() + QLatin1Char('/') + name, "x");
        }
        known = *FileSystem::listEntryNames(dir.path());
        writeFile(dir.path() + QLatin1Char('/') + kNewName, pngLike(4096));
    }
};

BigFolder &bigFolder()
{
    static BigFolder folder;
    return folder;
}

void BM_ListingAndDifference(benchmark::State &state)
{
    BigFolder &folder = bigFolder();
    for (auto _ : state) {
        const QSet<QString> current = *FileSystem::listEntryNames(folder.dir.path());
        const QSet<QString> fresh = FolderScanner::newNames(current, folder.known);
        if (fresh.size() != 1) {
            state.SkipWithError("the difference is not the one new file");
        }
        benchmark::DoNotOptimize(fresh);
    }
}
BENCHMARK(BM_ListingAndDifference)->Unit(benchmark::kMillisecond);

void BM_ListingOnly(benchmark::State &state)
{
    BigFolder &folder = bigFolder();
    for (auto _ : state) {
        benchmark::DoNotOptimize(FileSystem::listEntryNames(folder.dir.path()));
    }
}
BENCHMARK(BM_ListingOnly)->Unit(benchmark::kMillisecond);

void BM_DifferenceOnly(benchmark::State &state)
{
    BigFolder &folder = bigFolder();
    const QSet<QString> current = *FileSystem::listEntryNames(folder.dir.path());
    for (auto _ : state) {
        benchmark::DoNotOptimize(FolderScanner::newNames(current, folder.known));
    }
}
BENCHMARK(BM_DifferenceOnly)->Unit(benchmark::kMillisecond);

// The scanner's whole scan: listing, difference, name test and look at the new file.
void BM_ScanWithOneNewScreenshot(benchmark::State &state)
{
    BigFolder &folder = bigFolder();
    for (auto _ : state) {
        state.PauseTiming();
        FolderScanner scanner(folder.dir.path(), folder.known);
        state.ResumeTiming();
        benchmark::DoNotOptimize(scanner.scan());
        if (!scanner.hasPending()) {
            state.SkipWithError("the new screenshot was not examined");
        }
    }
}
BENCHMARK(BM_ScanWithOneNewScreenshot)->Unit(benchmark::kMillisecond);

void fileTenMegabytes(benchmark::State &state, const QString &watched, const QString &library, bool sameFs)
{
    const QByteArray bytes = pngLike(10 * 1024 * 1024);
    const QString source = watched + QLatin1Char('/') + kNewName;
    writeFile(source, bytes);
    for (auto _ : state) {
        const Result<QString> moved = ScreenshotNames::moveIntoLibrary(source, QStringLiteral("Editor"), library);
        state.PauseTiming();
        if (!moved) {
            state.SkipWithError(moved.error().toUtf8().constData());
            break;
        }
        // Put the capture back for the next round (a rename on one file system, a fresh file
        // across two).
        if (sameFs) {
            std::rename(QFile::encodeName(*moved).constData(), QFile::encodeName(source).constData());
        } else {
            QFile::remove(*moved);
            writeFile(source, bytes);
        }
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void BM_MoveIntoLibrarySameFileSystem(benchmark::State &state)
{
    QTemporaryDir watched;
    QTemporaryDir library;
    fileTenMegabytes(state, watched.path(), library.path(), true);
}
BENCHMARK(BM_MoveIntoLibrarySameFileSystem)->UseRealTime()->Unit(benchmark::kMillisecond);

// range(0) 0: from the temporary folder into a tmpfs library; 1: from a tmpfs into a library on
// the temporary folder's disk, where the sync before the capture is linked into place is real.
void BM_MoveIntoLibraryAcrossFileSystems(benchmark::State &state)
{
    // /dev/shm is a tmpfs on Linux; the temporary folder normally is not.
    QTemporaryDir disk;
    QTemporaryDir memory(QStringLiteral("/dev/shm/pictrove-bench-XXXXXX"));
    struct stat a {}, b {};
    if (!memory.isValid() || ::stat(QFile::encodeName(disk.path()).constData(), &a) != 0 ||
        ::stat(QFile::encodeName(memory.path()).constData(), &b) != 0 || a.st_dev == b.st_dev) {
        state.SkipWithError("no second file system (/dev/shm) here");
        return;
    }
    if (state.range(0) == 0) {
        fileTenMegabytes(state, disk.path(), memory.path(), false);
    } else {
        fileTenMegabytes(state, memory.path(), disk.path(), false);
    }
}
BENCHMARK(BM_MoveIntoLibraryAcrossFileSystems)->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMillisecond);

// The shared thumbnail of a filed 2560 × 1600 capture, made from the picture already decoded
// for the scan: shrunk and written at both sizes (processor time, the work added to filing).
void BM_ShareThumbnailOfFiledCapture(benchmark::State &state)
{
    QImage picture(2560, 1600, QImage::Format_RGB32);
    picture.fill(QColor(236, 236, 240));
    QPainter p(&picture);
    QLinearGradient gradient(0, 0, 900, 1600);
    gradient.setColorAt(0, QColor(40, 90, 200));
    gradient.setColorAt(1, QColor(200, 120, 40));
    p.fillRect(1600, 120, 900, 1400, gradient);
    p.end();
    QRandomGenerator random(7);
    for (int y = 900; y < 1500; ++y) {
        auto *row = reinterpret_cast<QRgb *>(picture.scanLine(y));
        for (int x = 100; x < 1300; ++x) {
            row[x] = qRgb(int(random.bounded(256)), (x + y) & 0xff, int(random.bounded(256)));
        }
    }
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("screenshot_14-07-09.png"));
    writeFile(file, "x");
    const FreedesktopThumbnailCache cache(dir.filePath(QStringLiteral("thumbnails")));
    const ThumbnailCache::Source source = *ThumbnailCache::source(file);
    for (auto _ : state) {
        if (const Status s = cache.storeFrom(source, picture); !s) {
            state.SkipWithError(s.error().toUtf8().constData());
            break;
        }
    }
}
BENCHMARK(BM_ShareThumbnailOfFiledCapture)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
