// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/ScreenshotIndexCodec.h"

#include <rapidjson/document.h>
#include <rapidjson/writer.h>

#include <algorithm>
#ifdef __SSE2__
#include <emmintrin.h>
#endif
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

// Output into one growing QByteArray that becomes the result without a copy.
class ByteStream
{
public:
    using Ch = char;

    explicit ByteStream(qsizetype capacity) { grow(capacity); }

    void Put(char c)
    {
        if (m_used == m_bytes.size()) {
            grow(1);
        }
        m_data[m_used++] = c;
    }
    void Flush() {}

    // Room for at least n more bytes; commit() says how many were written.
    char *reserve(qsizetype n)
    {
        if (m_bytes.size() - m_used < n) {
            grow(n);
        }
        return m_data + m_used;
    }
    void commit(char *end) { m_used = end - m_data; }

    QByteArray take()
    {
        m_bytes.truncate(m_used);
        return std::move(m_bytes);
    }

private:
    void grow(qsizetype atLeast)
    {
        m_bytes.resize(std::max(m_bytes.size() * 2, m_used + atLeast));
        m_data = m_bytes.data();
    }

    QByteArray m_bytes;
    char *m_data = nullptr;
    qsizetype m_used = 0;
};

// A writer whose strings escape "/" as well, as the index format asks; structure and
// numbers come from RapidJSON. Strings go from UTF-16 to escaped UTF-8 in one pass.
class IndexWriter : public rapidjson::Writer<ByteStream>
{
public:
    using Writer::Writer;

    void escapedString(const QString &text)
    {
        Prefix(rapidjson::kStringType);
        const char16_t *p = reinterpret_cast<const char16_t *>(text.constData());
        const char16_t *const end = p + text.size();
        // Worst case: six bytes per unit (\u00XX), plus the quotes.
        char *const start = os_->reserve(text.size() * 6 + 2);
        char *out = start;
        *out++ = '"';
        while (p != end) {
#ifdef __SSE2__
            // Recognised text is mostly plain ASCII: copy eight units at a time while none
            // of them needs an escape or more than one byte.
            while (end - p >= 8) {
                const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
                const __m128i special = _mm_or_si128(
                    _mm_or_si128(_mm_and_si128(units, _mm_set1_epi16(short(0xff80))),
                                 _mm_cmplt_epi16(units, _mm_set1_epi16(0x20))),
                    _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(units, _mm_set1_epi16('"')),
                                              _mm_cmpeq_epi16(units, _mm_set1_epi16('\\'))),
                                 _mm_cmpeq_epi16(units, _mm_set1_epi16('/'))));
                if (_mm_movemask_epi8(_mm_cmpeq_epi16(special, _mm_setzero_si128())) != 0xffff) {
                    break;
                }
                _mm_storel_epi64(reinterpret_cast<__m128i *>(out), _mm_packus_epi16(units, units));
                out += 8;
                p += 8;
            }
            if (p == end) {
                break;
            }
#endif
            const char16_t c = *p++;
            if (c < 0x80) {
                const char code = kEscape.code[c];
                if (code == 0) {
                    *out++ = char(c);
                } else if (code == 'u') {
                    static const char digits[] = "0123456789abcdef";
                    *out++ = '\\';
                    *out++ = 'u';
                    *out++ = '0';
                    *out++ = '0';
                    *out++ = digits[c >> 4];
                    *out++ = digits[c & 0xf];
                } else {
                    *out++ = '\\';
                    *out++ = code;
                }
            } else if (c < 0x800) {
                *out++ = char(0xc0 | (c >> 6));
                *out++ = char(0x80 | (c & 0x3f));
            } else if (c >= 0xd800 && c <= 0xdfff) {
                if (c <= 0xdbff && p != end && *p >= 0xdc00 && *p <= 0xdfff) {
                    const char32_t u = 0x10000 + ((char32_t(c) - 0xd800) << 10) + (char32_t(*p++) - 0xdc00);
                    *out++ = char(0xf0 | (u >> 18));
                    *out++ = char(0x80 | ((u >> 12) & 0x3f));
                    *out++ = char(0x80 | ((u >> 6) & 0x3f));
                    *out++ = char(0x80 | (u & 0x3f));
                } else {
                    // A lone surrogate has no UTF-8 form: U+FFFD, as Qt's own conversion does.
                    *out++ = char(0xef);
                    *out++ = char(0xbf);
                    *out++ = char(0xbd);
                }
            } else {
                *out++ = char(0xe0 | (c >> 12));
                *out++ = char(0x80 | ((c >> 6) & 0x3f));
                *out++ = char(0x80 | (c & 0x3f));
            }
        }
        *out++ = '"';
        os_->commit(out);
        EndValue(true);
    }

    void number(double value)
    {
        // Not representable in JSON; a rectangle or time that is not a number means nothing.
        Double(std::isfinite(value) ? value : 0.0);
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
    const auto wrong = [&](const char *member, const char *kind) {
        return fail(error, QStringLiteral("\"%1\" of %2 is not %3").arg(QLatin1String(member), key, QLatin1String(kind)));
    };
    const auto readString = [&](const Value &v, const char *member, QString &out, int bit) {
        if (!v.IsString()) {
            return wrong(member, "a string");
        }
        out = toQString(v);
        seen |= bit;
        return true;
    };
    for (auto m = object.MemberBegin(); m != object.MemberEnd(); ++m) {
        const Value &v = m->value;
        if (named(m->name, "path")) {
            if (!readString(v, "path", entry.path, Path)) {
                return false;
            }
        } else if (named(m->name, "appName")) {
            if (!readString(v, "appName", entry.appName, AppName)) {
                return false;
            }
        } else if (named(m->name, "timestamp")) {
            if (!v.IsNumber()) {
                return wrong("timestamp", "a number");
            }
            entry.timestamp = fromReferenceSeconds(v.GetDouble());
            seen |= Timestamp;
        } else if (named(m->name, "ocrText")) {
            if (!readString(v, "ocrText", entry.ocrText, OcrText)) {
                return false;
            }
        } else if (named(m->name, "piiRects")) {
            if (!v.IsArray()) {
                return wrong("piiRects", "an array");
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
                return wrong("tags", "an array");
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
                return wrong("contentHash", "a string");
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
    // One allocation in the common case: the text dominates, the rest is about 300 bytes.
    qsizetype estimate = 16;
    for (const ScreenshotIndexEntry &e : entries) {
        estimate += 320 + e.path.size() * 2 + e.ocrText.size() + e.piiRects.size() * 48;
    }
    ByteStream stream(estimate + estimate / 16);
    IndexWriter writer(stream);
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
    return stream.take();
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
    doc.ParseInsitu<rapidjson::kParseIterativeFlag>(bytes.data());
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
