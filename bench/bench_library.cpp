// SPDX-License-Identifier: GPL-3.0-or-later
// The library at 50,000 screenshots with about 1 KB of recognised text each: index load and
// save (RapidJSON against a QJsonDocument codec in the same run), duplicate lookup, a tag
// edit, hashing, the retention walk and the search command.
#include "capture/ContentHash.h"
#include "library/LibrarySearch.h"
#include "library/RetentionService.h"
#include "library/ScreenshotIndex.h"
#include "library/ScreenshotIndexCodec.h"
#include "platform/FileSystem.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <memory>

namespace {

constexpr int kEntries = 50000;

struct Library
{
    QTemporaryDir dir;
    QString root;
    QString indexFile;
    ScreenshotIndexCodec::Entries entries;
    QByteArray encoded;
};

QString words(QRandomGenerator &random, int bytes)
{
    static const QStringList vocabulary = {"invoice", "total", "https://example.com/account/settings", "user@example.com",
                                           "Terminal", "error:", "build", "passed", "192.0.2.14", "Meeting", "agenda",
                                           "Quarterly", "report", "draft", "TODO", "function", "return", "value"};
    QString text;
    while (text.size() < bytes) {
        text += vocabulary[random.bounded(vocabulary.size())];
        text += random.bounded(8) == 0 ? QLatin1Char('\n') : QLatin1Char(' ');
    }
    return text;
}

// Built once, in memory: the entries and their encoding.
Library &library()
{
    static std::unique_ptr<Library> lib = [] {
        auto l = std::make_unique<Library>();
        l->root = l->dir.path() + "/library";
        l->indexFile = l->dir.path() + "/data/Pictrove/index.json";
        QRandomGenerator random(42);
        const QStringList apps = {"Web Browser", "Terminal", "Text Editor", "Mail", "Chat"};
        for (int i = 0; i < kEntries; ++i) {
            const QString app = apps[i % apps.size()];
            const QDateTime when = QDateTime(QDate(2024, 1, 1), QTime(0, 0), Qt::UTC).addSecs(qint64(i) * 617);
            const QString folder = l->root + "/" + app + "/" + when.toString("yyyy-MM-dd");
            const QString path = folder + "/screenshot_" + when.toString("HH-mm-ss") + "_" + QString::number(i) + ".png";
            ScreenshotIndexEntry e;
            e.path = path;
            e.appName = app;
            e.timestamp = when;
            e.ocrText = words(random, 1024);
            if (i % 7 == 0) {
                e.piiRects = {QRectF(10, 20, 300, 18), QRectF(40.5, 200.25, 120, 16)};
            }
            if (i % 3 == 0) {
                e.tags = {"Work", "Receipts"};
            }
            e.contentHash = ContentHash::ofBytes(QByteArray::number(i));
            l->entries.insert(path, e);
        }
        l->encoded = ScreenshotIndexCodec::encode(l->entries);
        return l;
    }();
    return *lib;
}

// The same library with its 50,000 files (empty) on disk and its index file written, for
// what checks real paths.
Library &libraryOnDisk()
{
    static Library &l = [] () -> Library & {
        Library &lib = library();
        for (const ScreenshotIndexEntry &e : lib.entries) {
            QDir().mkpath(QFileInfo(e.path).absolutePath());
            QFile f(e.path);
            f.open(QIODevice::WriteOnly);
        }
        QDir().mkpath(QFileInfo(lib.indexFile).absolutePath());
        FileSystem::writeFile(lib.indexFile, lib.encoded, true);
        return lib;
    }();
    return l;
}

// The baseline: the same format through QJsonDocument.
QByteArray qtEncode(const ScreenshotIndexCodec::Entries &entries)
{
    QJsonObject root;
    for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
        const ScreenshotIndexEntry &e = it.value();
        QJsonObject o;
        o.insert("path", e.path);
        o.insert("appName", e.appName);
        o.insert("timestamp", ScreenshotIndexCodec::toReferenceSeconds(e.timestamp));
        o.insert("ocrText", e.ocrText);
        QJsonArray rects;
        for (const QRectF &r : e.piiRects) {
            rects.append(QJsonArray{QJsonArray{r.x(), r.y()}, QJsonArray{r.width(), r.height()}});
        }
        o.insert("piiRects", rects);
        o.insert("tags", QJsonArray::fromStringList(e.tags));
        if (e.contentHash) {
            o.insert("contentHash", *e.contentHash);
        }
        root.insert(it.key(), o);
    }
    QByteArray bytes = QJsonDocument(root).toJson(QJsonDocument::Compact);
    // Outside strings JSON has no "/", so every one is inside a string.
    bytes.replace("/", "\\/");
    return bytes;
}

std::optional<ScreenshotIndexCodec::Entries> qtDecode(const QByteArray &bytes)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (!doc.isObject()) {
        return std::nullopt;
    }
    ScreenshotIndexCodec::Entries entries;
    const QJsonObject root = doc.object();
    entries.reserve(root.size());
    for (auto it = root.begin(); it != root.end(); ++it) {
        const QJsonObject o = it.value().toObject();
        if (!o.contains("path") || !o.contains("tags")) {
            return std::nullopt;
        }
        ScreenshotIndexEntry e;
        e.path = o.value("path").toString();
        e.appName = o.value("appName").toString();
        e.timestamp = ScreenshotIndexCodec::fromReferenceSeconds(o.value("timestamp").toDouble());
        e.ocrText = o.value("ocrText").toString();
        for (const QJsonValue &r : o.value("piiRects").toArray()) {
            const QJsonArray a = r.toArray();
            const QJsonArray p = a.at(0).toArray();
            const QJsonArray s = a.at(1).toArray();
            e.piiRects.append(QRectF(p.at(0).toDouble(), p.at(1).toDouble(), s.at(0).toDouble(), s.at(1).toDouble()));
        }
        for (const QJsonValue &t : o.value("tags").toArray()) {
            e.tags.append(t.toString());
        }
        const QJsonValue hash = o.value("contentHash");
        if (hash.isString()) {
            e.contentHash = hash.toString();
        }
        entries.insert(it.key(), std::move(e));
    }
    return entries;
}

void BM_Load_RapidJSON(benchmark::State &state)
{
    Library &l = libraryOnDisk();
    for (auto _ : state) {
        auto entries = ScreenshotIndex::loadEntries(l.indexFile);
        if (entries.size() != kEntries) {
            state.SkipWithError("wrong count");
        }
        benchmark::DoNotOptimize(entries);
    }
    state.SetBytesProcessed(state.iterations() * l.encoded.size());
}

void BM_Load_QJsonDocument(benchmark::State &state)
{
    Library &l = libraryOnDisk();
    for (auto _ : state) {
        QFile f(l.indexFile);
        f.open(QIODevice::ReadOnly);
        auto entries = qtDecode(f.readAll());
        for (auto it = entries->begin(); it != entries->end();) {
            it = FileSystem::exists(it.key()) ? std::next(it) : entries->erase(it);
        }
        benchmark::DoNotOptimize(entries);
    }
    state.SetBytesProcessed(state.iterations() * l.encoded.size());
}

void BM_Decode_RapidJSON(benchmark::State &state)
{
    Library &l = library();
    for (auto _ : state) {
        benchmark::DoNotOptimize(ScreenshotIndexCodec::decode(l.encoded));
    }
    state.SetBytesProcessed(state.iterations() * l.encoded.size());
}

void BM_Decode_QJsonDocument(benchmark::State &state)
{
    Library &l = library();
    for (auto _ : state) {
        benchmark::DoNotOptimize(qtDecode(l.encoded));
    }
    state.SetBytesProcessed(state.iterations() * l.encoded.size());
}

void BM_Encode_RapidJSON(benchmark::State &state)
{
    Library &l = library();
    for (auto _ : state) {
        benchmark::DoNotOptimize(ScreenshotIndexCodec::encode(l.entries));
    }
    state.SetBytesProcessed(state.iterations() * l.encoded.size());
}

void BM_Encode_QJsonDocument(benchmark::State &state)
{
    Library &l = library();
    for (auto _ : state) {
        benchmark::DoNotOptimize(qtEncode(l.entries));
    }
    state.SetBytesProcessed(state.iterations() * l.encoded.size());
}

void BM_Save_RapidJSON(benchmark::State &state)
{
    Library &l = library();
    const QString target = l.dir.path() + "/save/index.json";
    for (auto _ : state) {
        FileSystem::createFolder(QFileInfo(target).absolutePath());
        FileSystem::writeFile(target, ScreenshotIndexCodec::encode(l.entries), true);
    }
    state.SetBytesProcessed(state.iterations() * l.encoded.size());
}

void BM_Save_QJsonDocument(benchmark::State &state)
{
    Library &l = library();
    const QString target = l.dir.path() + "/save-qt/index.json";
    for (auto _ : state) {
        FileSystem::createFolder(QFileInfo(target).absolutePath());
        FileSystem::writeFile(target, qtEncode(l.entries), true);
    }
    state.SetBytesProcessed(state.iterations() * l.encoded.size());
}

void BM_FindDuplicate(benchmark::State &state)
{
    Library &l = libraryOnDisk();
    ScreenshotIndex index(l.indexFile);
    const QString absent = ContentHash::ofBytes("not in the library");
    for (auto _ : state) {
        benchmark::DoNotOptimize(index.findDuplicate(absent, QString()));
    }
}

void BM_UpdateTagsAndScheduleSave(benchmark::State &state)
{
    Library &l = library();
    ScreenshotIndex index(l.dir.path() + "/tags/index.json");
    for (const auto &e : l.entries) {
        index.insert(e);
    }
    const QStringList keys = l.entries.keys().mid(0, 1024);
    const QStringList tags[2] = {{"Work"}, {"Work", "Receipts"}};
    int i = 0;
    for (auto _ : state) {
        index.updateTags(keys[i & 1023], tags[i & 1]);
        index.scheduleSave();
        ++i;
    }
    // The write itself (at the end, when the index goes) is not part of what is measured.
}

void BM_Sha256_10MB(benchmark::State &state)
{
    Library &l = library();
    const QString file = l.dir.path() + "/ten-megabytes.png";
    QByteArray data(10 * 1024 * 1024, Qt::Uninitialized);
    QRandomGenerator(7).fillRange(reinterpret_cast<quint32 *>(data.data()), data.size() / 4);
    FileSystem::writeFile(file, data, false);
    for (auto _ : state) {
        benchmark::DoNotOptimize(ContentHash::ofFile(file));
    }
    state.SetBytesProcessed(state.iterations() * data.size());
}

void BM_RetentionWalk_50k(benchmark::State &state)
{
    Library &l = libraryOnDisk();
    // Nothing is old enough: the pass walks and checks every file and moves none.
    const RetentionService::Config config{l.root, 30, true};
    for (auto _ : state) {
        const auto moves = RetentionService::collectExpired(config);
        if (!moves.isEmpty()) {
            state.SkipWithError("moved files");
        }
    }
}

void BM_SearchInProcess(benchmark::State &state)
{
    Library &l = libraryOnDisk();
    const auto entries = ScreenshotIndex::loadEntries(l.indexFile);
    LibrarySearch::Filter filter;
    filter.query = QStringLiteral("Quarterly REPORT draft");
    for (auto _ : state) {
        benchmark::DoNotOptimize(LibrarySearch::search(entries, filter));
    }
}

void BM_SearchCommand_EndToEnd(benchmark::State &state)
{
    Library &l = libraryOnDisk();
    const QString program = QCoreApplication::applicationDirPath() + "/../src/pictrove";
    if (!QFile::exists(program)) {
        state.SkipWithError("build the pictrove target first");
        return;
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_HOME", l.dir.path() + "/data");
    for (auto _ : state) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(program, {"search", "quarterly report draft"});
        p.waitForFinished(-1);
        benchmark::DoNotOptimize(p.readAllStandardOutput());
    }
}

} // namespace

BENCHMARK(BM_Load_RapidJSON)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load_QJsonDocument)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Decode_RapidJSON)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Decode_QJsonDocument)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Encode_RapidJSON)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Encode_QJsonDocument)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save_RapidJSON)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save_QJsonDocument)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindDuplicate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UpdateTagsAndScheduleSave)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_Sha256_10MB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RetentionWalk_50k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchInProcess)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchCommand_EndToEnd)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv); // timers for the debounced save
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
