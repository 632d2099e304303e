// SPDX-License-Identifier: GPL-3.0-or-later
// The library window at the scale of years of captures: walking 50,000 and 200,000 files with
// what the index knows, one keystroke of filtering over 50,000 cards, the window's first paint
// with 50,000 cards, and the memory they take; thumbnails made from full-size captures.
#include "PaintWatcher.h"
#include "ResidentMemory.h"
#include "app/AppSettings.h"
#include "library/ScreenshotIndex.h"
#include "platform/FreedesktopThumbnailCache.h"
#include "ui/gallery/GalleryFilter.h"
#include "ui/gallery/GalleryGridView.h"
#include "ui/gallery/GalleryLoader.h"
#include "ui/gallery/GalleryModel.h"
#include "ui/gallery/GalleryThumbnails.h"
#include "ui/gallery/GalleryWindow.h"
#include "ui/gallery/GalleryWindowView.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLinearGradient>
#include <QPainter>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <map>
#include <memory>
#include <set>

#include <time.h>
#include <unistd.h>

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

double cpuSeconds(clockid_t clock)
{
    timespec t{};
    clock_gettime(clock, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}
double processCpuSeconds()
{
    return cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
}
double threadCpuSeconds()
{
    return cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
}

// count distinct captures of a 2560 × 1600 screen saved as PNG, made once: window chrome,
// text, a gradient and a photograph-like noisy area, so that they compress as real ones do.
const QStringList &largeCaptures(int count)
{
    static QTemporaryDir dir;
    static QStringList paths;
    QRandomGenerator random(7);
    while (paths.size() < count) {
        const int n = int(paths.size());
        QImage image(2560, 1600, QImage::Format_RGB32);
        image.fill(QColor::fromHsv(n * 37 % 360, 30, 240));
        QPainter p(&image);
        p.fillRect(0, 0, 2560, 56, QColor::fromHsv(n * 53 % 360, 120, 90));
        QLinearGradient gradient(0, 0, 900, 1600);
        gradient.setColorAt(0, QColor::fromHsv(n * 11 % 360, 200, 230));
        gradient.setColorAt(1, QColor::fromHsv(n * 29 % 360, 160, 80));
        p.fillRect(1600, 120, 900, 1400, gradient);
        QFont font = p.font();
        font.setPixelSize(22);
        p.setFont(font);
        p.setPen(Qt::black);
        for (int line = 0; line < 52; ++line) {
            p.drawText(60, 120 + line * 28,
                       QStringLiteral("Capture %1, line %2: %3 for the %4 team")
                           .arg(n)
                           .arg(line)
                           .arg(kWords.at((n + line) % kWords.size()), kApps.at(line % kApps.size())));
        }
        p.end();
        for (int y = 900; y < 1500; ++y) {
            auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 100; x < 1300; ++x) {
                row[x] = qRgb(int(random.bounded(256)), (x + y + n) & 0xff, int(random.bounded(256)));
            }
        }
        const QString path = dir.filePath(QStringLiteral("capture-%1.png").arg(n));
        if (!image.save(path)) {
            qFatal("cannot write %s", qPrintable(path));
        }
        paths.append(path);
    }
    return paths;
}

// Thumbnails made for 48 cards from their 2560 × 1600 PNGs with the shared cache empty
// (decoded, shrunk and written to it), and the longest the main thread went without serving a
// timer that ticks every 5 ms meanwhile (longest_stall_ms, which includes waiting for a core on
// a busy machine) and the most processor time it spent between two ticks
// (main_thread_busy_ms): it never waits for a decode.
void BM_ThumbnailsFromLargePngs(benchmark::State &state)
{
    const QStringList &paths = largeCaptures(48);
    double made = 0;
    double stall = 0;
    double wallSeconds = 0;
    double cpuSeconds = 0;
    double busy = 0;
    for (auto _ : state) {
        QTemporaryDir cacheDir;
        auto store = std::make_shared<const FreedesktopThumbnailCache>(cacheDir.filePath(QStringLiteral("thumbnails")));
        GalleryThumbnails thumbnails(store);
        int ready = 0;
        QObject::connect(&thumbnails, &GalleryThumbnails::ready, [&ready] { ++ready; });
        QEventLoop loop;
        QTimer tick;
        tick.setTimerType(Qt::PreciseTimer);
        tick.setInterval(5);
        QElapsedTimer sinceTick;
        qint64 longestGap = 0;
        double mainCpu = threadCpuSeconds();
        double longestBusy = 0;
        QObject::connect(&tick, &QTimer::timeout, [&] {
            longestGap = std::max(longestGap, sinceTick.restart());
            const double now = threadCpuSeconds();
            longestBusy = std::max(longestBusy, now - mainCpu);
            mainCpu = now;
            if (thumbnails.idle()) {
                loop.quit();
            }
        });
        const double cpuStart = processCpuSeconds();
        QElapsedTimer wall;
        wall.start();
        sinceTick.start();
        tick.start();
        thumbnails.want(paths);
        loop.exec();
        wallSeconds += double(wall.nsecsElapsed()) / 1e9;
        cpuSeconds += processCpuSeconds() - cpuStart;
        made += ready;
        stall = std::max(stall, double(longestGap));
        busy = std::max(busy, longestBusy * 1000);
    }
    state.counters["thumbnails_per_s"] = made / wallSeconds;
    state.counters["cpu_ms_per_thumbnail"] = 1000 * cpuSeconds / made;
    state.counters["made"] = made / double(state.iterations());
    state.counters["longest_stall_ms"] = stall;
    state.counters["main_thread_busy_ms"] = busy;
}
BENCHMARK(BM_ThumbnailsFromLargePngs)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Iterations(3);

// From showing the window to every visible card painted with its thumbnail, for 48 filed
// 2560 × 1600 captures whose thumbnails are already in the shared cache (the organiser writes
// them as it files).
void BM_WindowCardsFromSharedCache(benchmark::State &state)
{
    const QStringList &captures = largeCaptures(48);
    QTemporaryDir root;
    QTemporaryDir cacheHome;
    const QByteArray oldCacheHome = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cacheHome.path()));
    const FreedesktopThumbnailCache cache(FreedesktopThumbnailCache::defaultRoot());
    QTemporaryDir indexDir;
    ScreenshotIndex index(indexDir.filePath(QStringLiteral("index.json")));
    const QString day = root.path() + QStringLiteral("/Editor/2024-03-05");
    QDir().mkpath(day);
    for (int i = 0; i < captures.size(); ++i) {
        const QString path = day + QStringLiteral("/screenshot_14-%1-00.png").arg(i, 2, 10, QLatin1Char('0'));
        QFile::copy(captures.at(i), path);
        (void)GalleryThumbnails::make(path, cache);
        ScreenshotIndexEntry e;
        e.path = path;
        e.appName = QStringLiteral("Editor");
        e.timestamp = QDateTime(QDate(2024, 3, 5), QTime(14, i));
        index.insert(e);
    }
    AppSettings settings;
    settings.setDestinationFolder(root.path());
    double visible = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        auto window = std::make_unique<GalleryWindow>(settings, index, QString());
        window->show();
        GalleryWindowView *view = window->view();
        const auto allShown = [view, &visible] {
            const QPair<int, int> rows = view->grid()->visibleRowRange();
            if (view->isLoading() || rows.first < 0) {
                return false;
            }
            visible = rows.second - rows.first + 1;
            for (int row = rows.first; row <= rows.second; ++row) {
                if (view->thumbnails().pixmap(view->model().itemAt(row).url).isNull()) {
                    return false;
                }
            }
            return true;
        };
        const QDeadlineTimer deadline(60000);
        while (!allShown() && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        PaintWatcher cards;
        view->grid()->viewport()->installEventFilter(&cards);
        view->grid()->viewport()->update();
        while (!cards.painted && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        if (deadline.hasExpired()) {
            state.SkipWithError("the visible cards never got their thumbnails");
        }
        window.reset();
        QCoreApplication::processEvents();
    }
    qputenv("XDG_CACHE_HOME", oldCacheHome);
    state.counters["visible_cards"] = visible;
}
BENCHMARK(BM_WindowCardsFromSharedCache)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

// The resident memory of the window with 50,000 cards scrolled from top to bottom a page at a
// time, each card a real picture (hard links to one 800 x 500 PNG, so that thumbnails are made
// and kept in memory as far as the cache lets them), the shared thumbnail cache in a scratch folder.
void BM_WindowScrolledThrough(benchmark::State &state)
{
    QTemporaryDir root;
    QTemporaryDir cacheHome;
    const QByteArray oldCacheHome = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cacheHome.path()));
    QImage picture(800, 500, QImage::Format_RGB32);
    {
        QPainter p(&picture);
        QLinearGradient g(0, 0, 800, 500);
        g.setColorAt(0, Qt::darkBlue);
        g.setColorAt(1, Qt::yellow);
        p.fillRect(picture.rect(), g);
    }
    const QByteArray original = QFile::encodeName(root.filePath(QStringLiteral("original.png")));
    picture.save(QString::fromLocal8Bit(original));
    for (int i = 0; i < 50000; ++i) {
        const QString folder = root.path() + "/" + kApps.at(i % kApps.size()) +
                               QStringLiteral("/2024-03-%1").arg(1 + i / 2000, 2, 10, QLatin1Char('0'));
        QDir().mkpath(folder);
        const QByteArray link = QFile::encodeName(folder + QStringLiteral("/screenshot_%1.png").arg(i));
        if (::link(original.constData(), link.constData()) != 0) {
            qFatal("cannot link %s", link.constData());
        }
    }
    QFile::remove(QString::fromLocal8Bit(original));
    QTemporaryDir indexDir;
    ScreenshotIndex index(indexDir.filePath(QStringLiteral("index.json")));
    AppSettings settings;
    settings.setDestinationFolder(root.path());
    double peak = 0;
    int pages = 0;
    for (auto _ : state) {
        auto window = std::make_unique<GalleryWindow>(settings, index, QString());
        window->show();
        GalleryWindowView *view = window->view();
        const QDeadlineTimer deadline(600000);
        while (view->isLoading() && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        QScrollBar *bar = view->grid()->verticalScrollBar();
        pages = 0;
        for (int value = 0; value <= bar->maximum() && !deadline.hasExpired(); value += bar->pageStep(), ++pages) {
            bar->setValue(value);
            QElapsedTimer page;
            page.start();
            while (page.elapsed() < 4) {
                QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
            }
            if (pages % 50 == 0) {
                peak = std::max(peak, residentBytes());
            }
        }
        peak = std::max(peak, residentBytes());
        window.reset();
        QCoreApplication::processEvents();
    }
    qputenv("XDG_CACHE_HOME", oldCacheHome);
    state.counters["thumbnails_made"] =
        double(QDir(cacheHome.filePath(QStringLiteral("thumbnails/x-large"))).entryList(QDir::Files).size());
    state.counters["pages"] = pages;
    state.counters["peak_resident_MB"] = peak / (1024.0 * 1024.0);
}
BENCHMARK(BM_WindowScrolledThrough)->Unit(benchmark::kMillisecond)->Iterations(1);

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
