// SPDX-License-Identifier: GPL-3.0-or-later
#include "privacy/MisreadRetry.h"

#include "privacy/ApiKeyMatcher.h"
#include "privacy/IcuRegex.h"
#include "privacy/PatternMatcher.h"
#include "privacy/TextRecognizer.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cctype>

namespace MisreadRetry {

namespace {

struct Token
{
    int start = 0;
    int length = 0;
    int end() const { return start + length; }
};

// Words of a line, cut at spaces, quotes, brackets and assignment marks: what a key, an
// address or an e-mail address is written between.
QList<Token> tokensOf(QStringView text)
{
    auto separates = [](QChar c) {
        static const QStringView marks = u" \t\"'`“”‘’=,;()[]{}<>";
        return marks.contains(c);
    };
    QList<Token> out;
    int i = 0;
    const int n = int(text.size());
    while (i < n) {
        while (i < n && separates(text[i])) {
            ++i;
        }
        const int start = i;
        // A space the recogniser put beside a colon stays inside the word ("8a2e:370: 7334").
        while (i < n && (!separates(text[i]) || (text[i] == u' ' && i > start && i + 1 < n
                                                  && (text[i - 1] == u':' || text[i + 1] == u':')))) {
            ++i;
        }
        if (i > start) {
            out.append({start, i - start});
        }
    }
    return out;
}

bool overlaps(const Token &t, const TextMatch &m) { return m.start < t.end() && t.start < m.end(); }

// The prefixes of the key shapes, as a one-character misread or a case slip may leave them.
bool nearKeyPrefix(QStringView stretch)
{
    static const char *const prefixes[] = {"sk_live_", "sk_test_", "pk_live_", "pk_test_", "rk_live_", "AKIA", "ASIA",
                                           "ghp_", "gho_", "ghu_", "ghs_", "ghr_", "xoxb-", "xoxp-", "xoxa-", "xoxr-",
                                           "xoxs-", "ya29.", "AIza", "glpat-", "npm_"};
    for (const char *p : prefixes) {
        const QLatin1String prefix(p);
        if (stretch.size() < prefix.size()) {
            continue;
        }
        int differences = 0;
        for (qsizetype i = 0; i < prefix.size(); ++i) {
            QChar c = stretch[i].toLower();
            if (c == u' ') {
                c = u'_'; // a lost underscore
            }
            differences += c == QChar(prefix[i]).toLower() ? 0 : 1;
        }
        if (differences <= 1) {
            return true;
        }
    }
    return false;
}

// Random key material: long, letters of both cases and digits, and not a repeated placeholder.
bool looksLikeKeyMaterial(QStringView token)
{
    // Hashes and ids are hex digits, but for a misread glyph or two.
    const qsizetype hex = std::count_if(token.begin(), token.end(), [](QChar c) { return std::isxdigit(c.toLatin1()) != 0; });
    // Keys hold no colon, nor the space bridged beside one ("Created: 2024-05-12").
    if (token.size() < 16 || hex + 2 >= token.size() || token.contains(u':') || token.contains(u' ')) {
        return false;
    }
    bool upper = false, lower = false, digit = false;
    for (QChar c : token) {
        upper |= c.isUpper();
        lower |= c.isLower();
        digit |= c.isDigit();
    }
    // Access key ids are capitals and digits only.
    return upper && digit && (lower || token.size() <= 24) && ApiKeyMatcher::entropy(token) >= 3.5;
}

// Groups of hex digits and colons ("8a2e:370:7334/64", "2001:db8:85a3::") as an IPv6
// address or a part of one looks; "0" may have been read as "@" or "o", a colon as a degree
// sign. Times and MAC addresses (two-digit groups, no hex letter) are not. A full stop after it
// ends the sentence.
bool looksLikeIpv6Part(QStringView token)
{
    if (token.endsWith(u'.')) {
        token.chop(1);
    }
    static const IcuRegex shape(u"[0-9a-fA-F@oO]{0,4}(?: ?[:°] ?[0-9a-fA-F@oO]{0,4}){1,7}(?:/\\d{1,3})?");
    if (!shape.matchesExactly(token, 0, int(token.size())) || token.count(u':') + token.count(u'°') < 2) {
        return false;
    }
    const bool compressed = token.contains(QLatin1String("::"));
    bool hexLetter = false;
    bool longGroup = false;
    int group = 0;
    for (QChar c : token) {
        if (c == u' ') {
            continue;
        }
        if (c == u':' || c == u'°' || c == u'/') {
            group = 0;
            continue;
        }
        hexLetter |= !c.isDigit();
        longGroup |= ++group > 2;
    }
    return (hexLetter || compressed) && (longGroup || compressed);
}

bool isIpv6(QStringView token)
{
    const qsizetype slash = token.indexOf(u'/');
    const QByteArray ascii = (slash < 0 ? token : token.left(slash)).toLatin1().replace(' ', "");
    in6_addr out{};
    return inet_pton(AF_INET6, ascii.constData(), &out) == 1;
}

// A domain with one character (or "(a)") where the "@" should be: "rootGexample.net".
const IcuRegex &nearEmail()
{
    static const IcuRegex p(u"[A-Za-z0-9._%+\\-]*[a-z0-9](?:[A-Z©®&$#*]|\\([aA]\\))[a-z0-9\\-]+(?:\\.[a-z0-9\\-]+)*\\.[a-z]{2,}");
    return p;
}

// An "@" of small type read as "g": "rootgexample.net". Any host name with a "g" could be one, so
// the part after it must end in a country code or a common top-level domain, not in a file
// extension or a member name ("args.length").
bool nearEmailWithG(QStringView word)
{
    static const IcuRegex local(u"[A-Za-z0-9._%+\\-]*[a-z0-9]");
    static const IcuRegex domain(u"[a-z0-9\\-]+(?:\\.[a-z0-9\\-]+)*\\.([a-z]{2}|com|org|net|edu|gov|info|biz|app|dev|email|mail)");
    for (qsizetype i = 2; i + 4 < word.size(); ++i) {
        if (word[i] == u'g' && local.matchesExactly(word, 0, int(i))
            && domain.matchesExactly(word, int(i + 1), int(word.size() - i - 1))
            && !PatternMatcher::endsInFileExtension(word)) {
            return true;
        }
    }
    return false;
}

bool sameRow(const QRectF &a, const QRectF &b)
{
    const double overlap = std::min(a.bottom(), b.bottom()) - std::max(a.top(), b.top());
    return overlap > 0.5 * std::min(a.height(), b.height());
}

struct Candidate
{
    Region region;
    int priority; // 0 first
};

// Regions grow from where the characters were read, not from the words' outlines: what the
// second reading makes of a crop changes with a few pixels of its edge.
QRectF padded(const QRectF &box, double lineHeight)
{
    const double dx = lineHeight;
    const double dy = 0.5 * lineHeight;
    return box.adjusted(-dx, -dy, dx, dy);
}

void addKeyCandidates(const RecognizedLine &line, const QList<Token> &tokens, const TextMatches &found, QList<Candidate> &out)
{
    const double h = line.box.height();
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        const Token &t = tokens[i];
        const QStringView word = QStringView(line.text).mid(t.start, t.length);
        bool covered = false;
        bool other = false;
        for (const TextMatch &m : found) {
            if (overlaps(t, m)) {
                covered |= m.kind == PIIType::apiKeys && m.start <= t.start && m.end() >= t.end();
                other |= m.kind != PIIType::apiKeys;
            }
        }
        // A key match that stops inside a longer word was cut by a misread glyph ("8Kq3LZW/vN2xRt").
        bool cut = false;
        for (const TextMatch &m : found) {
            cut |= m.kind == PIIType::apiKeys && overlaps(t, m) && !covered && t.length >= 16;
        }
        if (covered || other || (!cut && !looksLikeKeyMaterial(word))) {
            continue;
        }
        // The misread prefix may stand apart: "Sk live 51Hq...", two short words before the token.
        Token stretch = t;
        for (qsizetype j = i - 1; j >= 0 && j >= i - 2; --j) {
            if (tokens[j].length > 5 || stretch.start - tokens[j].end() > 2) {
                break;
            }
            stretch = {tokens[j].start, t.end() - tokens[j].start};
        }
        const std::optional<QRectF> box = line.symbolBox(stretch.start, stretch.length);
        if (!box) {
            continue;
        }
        const bool prefixed = cut || nearKeyPrefix(QStringView(line.text).mid(stretch.start, stretch.length));
        out.append({{padded(*box, h), PIIType::apiKeys, h, {}}, prefixed ? 0 : 2});
    }
}

void addEmailCandidates(const RecognizedLine &line, const QList<Token> &tokens, const TextMatches &found, QList<Candidate> &out)
{
    const double h = line.box.height();
    for (const Token &t : tokens) {
        const QStringView word = QStringView(line.text).mid(t.start, t.length);
        const bool symbol = nearEmail().matchesExactly(word, 0, int(word.size()));
        if (word.contains(u'@') || !(symbol || nearEmailWithG(word))
            || std::any_of(found.begin(), found.end(), [&](const TextMatch &m) { return overlaps(t, m); })) {
            continue;
        }
        // A "g" is far more often just a "g": read again after the surer near-misses.
        if (const std::optional<QRectF> box = line.symbolBox(t.start, t.length)) {
            out.append({{padded(*box, h), PIIType::emails, h, {}}, symbol ? 1 : 3});
        }
    }
}

// The word at one end of a line, with its box.
std::optional<QRectF> edgeIpv6Part(const RecognizedLine &line, bool last)
{
    const QList<Token> tokens = tokensOf(line.text);
    if (tokens.isEmpty()) {
        return std::nullopt;
    }
    const Token &t = last ? tokens.last() : tokens.first();
    if (!looksLikeIpv6Part(QStringView(line.text).mid(t.start, t.length))) {
        return std::nullopt;
    }
    return line.symbolBox(t.start, t.length);
}

void addIpCandidates(const QList<RecognizedLine> &lines, qsizetype index, const QList<Token> &tokens, const TextMatches &found,
                     QList<Candidate> &out)
{
    const RecognizedLine &line = lines[index];
    const double h = line.box.height();
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        const Token &t = tokens[i];
        const QStringView word = QStringView(line.text).mid(t.start, t.length);
        if (!looksLikeIpv6Part(word) || isIpv6(word)
            || std::any_of(found.begin(), found.end(), [&](const TextMatch &m) { return overlaps(t, m) && m.kind == PIIType::ips; })) {
            continue;
        }
        std::optional<QRectF> box = line.symbolBox(t.start, t.length);
        if (!box) {
            continue;
        }
        // The rest of the address may have been read as a cell of its own beside this one.
        for (qsizetype j = 0; j < lines.size(); ++j) {
            const RecognizedLine &other = lines[j];
            if (j == index || !sameRow(line.box, other.box)) {
                continue;
            }
            const double gapLeft = line.box.left() - other.box.right();
            const double gapRight = other.box.left() - line.box.right();
            if (i == 0 && gapLeft >= -h && gapLeft < 2 * h) {
                if (const std::optional<QRectF> part = edgeIpv6Part(other, true)) {
                    *box |= *part;
                }
            }
            if (i == tokens.size() - 1 && gapRight >= -h && gapRight < 2 * h) {
                if (const std::optional<QRectF> part = edgeIpv6Part(other, false)) {
                    *box |= *part;
                }
            }
        }
        out.append({{padded(*box, h), PIIType::ips, h, {}}, 1});
    }
}

// Four numbers of at most three digits where one full stop was read as a space ("198 51.100.21"):
// small type in a table cell loses a dot. Each number must fit in an octet.
void addIpv4Candidates(const RecognizedLine &line, const TextMatches &found, QList<Candidate> &out)
{
    static const IcuRegex shape(u"(?<![\\d.])\\d{1,3}[. ]\\d{1,3}[. ]\\d{1,3}[. ]\\d{1,3}(?![\\d]|\\.\\d)");
    const double h = line.box.height();
    for (const IcuRegex::Span &s : shape.findAll(line.text)) {
        const QStringView stretch = QStringView(line.text).mid(s.start, s.length);
        bool octets = true;
        for (QStringView number : stretch.split(u'.')) {
            for (QStringView part : number.split(u' ')) {
                octets &= part.toInt() <= 255;
            }
        }
        if (stretch.count(u' ') != 1 || !octets
            || std::any_of(found.begin(), found.end(), [&](const TextMatch &m) { return overlaps(Token{s.start, s.length}, m); })) {
            continue;
        }
        if (const std::optional<QRectF> box = line.symbolBox(s.start, s.length)) {
            out.append({{padded(*box, h), PIIType::ips, h, {}}, 1});
        }
    }
}

} // namespace

QList<Region> nearMisses(const QList<RecognizedLine> &lines, const QList<TextMatches> &found, PIITypes types,
                         const QList<LineContext> &contexts)
{
    QList<Candidate> candidates;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QList<Token> tokens = tokensOf(lines[i].text);
        const TextMatches none;
        const TextMatches &matches = i < found.size() ? found[i] : none;
        const qsizetype before = candidates.size();
        if (types & PIIType::apiKeys) {
            addKeyCandidates(lines[i], tokens, matches, candidates);
        }
        if (types & PIIType::emails) {
            addEmailCandidates(lines[i], tokens, matches, candidates);
        }
        if (types & PIIType::ips) {
            addIpCandidates(lines, i, tokens, matches, candidates);
            addIpv4Candidates(lines[i], matches, candidates);
        }
        for (qsizetype c = before; c < candidates.size(); ++c) {
            candidates[c].region.context = contexts.value(i);
        }
    }
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Candidate &a, const Candidate &b) { return a.priority < b.priority; });
    QList<Region> out;
    for (const Candidate &c : candidates) {
        // Two halves of one split address give the same region.
        const bool seen = std::any_of(out.begin(), out.end(), [&](const Region &r) {
            const QRectF common = r.box & c.region.box;
            return r.kind == c.region.kind && common.width() * common.height() > 0.5 * c.region.box.width() * c.region.box.height();
        });
        if (!seen && out.size() < kMaxRegions) {
            out.append(c.region);
        }
    }
    return out;
}

QList<QRectF> reread(const QImage &image, const QList<Region> &regions)
{
    QList<QRectF> out;
    for (const Region &r : regions) {
        const QRect area = r.box.toAlignedRect() & image.rect();
        if (area.isEmpty()) {
            continue;
        }
        const QImage crop = image.copy(area);
        // As one line first, then as a raw line without looking for its layout: each mends
        // misreads the other keeps.
        for (int psm : {7, 13}) {
            TextRecognizer::Options options;
            options.pageSegMode = psm;
            options.bands = 1;
            // Capitals of about 40 px, where the recogniser tells I from T and 0 from @.
            options.scale = std::clamp(40.0 / std::max(1.0, r.lineHeight), 1.5, 4.0);
            QList<QRectF> boxes;
            for (const RecognizedLine &line : TextRecognizer::recognize(crop, options)) {
                for (const TextMatch &m : PatternMatcher::findInRecognizedLine(line.text, r.kind, r.context)) {
                    if (const std::optional<QRectF> box = line.boundingBox(m.start, m.length)) {
                        boxes.append(box->translated(area.topLeft()));
                    }
                }
            }
            if (!boxes.isEmpty()) {
                out.append(boxes);
                break;
            }
        }
    }
    return out;
}

} // namespace MisreadRetry
