// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/ScreenshotIndexCodec.h"

#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace ScreenshotIndexCodec {

namespace {

// 2001-01-01 00:00:00 UTC in milliseconds since the Unix epoch.
constexpr qint64 kReferenceEpochMs = 978307200000LL;
// About 300,000 years either way; keeps the conversion to milliseconds in range.
constexpr double kMaxSeconds = 1e13;

// For each UTF-8 byte: 0 when it is written as is, else the letter after the backslash
// ('u' for a \u00XX escape).
struct EscapeTable
{
    char code[256] = {};
    constexpr EscapeTable()
    {
        for (int c = 0; c < 0x20; ++c) {
            code[c] = 'u';
        }
        code['\b'] = 'b';
        code['\t'] = 't';
        code['\n'] = 'n';
        code['\f'] = 'f';
        code['\r'] = 'r';
        code['"'] = '"';
        code['\\'] = '\\';
        code['/'] = '/';
    }
};
constexpr EscapeTable kEscape;

// A writer whose strings escape "/" as well, as the index format asks; structure and
// numbers come from RapidJSON.
class IndexWriter : public rapidjson::Writer<rapidjson::StringBuffer>
{
public:
    using Writer::Writer;

    void escapedString(const QString &text)
    {
        Prefix(rapidjson::kStringType);
        const QByteArray utf8 = text.toUtf8();
        const char *p = utf8.constData();
        const char *const end = p + utf8.size();
        os_->Put('"');
        const char *run = p;
        for (; p != end; ++p) {
            const char code = kEscape.code[static_cast<unsigned char>(*p)];
            if (code == 0) {
                continue;
            }
            append(run, p);
            run = p + 1;
            if (code == 'u') {
                static const char digits[] = "0123456789abcdef";
                char *out = os_->Push(6);
                out[0] = '\\';
                out[1] = 'u';
                out[2] = '0';
                out[3] = '0';
                out[4] = digits[(*p >> 4) & 0xf];
                out[5] = digits[*p & 0xf];
            } else {
                char *out = os_->Push(2);
                out[0] = '\\';
                out[1] = code;
            }
        }
        append(run, end);
        os_->Put('"');
        EndValue(true);
    }

    void number(double value)
    {
        // Not representable in JSON; a rectangle or time that is not a number means nothing.
        Double(std::isfinite(value) ? value : 0.0);
    }

private:
    void append(const char *from, const char *to)
    {
        if (to > from) {
            std::memcpy(os_->Push(size_t(to - from)), from, size_t(to - from));
        }
    }
};

using Value = rapidjson::Value;

bool fail(QString *error, const QString &message)
{
    if (error) {
        *error = message;
    }
    return false;
}

// Member names may hold escaped NUL characters, so compare by length.
template <size_t N>
bool named(const Value &name, const char (&expected)[N])
{
    return name.GetStringLength() == N - 1 && std::memcmp(name.GetString(), expected, N - 1) == 0;
}

QString toQString(const Value &v) { return QString::fromUtf8(v.GetString(), qsizetype(v.GetStringLength())); }

bool readPair(const Value &v, double &a, double &b)
{
    if (!v.IsArray() || v.Size() < 2 || !v[0].IsNumber() || !v[1].IsNumber()) {
        return false;
    }
    a = v[0].GetDouble();
    b = v[1].GetDouble();
    return true;
}

bool readEntry(const Value &object, ScreenshotIndexEntry &entry, QString *error, const QString &key)
{
    if (!object.IsObject()) {
        return fail(error, QStringLiteral("entry %1 is not an object").arg(key));
    }
    enum Seen { Path = 1, AppName = 2, Timestamp = 4, OcrText = 8, PiiRects = 16, Tags = 32, All = 63 };
    int seen = 0;
    for (auto m = object.MemberBegin(); m != object.MemberEnd(); ++m) {
        const Value &v = m->value;
        if (named(m->name, "path")) {
            if (!v.IsString()) {
                return fail(error, QStringLiteral("\"path\" of %1 is not a string").arg(key));
            }
            entry.path = toQString(v);
            seen |= Path;
        } else if (named(m->name, "appName")) {
            if (!v.IsString()) {
                return fail(error, QStringLiteral("\"appName\" of %1 is not a string").arg(key));
            }
            entry.appName = toQString(v);
            seen |= AppName;
        } else if (named(m->name, "timestamp")) {
            if (!v.IsNumber()) {
                return fail(error, QStringLiteral("\"timestamp\" of %1 is not a number").arg(key));
            }
            entry.timestamp = fromReferenceSeconds(v.GetDouble());
            seen |= Timestamp;
        } else if (named(m->name, "ocrText")) {
            if (!v.IsString()) {
                return fail(error, QStringLiteral("\"ocrText\" of %1 is not a string").arg(key));
            }
            entry.ocrText = toQString(v);
            seen |= OcrText;
        } else if (named(m->name, "piiRects")) {
            if (!v.IsArray()) {
                return fail(error, QStringLiteral("\"piiRects\" of %1 is not an array").arg(key));
            }
            entry.piiRects.clear();
            entry.piiRects.reserve(qsizetype(v.Size()));
            for (const Value &r : v.GetArray()) {
                double x, y, w, h;
                if (!r.IsArray() || r.Size() < 2 || !readPair(r[0], x, y) || !readPair(r[1], w, h)) {
                    return fail(error, QStringLiteral("a rectangle of %1 is not [[x,y],[w,h]]").arg(key));
                }
                entry.piiRects.append(QRectF(x, y, w, h));
            }
            seen |= PiiRects;
        } else if (named(m->name, "tags")) {
            if (!v.IsArray()) {
                return fail(error, QStringLiteral("\"tags\" of %1 is not an array").arg(key));
            }
            entry.tags.clear();
            entry.tags.reserve(qsizetype(v.Size()));
            for (const Value &t : v.GetArray()) {
                if (!t.IsString()) {
                    return fail(error, QStringLiteral("a tag of %1 is not a string").arg(key));
                }
                entry.tags.append(toQString(t));
            }
            seen |= Tags;
        } else if (named(m->name, "contentHash")) {
            if (v.IsNull()) {
                entry.contentHash.reset();
            } else if (v.IsString()) {
                entry.contentHash = toQString(v);
            } else {
                return fail(error, QStringLiteral("\"contentHash\" of %1 is not a string").arg(key));
            }
        }
    }
    if (seen != All) {
        static const char *const names[] = {"path", "appName", "timestamp", "ocrText", "piiRects", "tags"};
        for (int i = 0; i < 6; ++i) {
            if (!(seen & (1 << i))) {
                return fail(error, QStringLiteral("entry %1 has no \"%2\"").arg(key, QLatin1String(names[i])));
            }
        }
    }
    return true;
}

} // namespace

double toReferenceSeconds(const QDateTime &moment)
{
    return double(moment.toMSecsSinceEpoch() - kReferenceEpochMs) / 1000.0;
}

QDateTime fromReferenceSeconds(double seconds)
{
    if (!std::isfinite(seconds)) {
        seconds = 0;
    }
    seconds = std::clamp(seconds, -kMaxSeconds, kMaxSeconds);
    return QDateTime::fromMSecsSinceEpoch(std::llround(seconds * 1000.0) + kReferenceEpochMs, Qt::UTC);
}

QByteArray encode(const Entries &entries)
{
    rapidjson::StringBuffer buffer;
    IndexWriter writer(buffer);
    writer.StartObject();
    for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
        const ScreenshotIndexEntry &e = it.value();
        writer.escapedString(it.key());
        writer.StartObject();
        writer.Key("path");
        writer.escapedString(e.path);
        writer.Key("appName");
        writer.escapedString(e.appName);
        writer.Key("timestamp");
        writer.number(toReferenceSeconds(e.timestamp));
        writer.Key("ocrText");
        writer.escapedString(e.ocrText);
        writer.Key("piiRects");
        writer.StartArray();
        for (const QRectF &r : e.piiRects) {
            writer.StartArray();
            writer.StartArray();
            writer.number(r.x());
            writer.number(r.y());
            writer.EndArray();
            writer.StartArray();
            writer.number(r.width());
            writer.number(r.height());
            writer.EndArray();
            writer.EndArray();
        }
        writer.EndArray();
        writer.Key("tags");
        writer.StartArray();
        for (const QString &t : e.tags) {
            writer.escapedString(t);
        }
        writer.EndArray();
        if (e.contentHash) {
            writer.Key("contentHash");
            writer.escapedString(*e.contentHash);
        }
        writer.EndObject();
    }
    writer.EndObject();
    return QByteArray(buffer.GetString(), qsizetype(buffer.GetSize()));
}

std::optional<Entries> decode(QByteArray bytes, QString *error)
{
    // The in-place parser stops at a NUL byte; such a file is not JSON.
    if (std::memchr(bytes.constData(), 0, size_t(bytes.size())) != nullptr) {
        fail(error, QStringLiteral("NUL byte in the file"));
        return std::nullopt;
    }
    rapidjson::Document doc;
    // Iterative: deeply nested input must not exhaust the stack.
    doc.ParseInsitu<rapidjson::kParseFullPrecisionFlag | rapidjson::kParseIterativeFlag>(bytes.data());
    if (doc.HasParseError()) {
        fail(error, QStringLiteral("not JSON (error %1 at offset %2)").arg(int(doc.GetParseError())).arg(doc.GetErrorOffset()));
        return std::nullopt;
    }
    if (!doc.IsObject()) {
        fail(error, QStringLiteral("the top level is not an object"));
        return std::nullopt;
    }
    Entries entries;
    entries.reserve(qsizetype(doc.MemberCount()));
    for (auto m = doc.MemberBegin(); m != doc.MemberEnd(); ++m) {
        const QString key = toQString(m->name);
        ScreenshotIndexEntry entry;
        if (!readEntry(m->value, entry, error, key)) {
            return std::nullopt;
        }
        entries.insert(key, std::move(entry));
    }
    return entries;
}

} // namespace ScreenshotIndexCodec
