// SPDX-License-Identifier: GPL-3.0-or-later
// Scan time of dense screenshots (1920x1080, 2560x1600 and 2880x1800) against the plain Tesseract command
// line run with OMP_THREAD_LIMIT=1, and, with --accuracy, the detection figures on the
// rendered fixtures.
//   bench_privacy                       timings
//   bench_privacy --accuracy [--part tuned|held-out] [--only NAME-PART] [--scale S] [--psm N] [--bands N] [--invert 0|1]
//   bench_privacy --faces               faces found per avatar size on composed screens, tuned and
//                                       held-out layouts
//   bench_privacy --lines NAME          the recognised lines of one fixture with their boxes, and
//                                       the addresses found across them
//   bench_privacy --table [--part tuned|held-out]
//                                       the single lines of lines.tsv through the pattern matcher:
//                                       per kind found/planted, decoys boxed, and each miss
#include "../tests/common/FaceScreens.h"
#include "../tests/privacy/FixtureScore.h"
#include "privacy/AddressDetector.h"
#include "privacy/FaceDetector.h"
#include "privacy/PIIDetector.h"
#include "privacy/PatternMatcher.h"
#include "privacy/ScanPipeline.h"
#include "privacy/TesseractEnginePool.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>

#include <cstdio>
#include <cstring>

namespace {

const QString kDense1x = QStringLiteral("logs-light-13px-1x");
const QString kDense2x = QStringLiteral("logs-dark-13px-2x");
const QString kLaptop2x = QStringLiteral("logs-light-13px-2x"); // 2560x1600

void scanFixture(benchmark::State &state, const QString &name)
{
    const FixtureScore::Fixture f = FixtureScore::load(name);
    if (f.image.isNull()) {
        state.SkipWithError("fixture image not found");
        return;
    }
    const auto all = PIITypes::fromInt(kAllPIITypesMask);
    PIIDetector::scanNow(f.image, all, true); // engines started, as in the running application
    for (auto _ : state) {
        benchmark::DoNotOptimize(PIIDetector::scanNow(f.image, all, true));
    }
}

void tesseractCli(benchmark::State &state, const QString &name)
{
    const QString path = FixtureScore::fixtureDir() + QLatin1Char('/') + name + QStringLiteral(".png");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("OMP_THREAD_LIMIT"), QStringLiteral("1"));
    for (auto _ : state) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral("tesseract"), {path, QStringLiteral("stdout"), QStringLiteral("--psm"), QStringLiteral("11")});
        p.waitForFinished(-1);
        if (p.exitCode() != 0) {
            state.SkipWithError("tesseract failed");
        }
    }
}

// Pattern matching alone over the recognised lines of the dense screen (all text kinds).
void BM_FindSensitiveRanges(benchmark::State &state)
{
    const FixtureScore::Fixture f = FixtureScore::load(kDense1x);
    QStringList lines;
    for (const RecognizedLine &l : TextRecognizer::recognize(f.image)) {
        lines << l.text;
    }
    for (auto _ : state) {
        for (const QString &line : lines) {
            benchmark::DoNotOptimize(PatternMatcher::findInRecognizedLine(line, PIITypes::fromInt(kTextPIITypesMask)));
        }
    }
    state.counters["lines"] = double(lines.size());
}
BENCHMARK(BM_FindSensitiveRanges)->Unit(benchmark::kMillisecond);

// Addresses across the recognised lines of the dense screen: the geometry of every pair of lines.
void BM_AddressesAcrossLines(benchmark::State &state)
{
    const QList<RecognizedLine> lines = TextRecognizer::recognize(FixtureScore::load(kDense1x).image);
    for (auto _ : state) {
        benchmark::DoNotOptimize(AddressDetector::findAcrossLines(lines));
    }
    state.counters["lines"] = double(lines.size());
}
BENCHMARK(BM_AddressesAcrossLines)->Unit(benchmark::kMillisecond);

void BM_Faces_1920x1080(benchmark::State &state)
{
    const FixtureScore::Fixture f = FixtureScore::load(kDense1x);
    for (auto _ : state) {
        benchmark::DoNotOptimize(FaceDetector::detect(f.image));
    }
}
BENCHMARK(BM_Faces_1920x1080)->Unit(benchmark::kMillisecond);

// A chat list of 48-point avatars over the dense 2x screen.
void BM_Faces_ChatAvatars_2880x1800(benchmark::State &state)
{
    const FixtureScore::Fixture f = FixtureScore::load(kDense2x);
    const QImage screen = FaceScreens::compose(f.image, f.items, FaceScreens::Layout::chat, 48, 2, 0, 7).image;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FaceDetector::detect(screen));
    }
}
BENCHMARK(BM_Faces_ChatAvatars_2880x1800)->Unit(benchmark::kMillisecond);

void BM_Scan_1920x1080(benchmark::State &s) { scanFixture(s, kDense1x); }
void BM_Scan_2880x1800(benchmark::State &s) { scanFixture(s, kDense2x); }
void BM_TesseractCli_1920x1080(benchmark::State &s) { tesseractCli(s, kDense1x); }
void BM_TesseractCli_2880x1800(benchmark::State &s) { tesseractCli(s, kDense2x); }
void BM_Scan_2560x1600(benchmark::State &s) { scanFixture(s, kLaptop2x); }
void BM_TesseractCli_2560x1600(benchmark::State &s) { tesseractCli(s, kLaptop2x); }

BENCHMARK(BM_Scan_1920x1080)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);
BENCHMARK(BM_TesseractCli_1920x1080)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);
BENCHMARK(BM_Scan_2560x1600)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);
BENCHMARK(BM_TesseractCli_2560x1600)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);
BENCHMARK(BM_Scan_2880x1800)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);
BENCHMARK(BM_TesseractCli_2880x1800)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

int accuracy(int argc, char **argv)
{
    TextRecognizer::Options options;
    QString only;
    for (int i = 1; i + 1 < argc; ++i) {
        if (!std::strcmp(argv[i], "--only")) only = QString::fromLocal8Bit(argv[i + 1]);
        if (!std::strcmp(argv[i], "--scale")) options.scale = std::atof(argv[i + 1]);
        if (!std::strcmp(argv[i], "--psm")) options.pageSegMode = std::atoi(argv[i + 1]);
        if (!std::strcmp(argv[i], "--bands")) options.bands = std::atoi(argv[i + 1]);
        if (!std::strcmp(argv[i], "--invert")) options.invert = std::atoi(argv[i + 1]);
    }
    QString part = QStringLiteral("tuned");
    for (int i = 1; i + 1 < argc; ++i) {
        if (!std::strcmp(argv[i], "--part")) part = QString::fromLocal8Bit(argv[i + 1]);
    }
    if (part != QLatin1String("tuned") && part != QLatin1String("held-out")) {
        std::fprintf(stderr, "bench_privacy: --part is tuned or held-out, not %s\n", qPrintable(part));
        return 2;
    }
    // "tuned": the first fixtures and the tuned screens; "held-out": the screens never tuned on.
    const QStringList names = part == QLatin1String("held-out")
        ? FixtureScore::heldOutNames()
        : FixtureScore::fixtureNames() + FixtureScore::tunedScreenNames();
    std::printf("part %s\n", qPrintable(part));
    FixtureScore::Score total;
    qint64 ms = 0;
    for (const QString &name : names) {
        if (!name.contains(only)) {
            continue;
        }
        const FixtureScore::Fixture f = FixtureScore::load(name);
        if (f.image.isNull() || f.items.isEmpty()) {
            // A missing fixture would otherwise count as nothing planted and nothing missed.
            std::fprintf(stderr, "bench_privacy: cannot read the fixture %s in %s (set PICTROVE_SOURCE_DIR to the source tree)\n",
                         qPrintable(name), qPrintable(FixtureScore::fixtureDir()));
            return 1;
        }
        QElapsedTimer t;
        t.start();
        const PIIDetector::ScanResult r =
            PIIDetector::runScan(f.image, PIITypes::fromInt(kAllPIITypesMask & ~PIIType::faces), true, options);
        const qint64 took = t.elapsed();
        ms += took;
        FixtureScore::Score one;
        FixtureScore::scoreInto(f, r, one);
        FixtureScore::scoreInto(f, r, total);
        int planted = 0, covered = 0;
        for (int v : one.planted) planted += v;
        for (int v : one.covered) covered += v;
        std::printf("%-24s %5lld ms  covered %2d/%2d  decoy rects %d  CER %.2f %%\n", qPrintable(name), took,
                    covered, planted, one.decoyHits, one.cer() * 100);
    }
    if (total.planted.isEmpty()) {
        std::fprintf(stderr, "bench_privacy: no fixture of part %s matches --only %s\n", qPrintable(part), qPrintable(only));
        return 1;
    }
    std::printf("\nkind          covered  touched  planted\n");
    for (auto it = total.planted.cbegin(); it != total.planted.cend(); ++it) {
        std::printf("%-12s  %5.1f %%  %5.1f %%  %4d\n", qPrintable(it.key()), 100.0 * total.covered.value(it.key()) / it.value(),
                    100.0 * total.touched.value(it.key()) / it.value(), it.value());
    }
    std::printf("decoys %d, rectangles on decoys %d; CER %.2f %%; total %lld ms\n", total.decoys, total.decoyHits,
                total.cer() * 100, ms);
    for (const QString &m : total.misses) std::printf("  miss  %s\n", qPrintable(m));
    for (const QString &m : total.decoyNames) std::printf("  decoy %s\n", qPrintable(m));
    return 0;
}

int table(int argc, char **argv)
{
    QString part = QStringLiteral("tuned");
    for (int i = 1; i + 1 < argc; ++i) {
        if (!std::strcmp(argv[i], "--part")) part = QString::fromLocal8Bit(argv[i + 1]);
    }
    const QList<FixtureScore::LineRow> rows = FixtureScore::loadLines();
    if (rows.isEmpty() || (part != QLatin1String("tuned") && part != QLatin1String("held-out"))) {
        std::fprintf(stderr, "bench_privacy: no lines.tsv in %s, or --part %s is not tuned or held-out\n",
                     qPrintable(FixtureScore::fixtureDir()), qPrintable(part));
        return 2;
    }
    QMap<QString, int> planted, found;
    int decoys = 0, boxed = 0;
    QStringList notes;
    for (const FixtureScore::LineRow &row : rows) {
        if (row.part != part) {
            continue;
        }
        const TextMatches matches = FixtureScore::matchLine(row);
        const bool hit = FixtureScore::lineHit(row, matches);
        const bool decoy = row.kind == QLatin1String("decoy");
        decoys += decoy;
        boxed += decoy && hit;
        planted[row.kind] += !decoy;
        found[row.kind] += !decoy && hit;
        if (decoy == hit) {
            QStringList got;
            for (const TextMatch &m : matches) {
                got << QString::fromLatin1(PatternMatcher::kindName(m.kind)) + QLatin1Char(':') + row.line.mid(m.start, m.length);
            }
            notes << QStringLiteral("  %1 %2 %3: %4  [found %5]").arg(decoy ? QStringLiteral("boxed") : QStringLiteral("miss "), row.kind,
                                                                      row.expected, row.line, got.join(QStringLiteral(", ")));
        }
    }
    std::printf("part %s\nkind          found\n", qPrintable(part));
    for (auto it = planted.cbegin(); it != planted.cend(); ++it) {
        if (it.key() != QLatin1String("decoy")) {
            std::printf("%-12s  %2d/%2d\n", qPrintable(it.key()), found.value(it.key()), it.value());
        }
    }
    std::printf("decoys boxed  %2d/%2d\n", boxed, decoys);
    for (const QString &n : notes) std::printf("%s\n", qPrintable(n));
    return 0;
}

struct FaceCase
{
    const char *fixture;
    FaceScreens::Layout layout;
    double scale;
    int first;
};

int faces()
{
    using L = FaceScreens::Layout;
    const QList<FaceCase> tuned{{"crm-light-13px-1x", L::chat, 1, 0}, {"crm-dark-12px-1x", L::chat, 1, 2},
                                {"contacts-light-13px-1x", L::profile, 1, 4}};
    const QList<FaceCase> heldOut{{"chat-dark-15px-2x", L::chat, 2, 1},      {"checkout-light-16px-2x", L::call, 2, 3},
                                  {"editor-dark-12px-1x", L::call, 1, 5},    {"sheet-light-13px-1x", L::profile, 1, 6}};
    for (const auto &[part, cases] : {std::pair{"tuned", tuned}, std::pair{"held-out", heldOut}}) {
        std::printf("part %s\n size  found  strays   ms\n", part);
        for (int size : {32, 40, 48, 64, 80}) {
            int found = 0, planted = 0, strays = 0;
            qint64 ms = 0;
            for (const FaceCase &c : cases) {
                const FixtureScore::Fixture f = FixtureScore::load(QLatin1String(c.fixture));
                const FaceScreens::Screen s = FaceScreens::compose(f.image, f.items, c.layout, size, c.scale, c.first, 7);
                QElapsedTimer t;
                t.start();
                QList<QRectF> boxes;
                for (const QRectF &face : FaceDetector::detect(s.image)) {
                    boxes << FaceDetector::padded(face);
                }
                ms += t.elapsed();
                const auto [hit, stray] = FaceScreens::score(s.faces, boxes);
                found += hit;
                strays += stray;
                planted += int(s.faces.size());
                if (qEnvironmentVariableIsSet("PICTROVE_FACE_SHOTS")) {
                    s.image.save(QStringLiteral("/tmp/faces-%1-%2.png").arg(QLatin1String(c.fixture)).arg(size));
                }
            }
            std::printf("%5d  %2d/%2d  %6d  %4lld\n", size, found, planted, strays, ms);
        }
    }
    return 0;
}

int printLines(const QString &name)
{
    const FixtureScore::Fixture f = FixtureScore::load(name);
    if (f.image.isNull()) {
        std::fprintf(stderr, "bench_privacy: cannot read the fixture %s\n", qPrintable(name));
        return 1;
    }
    const QList<RecognizedLine> lines = TextRecognizer::recognize(f.image);
    for (const RecognizedLine &l : lines) {
        std::printf("%6.0f %6.0f %5.0f %4.0f  %s\n", l.box.x(), l.box.y(), l.box.width(), l.box.height(), qPrintable(l.text));
    }
    for (const AddressDetector::Block &b : AddressDetector::findAcrossLines(lines)) {
        std::printf("address %6.0f %6.0f %5.0f %4.0f  %s\n", b.box.x(), b.box.y(), b.box.width(), b.box.height(),
                    qPrintable(b.lines.join(QStringLiteral(" / "))));
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--lines") && i + 1 < argc) {
            return printLines(QString::fromLocal8Bit(argv[i + 1]));
        }
        if (!std::strcmp(argv[i], "--faces")) {
            return faces();
        }
        if (!std::strcmp(argv[i], "--table")) {
            return table(argc, argv);
        }
        if (!std::strcmp(argv[i], "--accuracy")) {
            return accuracy(argc, argv);
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
