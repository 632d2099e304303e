// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Scoring of scans against the rendered fixture screenshots: which planted items the
// rectangles hide, which decoys they wrongly hide, and how well the text was read. Shared by
// the fixture tests and the accuracy report of the privacy benchmark.

#include "privacy/PIIDetector.h"
#include "privacy/PatternMatcher.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QRect>
#include <QRegion>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <vector>

namespace FixtureScore {

struct Item
{
    QString kind;  // empty for a decoy
    QString decoy; // empty for a planted item
    QString text;
    QRectF rect; // the element's box, in image pixels
    QList<QRectF> parts; // the box of each line of an item wrapped over lines; else empty
};

struct Fixture
{
    QString name;
    QImage image;
    QList<Item> items;
    QString text; // the page's visible text
};

inline QString fixtureDir()
{
    // The environment may name another source tree; otherwise the one the program was built from.
    const QString fromEnv = qEnvironmentVariable("PICTROVE_SOURCE_DIR");
    if (!fromEnv.isEmpty()) {
        return fromEnv + QStringLiteral("/tests/fixtures/privacy");
    }
#ifdef PICTROVE_SOURCE_DIR
    return QStringLiteral(PICTROVE_SOURCE_DIR "/tests/fixtures/privacy");
#else
    return QFileInfo(QStringLiteral(__FILE__)).absolutePath() + QStringLiteral("/../fixtures/privacy");
#endif
}

inline QStringList fixtureNames()
{
    return {QStringLiteral("contacts-light-13px-1x"), QStringLiteral("contacts-dark-15px-2x"),
            QStringLiteral("terminal-dark-14px-1x"),  QStringLiteral("terminal-light-12px-2x"),
            QStringLiteral("billing-light-11px-1x"),  QStringLiteral("billing-dark-18px-2x"),
            QStringLiteral("logs-light-13px-1x"),     QStringLiteral("logs-dark-13px-2x")};
}

// The screens of the kinds users capture (CRM, checkout, terminal, editor, social feed,
// asset sheet, help desk; four looks each), tuned on, and two pages held out: no detector change is judged on those.
inline QStringList looksOf(std::initializer_list<const char *> pages)
{
    QStringList out;
    for (const char *page : pages) {
        for (const char *look : {"-light-13px-1x", "-dark-15px-2x", "-dark-12px-1x", "-light-16px-2x"}) {
            out << QString::fromLatin1(page) + QLatin1String(look);
        }
    }
    return out;
}

inline QStringList tunedScreenNames() { return looksOf({"crm", "checkout", "netstat", "editor", "feed", "inventory", "support"}); }
inline QStringList heldOutNames() { return looksOf({"chat", "sheet"}); }

inline Fixture load(const QString &name)
{
    Fixture f;
    f.name = name;
    f.image = QImage(fixtureDir() + QLatin1Char('/') + name + QStringLiteral(".png"));
    QFile json(fixtureDir() + QLatin1Char('/') + name + QStringLiteral(".json"));
    if (!json.open(QIODevice::ReadOnly)) {
        return f;
    }
    const QJsonObject root = QJsonDocument::fromJson(json.readAll()).object();
    f.text = root.value(QStringLiteral("text")).toString();
    for (const QJsonValue &v : root.value(QStringLiteral("items")).toArray()) {
        const QJsonObject o = v.toObject();
        auto rect = [](const QJsonValue &v) {
            const QJsonArray r = v.toArray();
            return QRectF(r.at(0).toDouble(), r.at(1).toDouble(), r.at(2).toDouble(), r.at(3).toDouble());
        };
        Item item{o.value(QStringLiteral("kind")).toString(), o.value(QStringLiteral("decoy")).toString(),
                  o.value(QStringLiteral("text")).toString(), rect(o.value(QStringLiteral("rect"))), {}};
        for (const QJsonValue &part : o.value(QStringLiteral("parts")).toArray()) {
            item.parts << rect(part);
        }
        f.items.append(item);
    }
    return f;
}

// The pixels of the item that differ clearly from its background: what a viewer would read.
// Text over a photo or a gradient has no single background colour, so a pixel must also differ
// from the background its column shows at the item's top and bottom edges (between lines).
inline std::vector<QPoint> inkPixels(const QImage &image, const QRectF &area)
{
    const QRect r = area.toAlignedRect().intersected(image.rect());
    std::vector<QPoint> ink;
    if (r.isEmpty()) {
        return ink;
    }
    const QImage grey = image.copy(r).convertToFormat(QImage::Format_Grayscale8);
    int histogram[256] = {};
    for (int y = 0; y < grey.height(); ++y) {
        for (int x = 0; x < grey.width(); ++x) {
            ++histogram[grey.constScanLine(y)[x]];
        }
    }
    const int background = int(std::max_element(histogram, histogram + 256) - histogram);
    const uchar *top = grey.constScanLine(0);
    const uchar *bottom = grey.constScanLine(grey.height() - 1);
    for (int y = 0; y < grey.height(); ++y) {
        const double along = grey.height() > 1 ? double(y) / (grey.height() - 1) : 0.0;
        for (int x = 0; x < grey.width(); ++x) {
            const int value = grey.constScanLine(y)[x];
            const double edge = top[x] + (bottom[x] - top[x]) * along;
            if (std::abs(value - background) > 60 && std::abs(value - edge) > 60) {
                ink.emplace_back(r.x() + x, r.y() + y);
            }
        }
    }
    return ink;
}

inline double coverage(const QImage &image, const QList<QRectF> &areas, const QList<QRectF> &rects)
{
    std::vector<QPoint> ink;
    for (const QRectF &area : areas) {
        const std::vector<QPoint> more = inkPixels(image, area);
        ink.insert(ink.end(), more.begin(), more.end());
    }
    if (ink.empty()) {
        return 1.0;
    }
    size_t covered = 0;
    for (const QPoint &p : ink) {
        const QPointF centre(p.x() + 0.5, p.y() + 0.5);
        for (const QRectF &r : rects) {
            if (r.contains(centre)) {
                ++covered;
                break;
            }
        }
    }
    return double(covered) / double(ink.size());
}

// Edit distance from needle to the best-matching stretch of haystack.
inline int substringDistance(const QString &needle, const QString &haystack)
{
    std::vector<int> prev(size_t(needle.size()) + 1), cur(prev.size());
    for (size_t i = 0; i < prev.size(); ++i) {
        prev[i] = int(i);
    }
    int best = int(needle.size());
    for (QChar h : haystack) {
        cur[0] = 0;
        for (qsizetype i = 1; i <= needle.size(); ++i) {
            const int sub = prev[size_t(i - 1)] + (needle[i - 1] == h ? 0 : 1);
            cur[size_t(i)] = std::min({sub, prev[size_t(i)] + 1, cur[size_t(i - 1)] + 1});
        }
        best = std::min(best, cur[size_t(needle.size())]);
        std::swap(prev, cur);
    }
    return best;
}

inline QString collapse(QString s) { return s.simplified(); }

struct Score
{
    QMap<QString, int> planted;  // kind -> items
    QMap<QString, int> covered;  // kind -> items with >= 99 % of their ink under rectangles
    QMap<QString, int> touched;  // kind -> items with any ink under a rectangle
    int decoys = 0;
    int decoyHits = 0;           // rectangles over a decoy's ink (not also over a planted item)
    QStringList misses;          // "kind: text (coverage)"
    QStringList decoyNames;
    int cerErrors = 0;
    int cerLength = 0;

    double cer() const { return cerLength ? double(cerErrors) / cerLength : 0.0; }
};

inline void scoreInto(const Fixture &f, const PIIDetector::ScanResult &result, Score &s)
{
    for (const Item &item : f.items) {
        if (!item.kind.isEmpty()) {
            const double c = coverage(f.image, item.parts.isEmpty() ? QList<QRectF>{item.rect} : item.parts, result.piiRects);
            ++s.planted[item.kind];
            if (c >= 0.99) {
                ++s.covered[item.kind];
            } else {
                QString near;
                for (const QRectF &r : result.piiRects) {
                    if (r.intersects(item.rect)) {
                        near += QStringLiteral(" [%1,%2 %3x%4]").arg(r.x(), 0, 'f', 0).arg(r.y(), 0, 'f', 0).arg(r.width(), 0, 'f', 0).arg(r.height(), 0, 'f', 0);
                    }
                }
                s.misses << QStringLiteral("%1 %2: %3 (%4 %) item [%5,%6 %7x%8]%9").arg(f.name, item.kind, item.text).arg(c * 100, 0, 'f', 1)
                    .arg(item.rect.x(), 0, 'f', 0).arg(item.rect.y(), 0, 'f', 0).arg(item.rect.width(), 0, 'f', 0).arg(item.rect.height(), 0, 'f', 0).arg(near);
            }
            if (c > 0) {
                ++s.touched[item.kind];
            }
        } else {
            ++s.decoys;
            for (const QRectF &r : result.piiRects) {
                bool onPlanted = false;
                for (const Item &p : f.items) {
                    onPlanted = onPlanted || (!p.kind.isEmpty() && r.intersects(p.rect));
                }
                if (!onPlanted && coverage(f.image, item.parts.isEmpty() ? QList<QRectF>{item.rect} : item.parts, {r}) > 0.2) {
                    ++s.decoyHits;
                    s.decoyNames << QStringLiteral("%1 %2: %3").arg(f.name, item.decoy, item.text);
                }
            }
        }
    }
    // Text: each visible cell of the page (columns are set apart by tabs or runs of spaces)
    // against the best stretch of the recognised text.
    const QString ocr = collapse(result.ocrText);
    for (const QString &cell : f.text.split(QRegularExpression(QStringLiteral("[\\n\\t]|  +")), Qt::SkipEmptyParts)) {
        const QString want = collapse(cell);
        if (want.isEmpty()) {
            continue;
        }
        s.cerErrors += substringDistance(want, ocr);
        s.cerLength += int(want.size());
    }
}

// One row of lines.tsv: a text line and the stretch of one kind it must yield, or a decoy
// (kind "decoy", expected naming what it is) on which nothing may be found.
struct LineRow
{
    QString part, kind, expected, line;
    bool knownMiss = false; // a fifth column "known-miss": measured, not required
};

inline QList<LineRow> loadLines()
{
    QList<LineRow> rows;
    QFile file(fixtureDir() + QStringLiteral("/lines.tsv"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return rows;
    }
    for (const QString &text : QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts)) {
        const QStringList c = text.split(u'\t');
        if (!text.startsWith(u'#') && c.size() >= 4) {
            rows.append({c[0], c[1], c[2], c[3], c.size() > 4 && c[4] == QLatin1String("known-miss")});
        }
    }
    return rows;
}

// A planted row is found when a match of its kind covers its expected stretch; a decoy is
// boxed by any match.
inline bool lineHit(const LineRow &row, const TextMatches &matches)
{
    if (row.kind == QLatin1String("decoy")) {
        return !matches.isEmpty();
    }
    const qsizetype at = row.line.indexOf(row.expected);
    return at >= 0 && std::any_of(matches.cbegin(), matches.cend(), [&](const TextMatch &m) {
        return row.kind == QLatin1String(PatternMatcher::kindName(m.kind)) && m.start <= at && m.end() >= at + row.expected.size();
    });
}

inline TextMatches matchLine(const LineRow &row)
{
    return PatternMatcher::findInRecognizedLine(row.line, PIITypes::fromInt(kTextPIITypesMask));
}

} // namespace FixtureScore
