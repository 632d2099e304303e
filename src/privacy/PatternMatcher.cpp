// SPDX-License-Identifier: GPL-3.0-or-later
#include "privacy/PatternMatcher.h"

#include "privacy/AddressDetector.h"
#include "privacy/ApiKeyMatcher.h"
#include "privacy/CardNumberMatcher.h"
#include "privacy/IcuRegex.h"
#include "privacy/IpAddressMatcher.h"
#include "privacy/LineContext.h"
#include "privacy/PhoneDetector.h"

#include <QString>

#include <algorithm>

namespace PatternMatcher {

namespace {

// Internationalised top-level domains are written as "xn--" labels. An apostrophe inside the
// local part ("o'neil@") belongs to the address: leaving "o'" unboxed shows part of a name; so do
// accented letters ("renée@"), which mail servers accept.
const IcuRegex &emailPattern()
{
    static const IcuRegex p(uR"([\p{Latin}\p{M}0-9._%+\-]+(?:['’][\p{Latin}\p{M}0-9._%+\-]+)*@[A-Za-z0-9.\-]+\.(?:xn--[A-Za-z0-9\-]{2,}|[A-Za-z]{2,}))");
    return p;
}

void appendAll(TextMatches &out, const TextMatches &more) { out.append(more); }

struct KindName
{
    PIIType::Type kind;
    const char *name;
};

constexpr KindName kKindNames[] = {
    {PIIType::emails, "emails"}, {PIIType::ips, "ips"}, {PIIType::apiKeys, "apiKeys"},
    {PIIType::phones, "phones"}, {PIIType::creditCards, "creditCards"}, {PIIType::addresses, "addresses"},
    {PIIType::faces, "faces"},
};

} // namespace

// File names such as "icon@2x.png" look like addresses; none of these is a top-level domain.
bool endsInFileExtension(QStringView match)
{
    static const char *const extensions[] = {
        "png", "jpg", "jpeg", "gif", "webp", "svg", "bmp", "ico", "tif", "tiff", "heic", "heif", "avif",
        "pdf", "js", "mjs", "cjs", "css", "scss", "html", "htm", "json", "yaml", "yml", "xml", "txt",
        "log", "csv", "tsv", "mp3", "mp4", "wav", "webm", "ogg", "flac", "mkv", "avi", "woff", "woff2",
        "ttf", "otf", "eot", "gz", "bz2", "xz", "tgz", "jar", "exe", "dll", "dylib", "lock", "tmp", "bak",
    };
    const qsizetype dot = match.lastIndexOf(u'.');
    const QStringView tld = match.mid(dot + 1);
    for (const char *ext : extensions) {
        if (tld.compare(QLatin1String(ext), Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

TextMatches findEmails(QStringView line)
{
    TextMatches out;
    for (const IcuRegex::Span &s : emailPattern().findAll(line)) {
        if (!endsInFileExtension(line.mid(s.start, s.length))) {
            out.append({s.start, s.length, PIIType::emails});
        }
    }
    return out;
}

TextMatches findSensitiveRanges(QStringView line, PIITypes types)
{
    return findSensitiveRanges(line, types, PhoneDetector::forUserLocale());
}

TextMatches findSensitiveRanges(QStringView line, PIITypes types, const PhoneDetector &phones)
{
    return findSensitiveRanges(line, types, phones, LineContext{});
}

TextMatches findSensitiveRanges(QStringView line, PIITypes types, const PhoneDetector &phones, const LineContext &context)
{
    TextMatches out;
    if (types & PIIType::emails) {
        appendAll(out, findEmails(line));
    }
    if (types & PIIType::ips) {
        appendAll(out, IpAddressMatcher::find(line, context));
    }
    TextMatches keys;
    if (types & PIIType::apiKeys) {
        keys = ApiKeyMatcher::find(line);
        appendAll(out, keys);
    }
    if (types & PIIType::creditCards) {
        appendAll(out, CardNumberMatcher::find(line));
    }
    if (types & (PIIType::phones | PIIType::addresses)) {
        TextMatches found;
        if (types & PIIType::phones) {
            found.append(phones.find(line, context));
        }
        if (types & PIIType::addresses) {
            found.append(AddressDetector::find(line));
        }
        std::stable_sort(found.begin(), found.end(),
                         [](const TextMatch &a, const TextMatch &b) { return a.start < b.start; });
        appendAll(out, found);
    }
    if (types & PIIType::apiKeys) {
        appendAll(out, ApiKeyMatcher::findExtra(line, keys));
    }
    return out;
}

QString withoutInsertedSpaces(QStringView line, QList<int> *origin)
{
    auto joins = [](QChar c) {
        return c == u'_' || c == u'-' || c == u':' || c == u'@' || c == u'/' || c == u'=' || c == u'.';
    };
    QString out;
    origin->clear();
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == u' ' && i > 0 && i + 1 < line.size() && line[i + 1] != u' ') {
            const QChar before = line[i - 1];
            const QChar after = line[i + 1];
            // After a full stop only when the text goes on in lower case or digits: "example. com",
            // not the start of a sentence.
            const bool glued = (joins(before) && before != u'.') || (before == u'.' && (after.isLower() || after.isDigit()))
                || (joins(after) && after != u'.' && after != u'=') ;
            if (glued) {
                continue;
            }
        }
        out += line[i];
        origin->append(int(i));
    }
    return out;
}

TextMatches findInRecognizedLine(QStringView line, PIITypes types) { return findInRecognizedLine(line, types, LineContext{}); }

TextMatches findInRecognizedLine(QStringView line, PIITypes types, const LineContext &context)
{
    const PhoneDetector &phones = PhoneDetector::forUserLocale();
    TextMatches out = findSensitiveRanges(line, types, phones, context);
    QList<int> origin;
    const QString joined = withoutInsertedSpaces(line, &origin);
    if (joined.size() == line.size()) {
        return out;
    }
    for (const TextMatch &m : findSensitiveRanges(joined, types, phones, context)) {
        const int start = origin[m.start];
        const TextMatch mapped{start, origin[m.end() - 1] + 1 - start, m.kind};
        if (!out.contains(mapped)) {
            out.append(mapped);
        }
    }
    return out;
}

const char *kindName(PIIType::Type kind)
{
    for (const KindName &k : kKindNames) {
        if (k.kind == kind) {
            return k.name;
        }
    }
    return "unknown";
}

bool parseKinds(QStringView list, PIITypes *types)
{
    PIITypes result;
    for (QStringView part : list.split(u',', Qt::SkipEmptyParts)) {
        part = part.trimmed();
        bool known = false;
        for (const KindName &k : kKindNames) {
            if (part == QLatin1String(k.name)) {
                result |= k.kind;
                known = true;
            }
        }
        if (!known) {
            return false;
        }
    }
    *types = result;
    return true;
}

} // namespace PatternMatcher
