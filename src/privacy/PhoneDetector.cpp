// SPDX-License-Identifier: GPL-3.0-or-later
#include "privacy/PhoneDetector.h"

#include "privacy/IcuRegex.h"
#include "privacy/LineContext.h"

#include <QLocale>

#include <phonenumbers/phonenumbermatch.h>
#include <phonenumbers/phonenumbermatcher.h>
#include <phonenumbers/phonenumberutil.h>

#include <algorithm>
#include <string>
#include <vector>

using i18n::phonenumbers::PhoneNumberMatch;
using i18n::phonenumbers::PhoneNumberMatcher;
using i18n::phonenumbers::PhoneNumberUtil;

namespace {

// Labels of numbers that are not phone numbers, right before the number ("Order #4155550199",
// "Invoice no. 3125550199", "Ref-2125550147", "#2015550123"). A label word may carry an ending
// ("Orders", "Bestellnummer") and an "id"/"no"/"#" after it.
constexpr const char *kNonPhoneLabels[] = {
    "order", "invoice", "inv", "ref", "reference", "tracking", "ticket", "case", "transaction", "txn",
    "serial", "sku", "item", "confirmation", "conf", "account", "acct", "customer", "member", "booking",
    "receipt", "po", "pin", "iban", "bestellung", "bestell", "rechnung", "kunden", "commande", "facture",
};

const IcuRegex &nonPhoneLabel()
{
    static const IcuRegex p(QStringLiteral("(?i)(?:\\b") + IcuRegex::anyOf(kNonPhoneLabels)
                            + QStringLiteral("\\w*\\.?\\s*(?:id|no|nr|number|#)?\\.?\\s*[:#=\\-]?\\s*|#\\s*)$"));
    return p;
}

// A column headed by such a label ("Order", "Invoice no.", "Ref #").
const IcuRegex &nonPhoneHeader()
{
    static const IcuRegex p(QStringLiteral("(?i)^\\W*(?:\\p{L}+\\s+)?") + IcuRegex::anyOf(kNonPhoneLabels)
                            + QStringLiteral("\\w*\\.?\\s*(?:id|no|nr|number|#)?\\.?\\s*[:#]?\\s*$"));
    return p;
}

// A whole raw match that reads as a date or a time of day.
const IcuRegex &dateOrTime()
{
    static const IcuRegex p(
        uR"(^(?:\d{1,4}[./\-]\d{1,2}[./\-]\d{1,4}|\d{1,2}:\d{2}(?::\d{2})?(?:\s*[-–]\s*\d{1,2}:\d{2})?)$)");
    return p;
}

// Words that announce a phone number right before it: there, or with a leading "+", a number
// of a possible length counts even when its range is not assigned (fictional 555 numbers).
const IcuRegex &phoneWord()
{
    static const IcuRegex p(
        uR"((?i)(?:\b(?:call|phone|tel|telephone|mobile|cell|fax|whatsapp|sms|text\s+me|ring|dial)\b|☎|📞)[^\d+\n]{0,12}$)");
    return p;
}

bool isCurrencyOrPercent(QChar c)
{
    return c == u'%' || c == u'$' || c == u'€' || c == u'£' || c == u'¥' || c == u'‰' ||
           c.category() == QChar::Symbol_Currency;
}

// libphonenumber reports offsets into its UTF-8 input; lines are counted in UTF-16.
std::vector<int> utf8ToUtf16Offsets(const QString &line, const QByteArray &utf8)
{
    std::vector<int> map(size_t(utf8.size()) + 1, int(line.size()));
    int u16 = 0;
    int byte = 0;
    while (u16 < line.size()) {
        char32_t cp = line[u16].unicode();
        int units = 1;
        if (QChar::isHighSurrogate(cp) && u16 + 1 < line.size() && line[u16 + 1].isLowSurrogate()) {
            cp = QChar::surrogateToUcs4(line[u16], line[u16 + 1]);
            units = 2;
        }
        const int bytes = cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
        for (int b = 0; b < bytes && byte + b < utf8.size(); ++b) {
            map[size_t(byte + b)] = u16;
        }
        byte += bytes;
        u16 += units;
    }
    if (byte <= utf8.size()) {
        map[size_t(byte)] = int(line.size());
    }
    return map;
}

// The last chars characters before the match, the cells to the left of the line included.
QString textBefore(QStringView line, int start, const LineContext &context, int chars)
{
    QString before = context.before.isEmpty() ? QString() : context.before + QLatin1String("  ");
    before += line.left(start);
    return before.right(chars);
}

bool announced(QStringView line, int start, const LineContext &context)
{
    return line[start] == u'+' || !phoneWord().findAll(textBefore(line, start, context, 24)).isEmpty()
        || (!context.header.isEmpty() && !phoneWord().findAll(context.header + QLatin1Char(' ')).isEmpty());
}

bool acceptable(QStringView line, int start, int length, const LineContext &context)
{
    if (start > 0 && isCurrencyOrPercent(line[start - 1])) {
        return false;
    }
    // Seconds and their fraction of a time ("14:30:07.123456"), as the colon after the digits.
    if (start >= 2 && line[start - 1] == u':' && line[start - 2].isDigit()) {
        return false;
    }
    const int end = start + length;
    if (end < line.size()) {
        const QChar next = line[end];
        if (isCurrencyOrPercent(next) || (next == u':' && end + 1 < line.size() && line[end + 1].isDigit())) {
            return false;
        }
    }
    if (start >= 2 && line[start - 1] == u' ' && isCurrencyOrPercent(line[start - 2])) {
        return false;
    }
    if (dateOrTime().matchesExactly(line, start, length)) {
        return false;
    }
    if (!context.header.isEmpty() && nonPhoneHeader().matchesExactly(context.header, 0, int(context.header.size()))) {
        return false;
    }
    return nonPhoneLabel().findAll(textBefore(line, start, context, 32)).isEmpty();
}

// Line b continues line a in the same block of text: right under it, starting at its left
// edge, of a like height.
bool continues(const QRectF &a, const QRectF &b)
{
    const double h = std::max(a.height(), b.height());
    const double gap = b.top() - a.bottom();
    return std::min(a.height(), b.height()) * 2.0 >= h && gap > -0.3 * h && gap < 1.0 * h
        && std::abs(b.left() - a.left()) < 1.5 * h;
}

// The digits a wrapped number carries onto its second line: a short run at its start, not a
// whole number of its own (the next cell down a column of order numbers).
int leadingDigits(QStringView text)
{
    int digits = 0;
    for (QChar c : text) {
        if (c.isDigit()) {
            ++digits;
        } else if (c != u' ' && c != u'-' && c != u'.' && c != u')') {
            break;
        }
    }
    return digits;
}

} // namespace

PhoneDetector::PhoneDetector(QStringList regions) : m_regions(std::move(regions)) {}

QStringList PhoneDetector::regionsForUser()
{
    QStringList regions;
    auto add = [&regions](const QString &code) {
        if (code.size() == 2 && code != QLatin1String("ZZ") && !regions.contains(code)) {
            regions << code;
        }
    };
    const QLocale system = QLocale::system();
    if (system.territory() != QLocale::AnyTerritory) {
        add(QLocale::territoryToCode(system.territory()));
    }
    for (const QString &tag : system.uiLanguages()) {
        const QLocale l(tag);
        if (l.territory() != QLocale::AnyTerritory) {
            add(QLocale::territoryToCode(l.territory()));
        }
    }
    for (const char *fallback : {"US", "GB", "DE", "FR"}) {
        add(QString::fromLatin1(fallback));
    }
    return regions;
}

const PhoneDetector &PhoneDetector::forUserLocale()
{
    static const PhoneDetector detector(regionsForUser());
    return detector;
}

TextMatches PhoneDetector::find(QStringView lineView) const { return find(lineView, LineContext{}); }

TextMatches PhoneDetector::find(QStringView lineView, const LineContext &context) const
{
    TextMatches out;
    const QString line = lineView.toString();
    const QByteArray utf8 = line.toUtf8();
    const std::string text(utf8.constData(), size_t(utf8.size()));
    const std::vector<int> offsets = utf8ToUtf16Offsets(line, utf8);
    const PhoneNumberUtil &util = *PhoneNumberUtil::GetInstance();
    for (int pass = 0; pass < 2; ++pass) {
        const auto leniency = pass == 0 ? PhoneNumberMatcher::VALID : PhoneNumberMatcher::POSSIBLE;
        for (const QString &region : m_regions) {
            PhoneNumberMatcher matcher(util, text, region.toStdString(), leniency, 64);
            PhoneNumberMatch match;
            while (matcher.HasNext() && matcher.Next(&match)) {
                const int b0 = match.start();
                const int b1 = b0 + match.length();
                if (b0 < 0 || b1 > int(utf8.size())) {
                    continue;
                }
                const int start = offsets[size_t(b0)];
                const int length = offsets[size_t(b1)] - start;
                const TextMatch m{start, length, PIIType::phones};
                bool seen = false;
                for (const TextMatch &o : out) {
                    seen = seen || o.overlaps(m);
                }
                if (!seen && pass == 1) {
                    seen = !announced(line, start, context);
                }
                if (!seen && length > 0 && acceptable(line, start, length, context)) {
                    out.append(m);
                }
            }
        }
    }
    std::sort(out.begin(), out.end(), [](const TextMatch &a, const TextMatch &b) { return a.start < b.start; });
    return out;
}

QList<PhoneDetector::LineMatch> PhoneDetector::findWrapped(const QList<RecognizedLine> &lines,
                                                         const QList<LineContext> &contexts) const
{
    QList<LineMatch> out;
    for (int a = 0; a < lines.size(); ++a) {
        // A stray quote, bar or symbol (a rounded corner read as "©") read off the edge of a
        // bubble may follow the digits.
        QString first = lines[a].text.trimmed();
        while (!first.isEmpty() && (QStringView(u"'\"’”|").contains(first.back()) || first.back().isSymbol())) {
            first.chop(1);
            first = first.trimmed();
        }
        if (first.isEmpty() || !first.back().isDigit()) {
            continue;
        }
        for (int b = 0; b < lines.size(); ++b) {
            // A speck before the carried digits (". 0958") is no part of the number.
            QString second = lines[b].text.trimmed();
            while (!second.isEmpty() && (second.front() == u'.' || second.front() == u' ')) {
                second.remove(0, 1);
            }
            const int carried = leadingDigits(second);
            if (b == a || carried == 0 || carried > 6 || !continues(lines[a].box, lines[b].box)) {
                continue;
            }
            const int joint = int(first.size()) + 1;
            const int lead = int(lines[a].text.indexOf(first));
            const int lead2 = int(lines[b].text.indexOf(second));
            // A narrow bubble may wrap a number twice: a middle line of digits alone, the end
            // below it. The whole number wins over the part of it the first two lines hold.
            const auto isDigit = [](QChar c) { return c.isDigit(); };
            const bool middleOnly = leadingDigits(second) == std::count_if(second.begin(), second.end(), isDigit)
                && second.back().isDigit();
            bool wholeOverThree = false;
            for (int c = 0; middleOnly && c < lines.size(); ++c) {
                const QString third = lines[c].text.trimmed();
                const int carried3 = leadingDigits(third);
                if (c == a || c == b || carried3 == 0 || carried3 > 6 || !continues(lines[b].box, lines[c].box)) {
                    continue;
                }
                const int joint2 = joint + int(second.size()) + 1;
                const QString joined = first + QLatin1Char(' ') + second + QLatin1Char(' ') + third;
                for (const TextMatch &m : find(joined, contexts.value(a))) {
                    if (m.start < joint - 1 && m.end() > joint2) {
                        out.append(LineMatch{a, {lead + m.start, joint - 1 - m.start, PIIType::phones}});
                        out.append(LineMatch{b, {lead2, int(second.size()), PIIType::phones}});
                        out.append(LineMatch{c, {int(lines[c].text.indexOf(third)), m.end() - joint2, PIIType::phones}});
                        wholeOverThree = true;
                    }
                }
            }
            if (wholeOverThree) {
                continue;
            }
            for (const TextMatch &m : find(first + QLatin1Char(' ') + second, contexts.value(a))) {
                if (m.start < joint - 1 && m.end() > joint) {
                    out.append(LineMatch{a, {lead + m.start, joint - 1 - m.start, PIIType::phones}});
                    out.append(LineMatch{b, {lead2, m.end() - joint, PIIType::phones}});
                }
            }
        }
    }
    return out;
}
