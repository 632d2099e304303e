// SPDX-License-Identifier: GPL-3.0-or-later
#include "privacy/AddressDetector.h"

#include "privacy/IcuRegex.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <vector>

namespace AddressDetector {

namespace {

// A capitalised word of a name, letters with accents, apostrophes and inner hyphens.
#define NAME u"\\p{Lu}[\\p{L}'’]*(?:-\\p{L}[\\p{L}'’]*)*"

// Kinds of locality, as bits: a street form lists the ones of its countries.
enum Locality : unsigned { kUs = 1, kCanada = 2, kUk = 4, kFiveDigit = 8, kFourDigit = 16, kAustralia = 32 };

struct Form
{
    unsigned localities; // for a street: the localities it takes; for a locality: its kind
    const char16_t *pattern;
    bool oneLine = true; // a street form also found with its locality on one line
};

// Floor, suite and unit parts after a street: "Ste. 210", "FLR 2", "#12B", "Apt 4".
#define UNIT u"(?:,?\\s+(?:(?:Apt|Apartment|Suite|Ste|Unit|Fl|FLR|Flr|Floor|Rm|Room|Bldg|Dept)\\.?\\s*#?|#\\s?)[A-Za-z0-9\\-]*\\d[A-Za-z0-9\\-]*){0,2}"
// A house number and the rest of a German, Austrian or Swiss street: "12", "5a", "12-14", "3/2".
#define HOUSE u"\\s+\\d{1,4}\\s?[a-z]?(?:\\s?[-/]\\s?\\d{1,4}[a-z]?)?"
#define ENGLISH_TYPE                                                                                         \
    u"(?:Street|St|Avenue|Ave|Road|Rd|Boulevard|Blvd|Lane|Ln|Drive|Dr|Court|Ct|Way|Place|Pl|Terrace|Ter"     \
    u"|Parkway|Pkwy|Circle|Cir|Highway|Hwy|Square|Sq|Trail|Trl|Plaza|Loop|Alley|Row|Promenade|Close|Gardens" \
    u"|Crescent|Hill|Mews|Grove|Walk|Park|Rise|Parade|Green|View|Yard|Wharf|Embankment|Quay)\\b\\.?"
// Text recognition often misreads "ß" ("straBe", "straf&e"): any one or two letters or signs
// between "stra" and "e" are accepted; the house number and postcode keep this specific.
#define GERMAN_SUFFIX u"(?:straße|strasse|stra[^\\s\\d]{1,2}e|str\\.|weg|platz|allee|gasse|ring|damm|ufer|steig|pfad|chaussee|markt|zeile)"
#define GERMAN_WORD u"(?:Straße|Strasse|Stra[^\\s\\d]{1,2}e|Str\\.|Weg|Platz|Allee|Gasse|Ring|Damm|Ufer|Chaussee|Markt|Zeile)"

const Form kStreets[] = {
    // "1600 Pennsylvania Avenue NW", "77 W 5th Ave", "221B Baker Street"
    {kUs | kCanada | kUk | kAustralia,
     u"\\d{1,6}[A-Za-z]?,?\\s+(?:[NSEW]\\.?\\s+)?(?:(?:" NAME u"|\\d{1,3}(?:st|nd|rd|th))\\s+){1,4}" ENGLISH_TYPE
     u"(?:\\s+(?:NW|NE|SW|SE|N|S|E|W)\\b)?"},
    // Single-letter and named avenues led by the street word: "123 Avenue B", "1211 Avenue of the Americas"
    {kUs | kCanada, u"\\d{1,6}\\s+(?:Avenue|Ave\\.?)\\s+(?:[A-Z]\\b|of\\s+the\\s+" NAME u")"},
    {kUs | kCanada | kUk | kAustralia | kFiveDigit | kFourDigit,
     u"(?:P\\.?\\s?O\\.?\\s?Box|Post\\s+Office\\s+Box|Postfach)\\s+\\d{1,6}"},
    // "12 rue de la Paix", "5 bis avenue des Champs-Élysées", "1200 Rue Sainte-Catherine"
    {kFiveDigit | kFourDigit | kCanada,
     u"\\d{1,4}(?:\\s?(?:bis|ter|[A-C]))?,?\\s+(?i:rue|avenue|av\\.|boulevard|bd|place|allée|allee|impasse|chemin"
     u"|quai|cours|route|passage|square|voie|faubourg|rond-point)\\s+"
     u"(?:(?i:de\\sla|de\\sl['’]|du|des|de|d['’]|la|le|les)\\s*)?(?:[\\p{L}'’\\-]+\\s+){0,4}?[\\p{L}'’\\-]+"},
    // "Calle de Alcalá 48", "Avenida de la Constitución, 12"
    {kFiveDigit,
     u"(?:Calle|C/|Avenida|Avda\\.|Paseo|Plaza|Carrer|Camino|Ronda|Rambla|Travesía|Glorieta)\\s*"
     u"(?:(?:de|del|de\\s+la|de\\s+las|de\\s+los|dels)\\s+)?" NAME u"(?:\\s+(?:(?:de|del|la|las|los|y)\\s+)?" NAME u"){0,3}"
     u",?\\s+(?:n[º°o]\\.?\\s*)?\\d{1,4}[A-Za-z]?"},
    // "Via dei Mille 12", "Piazza Garibaldi, 3", "Corso Vittorio Emanuele II 45"
    {kFiveDigit,
     u"(?:Via|Viale|Piazza|Piazzale|Corso|Largo|Vicolo|Strada|Contrada|Lungomare|Lungotevere)\\s+"
     u"(?:(?:del|della|dei|degli|delle|dello|di|da|dal|d['’])\\s*)?" NAME u"(?:\\s+(?:(?:del|della|dei|degli|delle|di|e)\\s+)?(?:" NAME u"|[IVX]{1,4})){0,4}"
     u",?\\s+\\d{1,4}[A-Za-z]?(?:/[A-Za-z0-9]{1,3})?"},
    // "Musterstraße 12", "Berliner Straße 5a", "Hauptplatz 1", "Am Alten Markt 3"
    {kFiveDigit | kFourDigit,
     u"(?:" NAME u"\\s+){0,2}(?:" NAME GERMAN_SUFFIX u"|" NAME u"\\s+" GERMAN_WORD u")" HOUSE},
    // A street named without a street word, "Unter den Linden 77": only over a postcode line, and
    // not a numbered heading ("Version 12" over "2024 Highlights").
    {kFiveDigit | kFourDigit,
     u"(?!(?:Version|Release|Build|Chapter|Page|Step|Part|Section|Room|Order|Invoice|Ticket|Item|Level|Table"
     u"|Figure|Day|Week|Year|Sprint|Issue|Episode|Season|Volume|Vol|No|Nr|Ref)\\b)" NAME u"(?:\\s+(?:" NAME u"|den|der|dem|des|die|das|am|an|im|in|auf|zum|zur|von|vor|bei|unter|hinter|über)){0,3}" HOUSE,
     false},
};

// A flat or a named building before the street: "Flat 3", "Rosewood House".
#define FLAT u"(?:Flat|Apartment|Unit|Suite)\\s+\\d{1,4}[A-Z]?"
#define BUILDING_NAME                                                                                   \
    u"(?:" NAME u"\\s+){0,3}(?:House|Building|Buildings|Court|Tower|Towers|Centre|Center|Hall|Lodge|Mill" \
    u"|Works|Chambers|Cottage|Farm|Mansions|Exchange)"

#define UK_POSTCODE u"(?:[A-Z]{1,2}\\d[A-Z\\d]?\\s?\\d[ABD-HJLNP-UW-Z]{2}|GIR\\s?0AA)\\b"

const Form kLocalities[] = {
    {kUs, u"(?:" NAME u"\\s+){0,3}" NAME u",?\\s+[A-Z]{2},?\\s+\\d{5}(?:-\\d{4})?\\b"},
    {kCanada, u"(?:" NAME u"\\s+){0,3}" NAME u",?\\s+(?:AB|BC|MB|NB|NL|NS|NT|NU|ON|PE|QC|SK|YT),?\\s+"
              u"[ABCEGHJ-NPRSTVXY]\\d[ABCEGHJ-NPRSTV-Z]\\s?\\d[ABCEGHJ-NPRSTV-Z]\\d\\b"},
    {kUk, u"(?:(?:" NAME u"\\s+){0,2}" NAME u",?\\s+){0,3}" UK_POSTCODE},
    {kFiveDigit, u"(?:[DFE]-)?\\d{5}\\s+" NAME u"(?:[\\s\\-]" NAME u"){0,3}(?:\\s+(?:am|an\\sder|im|sur|en)\\s+" NAME u")?"
                 u"(?:\\s+(?:Cedex|CEDEX)(?:\\s+\\d{1,2})?)?(?:\\s+\\(?[A-Z]{2}\\)?\\b)?"},
    {kAustralia, u"(?:" NAME u"\\s+){0,3}" NAME u",?\\s+(?:NSW|VIC|QLD|SA|WA|TAS|ACT|NT),?\\s+\\d{4}\\b"},
    {kFourDigit, u"(?:A-|CH-)?[1-9]\\d{3}\\s+" NAME u"(?:[\\s\\-]" NAME u"){0,2}(?:\\s+(?:am|an\\sder|im)\\s+" NAME u")?"},
};

#define COUNTRY                                                                                            \
    u"(?:USA|U\\.S\\.A\\.|United\\s+States(?:\\s+of\\s+America)?|Canada|UK|United\\s+Kingdom|England|Scotland" \
    u"|Wales|Germany|Deutschland|Austria|Österreich|Switzerland|Schweiz|Suisse|France|Spain|España)"

QString alternatives(const Form *forms, size_t count, unsigned kinds)
{
    QStringList parts;
    for (size_t i = 0; i < count; ++i) {
        if (forms[i].localities & kinds) {
            parts << QString::fromUtf16(forms[i].pattern);
        }
    }
    return QStringLiteral("(?:") + parts.join(QLatin1Char('|')) + QLatin1Char(')');
}

// The whole line (leading and trailing spaces and punctuation aside) is the given shape.
QString wholeLine(const QString &pattern)
{
    return QStringLiteral("^[\\s,]*(?:") + pattern + QStringLiteral(")[\\s,.;]*$");
}

struct Patterns
{
    std::vector<std::unique_ptr<IcuRegex>> oneLine;    // street, unit, locality, country
    std::vector<std::unique_ptr<IcuRegex>> street;     // a whole line, per street form
    std::vector<std::unique_ptr<IcuRegex>> labelled;   // after a street label, per street form
    std::vector<std::unique_ptr<IcuRegex>> locality;   // a whole line, per locality form
    IcuRegex building{wholeLine(QStringLiteral(u"(?:" FLAT u",?\\s+)?" BUILDING_NAME))};
    IcuRegex unit{wholeLine(QStringLiteral(u"(?:(?:Apt|Apartment|Suite|Ste|Unit|Fl|FLR|Flr|Floor|Flat|Rm|Room|Bldg|Building|Dept)"
                                           u"\\.?\\s*#?|#\\s?)[A-Za-z0-9\\-]*\\d[A-Za-z0-9\\-]*|\\d{1,2}(?:st|nd|rd|th)\\s+Floor"))};
    IcuRegex town{wholeLine(QStringLiteral(u"(?:" NAME u"\\s+){0,2}" NAME))};
    IcuRegex ukPostcode{wholeLine(QStringLiteral(UK_POSTCODE))};
    IcuRegex country{wholeLine(QStringLiteral(COUNTRY))};

    Patterns()
    {
        const QString unitPart = QString::fromUtf16(UNIT);
        const QString countrySuffix = QStringLiteral("(?:,?\\s+") + QString::fromUtf16(COUNTRY) + QStringLiteral(")?");
        for (const Form &s : kStreets) {
            const QString street = QStringLiteral("(?:") + QString::fromUtf16(s.pattern) + QLatin1Char(')') + unitPart;
            // British and Australian addresses written on one line keep their flat and building before the street
            // ("Flat 3, 27 Acacia Avenue, Leeds LS1 4AB"); left out, the flat number stays readable.
            const QString premises = (s.localities & (kUk | kAustralia)) ? QStringLiteral(u"(?:(?:" FLAT u"|" BUILDING_NAME u"),\\s+){0,2}") : QString();
            oneLine.push_back(s.oneLine ? std::make_unique<IcuRegex>(
                                              QStringLiteral("\\b") + premises + street + QStringLiteral(",?\\s+")
                                              + alternatives(kLocalities, std::size(kLocalities), s.localities) + countrySuffix)
                                        : nullptr);
            this->street.push_back(std::make_unique<IcuRegex>(wholeLine(street)));
            // A form's fields on one line ("Street: 12 Elm Lane City: Springfield"): the label
            // says it is a street, whatever follows.
            labelled.push_back(std::make_unique<IcuRegex>(
                QStringLiteral(u"(?<=\\b(?:Street address|Street|Address|Addr\\.?|Straße|Strasse|Adresse|Indirizzo|Dirección|Direccion)"
                               u"\\s?:\\s{0,3})")
                + street + QStringLiteral(u"(?=\\s*$|\\s*[,;]|\\s+\\p{Lu}[\\p{L} ]{0,20}:)")));
        }
        for (const Form &l : kLocalities) {
            locality.push_back(std::make_unique<IcuRegex>(wholeLine(QString::fromUtf16(l.pattern) + countrySuffix)));
        }
    }
};

const Patterns &patterns()
{
    static const Patterns p;
    return p;
}

#undef NAME
#undef UNIT
#undef HOUSE
#undef ENGLISH_TYPE
#undef GERMAN_SUFFIX
#undef GERMAN_WORD
#undef UK_POSTCODE
#undef FLAT
#undef BUILDING_NAME
#undef COUNTRY

bool whole(const IcuRegex &pattern, const QString &text) { return !pattern.findAll(text).isEmpty(); }

bool hasDigit(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.isDigit(); });
}

// The localities a line written as a street accepts; 0 when it is no street.
unsigned streetLocalities(const QString &text)
{
    unsigned kinds = 0;
    if (!hasDigit(text)) {
        return 0;
    }
    const Patterns &p = patterns();
    for (size_t i = 0; i < std::size(kStreets); ++i) {
        if (!(kStreets[i].localities & ~kinds)) {
            continue; // nothing this form could add
        }
        if (whole(*p.street[i], text)) {
            kinds |= kStreets[i].localities;
        }
    }
    return kinds;
}

bool isLocality(const QString &text, unsigned kinds)
{
    if (!hasDigit(text)) {
        return false;
    }
    const Patterns &p = patterns();
    for (size_t i = 0; i < std::size(kLocalities); ++i) {
        if ((kLocalities[i].localities & kinds) && whole(*p.locality[i], text)) {
            return true;
        }
    }
    return false;
}

// Field labels of address forms, which sit between the rows of the values: "City State ZIP".
bool isFormLabel(const QString &text)
{
    static const char *const words[] = {
        "street", "address", "line", "1", "2", "city", "town", "state", "province", "region", "county", "zip",
        "code", "postcode", "postal", "post", "country", "phone", "apt", "suite", "unit", "plz", "ort", "stadt",
        "land", "ville", "pays", "e-mail", "email", "name", "first", "last", "optional", "(optional)",
    };
    const QStringList parts = text.split(QRegularExpression(QStringLiteral("[\\s/]+")), Qt::SkipEmptyParts);
    if (parts.isEmpty()) {
        return false;
    }
    return std::all_of(parts.cbegin(), parts.cend(), [](QString w) {
        while (!w.isEmpty() && (w.endsWith(u':') || w.endsWith(u'*'))) {
            w.chop(1);
        }
        return std::any_of(std::begin(words), std::end(words),
                           [&w](const char *k) { return w.compare(QLatin1String(k), Qt::CaseInsensitive) == 0; });
    });
}

// One line of an address: a recognised line, or a row of fields side by side.
struct Part
{
    QList<int> lines;
    QString text;
    QRectF box;
};

class Layout
{
public:
    explicit Layout(const QList<RecognizedLine> &lines) : m_lines(lines)
    {
        for (const RecognizedLine &l : lines) {
            m_label.push_back(isFormLabel(l.text));
        }
    }

    int size() const { return int(m_lines.size()); }
    const QRectF &box(int i) const { return m_lines[i].box; }
    bool isLabel(int i) const { return m_label[size_t(i)]; }
    Part part(int i) const { return {{i}, m_lines[i].text.trimmed(), box(i)}; }

    // The nearest line below line i in its column: left edges within a line height, at most 1.5
    // line heights apart, or 2.5 when one of the two is a form label.
    std::optional<int> below(int i) const
    {
        return nearest(i, [this, i](int j, const QRectF &a, const QRectF &b, double h) -> std::optional<double> {
            const double gap = b.top() - a.bottom();
            const double limit = (isLabel(i) || isLabel(j) ? 2.5 : 1.5) * h;
            if (std::abs(a.left() - b.left()) > h || gap < -0.3 * h || gap > limit) {
                return std::nullopt;
            }
            return gap;
        });
    }

    // The next line below i in its column that is not a form label.
    std::optional<int> nextValue(int i) const
    {
        std::optional<int> n = below(i);
        for (int guard = 0; n && isLabel(*n) && guard < 3; ++guard) {
            n = below(*n);
        }
        return n && !isLabel(*n) ? n : std::nullopt;
    }

    // Line i alone and joined with up to three fields to its right on the same row, longest first.
    QList<Part> rows(int i) const
    {
        QList<Part> out{part(i)};
        int last = i;
        for (int k = 0; k < 3; ++k) {
            const std::optional<int> right = rightOf(last);
            if (!right) {
                break;
            }
            Part p = out.first();
            p.lines << *right;
            p.text += QLatin1Char(' ') + m_lines[*right].text.trimmed();
            p.box = p.box.united(box(*right));
            out.prepend(p);
            last = *right;
        }
        return out;
    }

private:
    static bool similarHeights(const QRectF &a, const QRectF &b)
    {
        const double lo = std::min(a.height(), b.height());
        return lo > 0 && std::max(a.height(), b.height()) <= 2.0 * lo;
    }

    // Of the lines of a height within a factor of two of line i's, the one that accept gives the
    // smallest distance; accept sees both boxes and the larger height.
    template<typename Accept>
    std::optional<int> nearest(int i, Accept accept) const
    {
        std::optional<int> best;
        double bestDistance = 0;
        const QRectF &a = box(i);
        for (int j = 0; j < size(); ++j) {
            const QRectF &b = box(j);
            if (j == i || !similarHeights(a, b)) {
                continue;
            }
            const std::optional<double> d = accept(j, a, b, std::max(a.height(), b.height()));
            if (d && (!best || *d < bestDistance)) {
                best = j;
                bestDistance = *d;
            }
        }
        return best;
    }

    // The nearest line on the same row to the right of line i, within 25 line heights: form
    // fields of a grid stand far apart.
    std::optional<int> rightOf(int i) const
    {
        return nearest(i, [](int, const QRectF &a, const QRectF &b, double h) -> std::optional<double> {
            const double gap = b.left() - a.right();
            if (std::abs(a.center().y() - b.center().y()) > 0.5 * h || gap < -0.2 * h || gap > 25 * h) {
                return std::nullopt;
            }
            return gap;
        });
    }

    const QList<RecognizedLine> &m_lines;
    std::vector<bool> m_label;
};

// The first of the rows of line i that is a locality of the given kinds.
std::optional<Part> localityAt(const Layout &layout, int i, unsigned kinds)
{
    for (const Part &p : layout.rows(i)) {
        if (isLocality(p.text, kinds)) {
            return p;
        }
    }
    return std::nullopt;
}

// An address whose first line is line s: [building] street [unit] locality [country].
std::optional<QList<Part>> addressFrom(const Layout &layout, int s)
{
    const Patterns &p = patterns();
    QList<Part> parts;
    int cur = s;
    if (whole(p.building, layout.part(s).text)) {
        parts << layout.part(s);
        const std::optional<int> n = layout.nextValue(s);
        if (!n) {
            return std::nullopt;
        }
        cur = *n;
    }
    unsigned kinds = 0;
    for (const Part &row : layout.rows(cur)) {
        if ((kinds = streetLocalities(row.text))) {
            parts << row;
            break;
        }
    }
    if (!kinds) {
        return std::nullopt;
    }
    std::optional<int> n = layout.nextValue(cur);
    if (n && whole(p.unit, layout.part(*n).text)) {
        parts << layout.part(*n);
        n = layout.nextValue(*n);
    }
    if (!n) {
        return std::nullopt;
    }
    std::optional<Part> locality = localityAt(layout, *n, kinds);
    if (!locality && (kinds & kUk) && whole(p.town, layout.part(*n).text)) {
        // A British town on its own line with the postcode below it.
        const std::optional<int> code = layout.nextValue(*n);
        if (code && whole(p.ukPostcode, layout.part(*code).text)) {
            parts << layout.part(*n);
            locality = layout.part(*code);
        }
    }
    if (!locality) {
        return std::nullopt;
    }
    parts << *locality;
    const std::optional<int> country = layout.nextValue(locality->lines.first());
    if (country && whole(p.country, layout.part(*country).text)) {
        parts << layout.part(*country);
    }
    return parts;
}

} // namespace

TextMatches find(QStringView line)
{
    TextMatches out;
    for (const auto *list : {&patterns().oneLine, &patterns().labelled}) {
        for (const std::unique_ptr<IcuRegex> &pattern : *list) {
            if (!pattern) {
                continue;
            }
            for (const IcuRegex::Span &s : pattern->findAll(line)) {
                const TextMatch m{s.start, s.length, PIIType::addresses};
                const bool seen = std::any_of(out.cbegin(), out.cend(), [&m](const TextMatch &o) { return o.overlaps(m); });
                if (!seen) {
                    out.append(m);
                }
            }
        }
    }
    std::sort(out.begin(), out.end(), [](const TextMatch &a, const TextMatch &b) { return a.start < b.start; });
    return out;
}

QList<Block> findAcrossLines(const QList<RecognizedLine> &lines)
{
    const Layout layout(lines);
    std::vector<int> order(size_t(layout.size()));
    for (int i = 0; i < layout.size(); ++i) {
        order[size_t(i)] = i;
    }
    std::stable_sort(order.begin(), order.end(), [&layout](int a, int b) { return layout.box(a).top() < layout.box(b).top(); });
    std::vector<bool> used(order.size(), false);
    QList<Block> out;
    for (int s : order) {
        if (used[size_t(s)]) {
            continue;
        }
        const std::optional<QList<Part>> parts = addressFrom(layout, s);
        if (!parts) {
            continue;
        }
        Block block;
        for (const Part &part : *parts) {
            block.lines << part.text;
            block.box = block.box.isNull() ? part.box : block.box.united(part.box);
            for (int i : part.lines) {
                used[size_t(i)] = true;
            }
        }
        out.append(block);
    }
    return out;
}

} // namespace AddressDetector
