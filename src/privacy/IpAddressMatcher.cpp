// SPDX-License-Identifier: GPL-3.0-or-later
#include "privacy/IpAddressMatcher.h"

#include "privacy/IcuRegex.h"
#include "privacy/LineContext.h"

#include <QString>

#include <arpa/inet.h>

#include <algorithm>
#include <cctype>

namespace IpAddressMatcher {

namespace {

#define OCTET u"(?:25[0-5]|2[0-4][0-9]|[01]?[0-9][0-9]?)"

// A fifth number ("1.2.3.4.5") or a version word before it makes it a version, not an address.
// A network prefix ("/24") is part of the address.
const IcuRegex &ipv4()
{
    static const IcuRegex p(u"(?<![\\d.])\\b" OCTET u"(?:\\." OCTET u"){3}(?:/(?:3[0-2]|[12]?[0-9])(?![\\d.]))?\\b(?!\\.\\d)");
    return p;
}

// BSD netstat glues the port on with a full stop ("192.0.2.10.443"): on a line of sockets the
// address before such a port is taken.
const IcuRegex &ipv4WithPort()
{
    static const IcuRegex p(u"(?<![\\d.])\\b" OCTET u"(?:\\." OCTET u"){3}(?=\\.(?:\\d{1,5}|\\*)(?![\\d.]))");
    return p;
}

#undef OCTET

// An IPv6 address with the port glued on the same way ("2001:db8::5.443").
const IcuRegex &ipv6WithPort()
{
    static const IcuRegex p(u"(?<![\\w:.])(?:[0-9a-fA-F]{0,4}:){2,7}[0-9a-fA-F]{1,4}(?=\\.(?:\\d{1,5}|\\*)(?![\\w.:]))");
    return p;
}

const IcuRegex &socketLine()
{
    static const IcuRegex p(uR"((?i)\b(?:tcp|udp)[46]?\b|\b(?:ESTABLISHED|LISTEN|TIME_WAIT|CLOSE_WAIT|SYN_SENT)\b)");
    return p;
}

// The zone and prefix suffix shared by the IPv6 forms.
#define IPV6_SUFFIX u"(?:%[0-9A-Za-z._~\\-]+)?(?:/(?:12[0-8]|1[01][0-9]|[1-9]?[0-9]))?(?![\\w:]|\\.\\d)"

const IcuRegex &ipv6Full()
{
    static const IcuRegex p(u"(?<![\\w:])(?:[0-9a-fA-F]{1,4}:){7}[0-9a-fA-F]{1,4}" IPV6_SUFFIX);
    return p;
}

const IcuRegex &ipv6Compressed()
{
    static const IcuRegex p(
        u"(?<![\\w:])(?:[0-9a-fA-F]{1,4}:){1,6}:(?:[0-9a-fA-F]{1,4}(?::[0-9a-fA-F]{1,4}){0,5})?" IPV6_SUFFIX);
    return p;
}

// Any run of groups and colons, with an optional IPv4 tail: catches the leading "::" and
// embedded IPv4 forms the two patterns above cannot express; inet_pton decides.
const IcuRegex &ipv6Other()
{
    static const IcuRegex p(
        u"(?<![\\w:.])(?:[0-9a-fA-F]{0,4}:){2,7}(?:(?:[0-9]{1,3}\\.){3}[0-9]{1,3}|[0-9a-fA-F]{1,4})?" IPV6_SUFFIX);
    return p;
}

#undef IPV6_SUFFIX

bool isIpv6Address(QStringView candidate)
{
    qsizetype end = candidate.size();
    for (qsizetype i = 0; i < candidate.size(); ++i) {
        if (candidate[i] == u'%' || candidate[i] == u'/') {
            end = i;
            break;
        }
    }
    const QByteArray ascii = candidate.left(end).toLatin1();
    in6_addr out{};
    return inet_pton(AF_INET6, ascii.constData(), &out) == 1;
}

// Matches inside [from, to) of text, the rest of it seen as context; offsets from "from".
void appendChecked(const IcuRegex &pattern, QStringView text, int from, int to, TextMatches &out)
{
    for (const IcuRegex::Span &s : pattern.findAll(text, from, to)) {
        if (isIpv6Address(text.mid(s.start, s.length))) {
            out.append({s.start - from, s.length, PIIType::ips});
        }
    }
}

// Words after which a four-part number is a version, not an address: version and build
// words, and programs that print four-part versions ("OpenSSL 3.0.11.1", "Chrome 120.0.6099.109").
constexpr const char *kVersionWords[] = {
    "version", "ver", "v", "build", "release", "rel", "rev", "revision", "firmware", "fw", "kernel", "bump",
    "bumped", "upgrade", "upgraded", "downgrade", "downgraded", "patch", "hotfix",
    "openssl", "chrome", "chromium", "firefox", "thunderbird", "windows", "java", "jdk",
    ".net", "dotnet", "android", "ios", "ipados", "macos",
};

// Words right after a number that make it a package version ("libfoo 4.2.0.17 amd64").
constexpr const char *kArchitectureWords[] = {
    "amd64", "arm64", "armhf", "armel", "i386", "i686", "x86_64", "aarch64", "noarch", "ppc64el", "s390x",
};

// One of the version words, then only separators and at most one short joining word
// ("Bump version to 1.2.3.4", "build=2.8.15.24", "Version: 1.22.1.2"), so that
// "Build server 192.0.2.15" stays an address.
const IcuRegex &versionBefore()
{
    static const IcuRegex p(QStringLiteral("(?i)(?<![\\w.])") + IcuRegex::anyOf(kVersionWords)
                            + QStringLiteral("[\\s:=#(\\[\\-]*(?:(?:to|is|from|of|now)\\s+)?$"));
    return p;
}

const IcuRegex &architectureAfter()
{
    static const IcuRegex p(QStringLiteral("(?i)^\\s+") + IcuRegex::anyOf(kArchitectureWords) + QStringLiteral("(?![\\w\\-])"));
    return p;
}

// A column headed by a version word ("Version", "Installed version", "Build").
const IcuRegex &versionHeader()
{
    static const IcuRegex p(QStringLiteral("(?i)^\\W*(?:\\p{L}+\\s+)?") + IcuRegex::anyOf(kVersionWords)
                            + QStringLiteral("\\W*$"));
    return p;
}

bool isVersion(QStringView text, const IcuRegex::Span &s)
{
    const int from = std::max(0, s.start - 32);
    return !versionBefore().findAll(text.mid(from, s.start - from)).isEmpty()
        || !architectureAfter().findAll(text.mid(s.end(), 16)).isEmpty();
}

// Proportional type draws "0" and "O" alike, so "2001:db8::c0ff:ee" comes back as
// "2001:db8::cOff:ee". In a run of hex digits and colons holding at least two colons and two
// decimal digits (not a scope in code, "do::add"), O and o are read as 0; the offsets stay
// those of the text.
QString withZeroesForOs(const QString &text)
{
    QString out = text;
    auto inRun = [](QChar c) {
        return c == u':' || c == u'O' || c == u'o' || (c.unicode() < 128 && std::isxdigit(c.unicode()) != 0);
    };
    for (qsizetype i = 0; i < out.size();) {
        if (!inRun(out[i])) {
            ++i;
            continue;
        }
        qsizetype j = i;
        int colons = 0, digits = 0;
        bool hasO = false;
        while (j < out.size() && out[j].unicode() < 128 && inRun(out[j])) {
            colons += out[j] == u':' ? 1 : 0;
            digits += out[j].isDigit() ? 1 : 0;
            hasO = hasO || out[j] == u'O' || out[j] == u'o';
            ++j;
        }
        if (colons >= 2 && digits >= 2 && hasO) {
            for (qsizetype k = i; k < j; ++k) {
                if (out[k] == u'O' || out[k] == u'o') {
                    out[k] = u'0';
                }
            }
        }
        i = std::max(j, i + 1);
    }
    return out;
}

} // namespace

TextMatches find(QStringView line) { return find(line, LineContext{}); }

TextMatches find(QStringView line, const LineContext &context)
{
    // The line between the cells beside it, so that their words count as if on the line.
    const QString text = withZeroesForOs(context.before + QLatin1String("  ") + line.toString() + QLatin1String("  ") + context.after);
    const int from = int(context.before.size()) + 2;
    const int to = from + int(line.size());
    const bool versionColumn = !context.header.isEmpty() && versionHeader().matchesExactly(context.header, 0, int(context.header.size()));
    TextMatches out;
    for (const IcuRegex::Span &s : ipv4().findAll(text, from, to)) {
        const bool prefixed = text.mid(s.start, s.length).contains(u'/');
        if (!isVersion(text, s) && (prefixed || !versionColumn)) {
            out.append({s.start - from, s.length, PIIType::ips});
        }
    }
    if (!socketLine().findAll(text).isEmpty()) {
        for (const IcuRegex::Span &s : ipv4WithPort().findAll(text, from, to)) {
            out.append({s.start - from, s.length, PIIType::ips});
        }
        appendChecked(ipv6WithPort(), text, from, to, out);
    }
    appendChecked(ipv6Full(), text, from, to, out);
    appendChecked(ipv6Compressed(), text, from, to, out);
    const qsizetype standardForms = out.size();
    TextMatches others;
    appendChecked(ipv6Other(), text, from, to, others);
    for (const TextMatch &m : others) {
        bool known = false;
        for (qsizetype i = 0; i < standardForms; ++i) {
            if (out[i].kind == PIIType::ips && out[i].start == m.start && out[i].length == m.length) {
                known = true;
                break;
            }
        }
        if (!known) {
            out.append(m);
        }
    }
    return out;
}

} // namespace IpAddressMatcher
