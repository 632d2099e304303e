// SPDX-License-Identifier: GPL-3.0-or-later
// The library window at the scale of years of captures: walking 50,000 and 200,000 files with
// what the index knows, one keystroke of filtering over 50,000 cards, the window's first paint
// with 50,000 cards, and the memory they take.
#include "PaintWatcher.h"
#include "ResidentMemory.h"
#include "app/AppSettings.h"
#include "library/ScreenshotIndex.h"
#include "ui/gallery/GalleryFilter.h"
#include "ui/gallery/GalleryGridView.h"
#include "ui/gallery/GalleryLoader.h"
#include "ui/gallery/GalleryWindow.h"
#include "ui/gallery/GalleryWindowView.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <map>
#include <memory>
#include <set>

namespace {

const QStringList kApps = {"Firefox", "Terminal", "Mail", "Editor", "Chat", "Spreadsheet", "Maps", "Files"};
const QStringList kWords = {"invoice", "error", "meeting", "receipt", "build", "deploy", "draft", "ticket"};

// A library of count empty picture files laid out as the organiser files them (application,
// then day), and the index entries for them; made once per size and kept for the whole run.
struct Library
{
    QTemporaryDir dir;
    ScreenshotIndex::Entries entries;
};

const Library &library(int count)
{
    static std::map<int, std::unique_ptr<Library>> libraries;
    auto &slot = libraries[count];
    if (slot) {
        return *slot;
    }
    slot = std::make_unique<Library>();
    const QDateTime start(QDate(2022, 1, 1), QTime(9, 0), Qt::UTC);
    std::set<QString> made;
    for (int i = 0; i < count; ++i) {
        const QString app = kApps.at(i % kApps.size());
        const QDateTime when = start.addSecs(qint64(i) * 900);
        const QString folder = slot->dir.path() + "/" + app + "/" + when.toString(QStringLiteral("yyyy-MM-dd"));
        if (made.insert(folder).second) {
            QDir().mkpath(folder);
        }
        const QString path = folder + QStringLiteral("/Screenshot %1.png").arg(i);
        if (!QFile(path).open(QIODevice::WriteOnly)) {
            qFatal("cannot create %s", qPrintable(path));
        }
        ScreenshotIndexEntry e;
        e.path = path;
        e.appName = app;
        e.timestamp = when;
        e.ocrText = QStringLiteral("%1 number %2 for the %3 team").arg(kWords.at(i % kWords.size())).arg(i).arg(app);
        if (i % 5 == 0) {
            e.tags = {QStringLiteral("Work"), QStringLiteral("Project %1").arg(i % 40)};
        }
        slot->entries.insert(path, e);
    }
    return *slot;
}

GalleryLoader::TagReader noFileTags()
{
    return [](const QString &) { return QStringList(); };
}

// The walk and the merge with the index, as the window's loader runs them off the main thread.
void BM_Load(benchmark::State &state)
{
    const Library &lib = library(int(state.range(0)));
    qsizetype loaded = 0;
    for (auto _ : state) {
        loaded = GalleryLoader::load(lib.dir.path(), lib.entries, noFileTags()).size();
    }
    state.counters["items"] = double(loaded);
}
BENCHMARK(BM_Load)->Arg(50000)->Arg(200000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// One keystroke: the user types the next letter of a word over 50,000 cards.
void BM_Keystroke(benchmark::State &state)
{
    const Library &lib = library(50000);
    const QList<GalleryItem> items = GalleryLoader::load(lib.dir.path(), lib.entries, noFileTags());
    const GalleryFilter::Criteria previous{QStringLiteral("invoic")};
    const GalleryFilter::Criteria next{QStringLiteral("invoice")};
    const QList<int> before = GalleryFilter::visibleRows(items, previous);
    for (auto _ : state) {
        benchmark::DoNotOptimize(GalleryFilter::narrowedRows(items, next, previous, before));
    }
}
BENCHMARK(BM_Keystroke)->Unit(benchmark::kMillisecond);

// The first letter typed, which has nothing to narrow from.
void BM_FirstKeystroke(benchmark::State &state)
{
    const Library &lib = library(50000);
    const QList<GalleryItem> items = GalleryLoader::load(lib.dir.path(), lib.entries, noFileTags());
    for (auto _ : state) {
        benchmark::DoNotOptimize(GalleryFilter::visibleRows(items, GalleryFilter::Criteria{QStringLiteral("i")}));
    }
}
BENCHMARK(BM_FirstKeystroke)->Unit(benchmark::kMillisecond);

// From opening the window to its first paint (the time reported), to its grid painted with
// 50,000 cards loaded (cards_painted_ms), and the resident memory the open window adds.
void BM_WindowFirstPaint(benchmark::State &state)
{
    const Library &lib = library(50000);
    QTemporaryDir indexDir;
    ScreenshotIndex index(indexDir.filePath(QStringLiteral("index.json")));
    for (const ScreenshotIndexEntry &e : lib.entries) {
        index.insert(e);
    }
    AppSettings settings;
    settings.setDestinationFolder(lib.dir.path());
    const double idle = residentBytes();
    double open = 0;
    double cardsMs = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        auto window = std::make_unique<GalleryWindow>(settings, index, QString());
        PaintWatcher first;
        window->installEventFilter(&first);
        window->show();
        const QDeadlineTimer deadline(60000);
        while (!first.painted && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        while (window->view()->isLoading() && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        PaintWatcher cards;
        window->view()->grid()->viewport()->installEventFilter(&cards);
        window->view()->grid()->viewport()->update();
        while (!cards.painted && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        cardsMs = std::max(cardsMs, double(clock.elapsed()));
        open = std::max(open, residentBytes());
        window.reset();
        QCoreApplication::processEvents();
    }
    state.counters["cards_painted_ms"] = cardsMs;
    state.counters["open_above_idle_MB"] = (open - idle) / (1024.0 * 1024.0);
}
BENCHMARK(BM_WindowFirstPaint)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true); // the settings and thumbnails here are not the user's
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
