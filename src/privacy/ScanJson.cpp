// SPDX-License-Identifier: GPL-3.0-or-later
#include "privacy/ScanJson.h"

#include "privacy/PatternMatcher.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>

namespace ScanJson {

namespace {

QByteArray number(double v) { return QByteArray::number(v, 'g', QLocale::FloatingPointShortest); }

QByteArray rects(const QList<QRectF> &list)
{
    QByteArray out = "[";
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QRectF &r = list[i];
        if (i) {
            out += ',';
        }
        out += '[' + number(r.x()) + ',' + number(r.y()) + ',' + number(r.width()) + ',' + number(r.height()) + ']';
    }
    return out + ']';
}

} // namespace

QByteArray string(const QString &text)
{
    // The toolkit's JSON writer escapes exactly as JSON requires; take the element back out.
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

QByteArray scanResult(const PIIDetector::ScanResult &result)
{
    return "{\"ocrText\": " + string(result.ocrText) + ", \"piiRects\": " + rects(result.piiRects)
        + ", \"faceRects\": " + rects(result.faceRects) + '}';
}

QByteArray lineMatches(int lineNumber, const QString &line, const TextMatches &matches)
{
    QByteArray out = "{\"line\": " + QByteArray::number(lineNumber) + ", \"matches\": [";
    for (qsizetype i = 0; i < matches.size(); ++i) {
        const TextMatch &m = matches[i];
        if (i) {
            out += ", ";
        }
        out += "{\"kind\": \"" + QByteArray(PatternMatcher::kindName(m.kind)) + "\", \"start\": "
            + QByteArray::number(m.start) + ", \"length\": " + QByteArray::number(m.length)
            + ", \"text\": " + string(line.mid(m.start, m.length)) + '}';
    }
    return out + "]}";
}

QByteArray error(const QString &message) { return "{\"error\": " + string(message) + '}'; }

} // namespace ScanJson
