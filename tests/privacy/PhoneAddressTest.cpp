// SPDX-License-Identifier: GPL-3.0-or-later
#include "privacy/AddressDetector.h"
#include "privacy/LineContext.h"
#include "privacy/PhoneDetector.h"

#include "common/QtPrinters.h"
#include "privacy/RecognizedLine.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <algorithm>
#include <cstring>

namespace {

QStringList texts(const QString &line, const TextMatches &matches)
{
    QStringList out;
    for (const TextMatch &m : matches) {
        out << line.mid(m.start, m.length);
    }
    return out;
}

struct Case
{
    const char *line;
    QStringList expected;
};

void PrintTo(const Case &c, std::ostream *os) { *os << c.line; }

class Addresses : public ::testing::TestWithParam<Case>
{
};

TEST_P(Addresses, FindsOneLineAddresses)
{
    const QString line = QString::fromUtf8(GetParam().line);
    EXPECT_EQ(texts(line, AddressDetector::find(line)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Addresses,
    ::testing::Values(
        Case{"Ship to 1600 Pennsylvania Avenue NW, Washington, DC 20500 today",
             {"1600 Pennsylvania Avenue NW, Washington, DC 20500"}},
        Case{"350 Fifth Ave, Suite 3300, New York, NY 10118-0110", {"350 Fifth Ave, Suite 3300, New York, NY 10118-0110"}},
        Case{"10 Downing Street, London SW1A 2AA", {"10 Downing Street, London SW1A 2AA"}},
        Case{"221B Baker Street, London NW1 6XE", {"221B Baker Street, London NW1 6XE"}},
        Case{"Musterstraße 12, 10115 Berlin", {"Musterstraße 12, 10115 Berlin"}},
        Case{"MusterstraBe 12, 10115 Berlin", {"MusterstraBe 12, 10115 Berlin"}},
        Case{"Musterstraf&e 12, 10115 Berlin", {"Musterstraf&e 12, 10115 Berlin"}},
        Case{"Berliner Straße 5a, 60311 Frankfurt am Main", {"Berliner Straße 5a, 60311 Frankfurt am Main"}},
        Case{"12 rue de la Paix, 75002 Paris", {"12 rue de la Paix, 75002 Paris"}},
        Case{"5 bis avenue des Champs-Élysées, 75008 Paris", {"5 bis avenue des Champs-Élysées, 75008 Paris"}},
        Case{"77 W 5th Ave FLR 2, New York, NY 10011", {"77 W 5th Ave FLR 2, New York, NY 10011"}},
        Case{"at 500 Oak Promenade, Ste. 210, Springfield, IL 62701, USA.",
             {"500 Oak Promenade, Ste. 210, Springfield, IL 62701, USA"}},
        Case{"123 Avenue B, New York, NY 10009", {"123 Avenue B, New York, NY 10009"}},
        Case{"P.O. Box 4410, Austin, TX 78765", {"P.O. Box 4410, Austin, TX 78765"}},
        Case{"1200 Rue Sainte-Catherine #12B, Montréal, QC H3B 1K9", {"1200 Rue Sainte-Catherine #12B, Montréal, QC H3B 1K9"}},
        Case{"Calle de Alcalá 48, 28014 Madrid", {"Calle de Alcalá 48, 28014 Madrid"}},
        Case{"Stephansplatz 3, 1010 Wien", {"Stephansplatz 3, 1010 Wien"}},
        Case{"Bahnhofstrasse 21, CH-8001 Zürich", {"Bahnhofstrasse 21, CH-8001 Zürich"}},
        // A street without a street word is only taken over a postcode line, never on one line.
        Case{"Release 12, 2024 Roadmap", {}},
        Case{"Room 12 Floor 3, 1010 Wien", {}},
        // Without a postcode a street is too ambiguous; prose with numbers is not an address.
        Case{"We met at 10 Downing Street yesterday", {}},
        Case{"Version 12 released on 2024-05-12 in Berlin", {}}));

// Recognised lines as text and box only: the geometry of cards, columns and form grids.
struct Laid
{
    const char *text;
    double x, y, w, h;
};

QList<RecognizedLine> laidOut(const std::vector<Laid> &laid)
{
    QList<RecognizedLine> lines;
    for (const Laid &l : laid) {
        lines.append({QString::fromUtf8(l.text), {}, QRectF(l.x, l.y, l.w, l.h)});
    }
    return lines;
}

struct Layout
{
    const char *what;
    std::vector<Laid> lines;
    std::vector<std::string> blocks; // the lines of each address, joined by " / "
};

void PrintTo(const Layout &l, std::ostream *os) { *os << l.what; }

class AcrossLines : public ::testing::TestWithParam<Layout>
{
};

TEST_P(AcrossLines, JoinsTheLinesOfEachAddress)
{
    const QList<RecognizedLine> lines = laidOut(GetParam().lines);
    std::vector<std::string> found;
    for (const AddressDetector::Block &b : AddressDetector::findAcrossLines(lines)) {
        found.push_back(b.lines.join(QStringLiteral(" / ")).toStdString());
        // The box covers every line of the address and nothing wider than they are.
        QRectF lineUnion;
        for (const RecognizedLine &l : lines) {
            if (b.lines.contains(l.text.trimmed()) || b.lines.join(u' ').contains(l.text)) {
                EXPECT_TRUE(b.box.contains(l.box)) << l.text.toStdString();
                lineUnion = lineUnion.isNull() ? l.box : lineUnion.united(l.box);
            }
        }
        EXPECT_EQ(b.box, lineUnion) << found.back();
    }
    EXPECT_EQ(found, GetParam().blocks);
}

INSTANTIATE_TEST_SUITE_P(
    Table, AcrossLines,
    ::testing::Values(
        // Three cards side by side, read row by row: the columns stay apart.
        Layout{"cards",
               {{"Billing address", 270, 128, 118, 14}, {"Shipping address", 598, 128, 138, 14},
                {"500 Oak Promenade, Ste. 210", 270, 153, 194, 11}, {"77 W 5th Ave FLR 2", 598, 153, 125, 10},
                {"PO Box 4410", 926, 154, 82, 9}, {"Springfield, IL 62701", 270, 171, 132, 13},
                {"New York, NY 10011", 598, 171, 129, 11}, {"Austin, TX 78765", 925, 171, 110, 11},
                {"United States", 270, 188, 86, 10}},
               {"500 Oak Promenade, Ste. 210 / Springfield, IL 62701 / United States",
                "77 W 5th Ave FLR 2 / New York, NY 10011", "PO Box 4410 / Austin, TX 78765"}},
        Layout{"building, Canada, Austria at 2x",
               {{"Riverside House", 541, 905, 238, 24}, {"2 Southwark Bridge Road", 540, 945, 376, 29},
                {"London SE1 9HA", 541, 986, 245, 24}, {"1200 Rue Sainte-Catherine #12B", 1197, 633, 493, 24},
                {"Montréal, QC H3B 1K9", 1197, 672, 330, 28}, {"Mariahilfer StraBe 45", 1197, 905, 311, 24},
                {"1060 Wien", 1197, 945, 155, 24}},
               {"1200 Rue Sainte-Catherine #12B / Montréal, QC H3B 1K9",
                "Riverside House / 2 Southwark Bridge Road / London SE1 9HA", "Mariahilfer StraBe 45 / 1060 Wien"}},
        // One column holding four addresses without blank lines between them.
        Layout{"column",
               {{"Calle de Alcala 48", 968, 103, 116, 10}, {"28014 Madrid", 968, 122, 88, 10},
                {"Unter den Linden 77", 968, 147, 131, 10}, {"10117 Berlin", 968, 166, 81, 10},
                {"10 Downing Street", 968, 190, 120, 10}, {"London", 968, 209, 50, 10}, {"SW1A 2AA", 968, 228, 60, 10},
                {"8 Place Bellecour", 968, 247, 111, 10}, {"69002 Lyon", 968, 266, 74, 12}},
               {"Calle de Alcala 48 / 28014 Madrid", "Unter den Linden 77 / 10117 Berlin",
                "10 Downing Street / London / SW1A 2AA", "8 Place Bellecour / 69002 Lyon"}},
        // A form: the street field, a row of labels, the city, state and ZIP fields far apart.
        Layout{"form grid",
               {{"Street address", 25, 169, 79, 8}, {"4821 Lakeview Terrace, Suite 300", 34, 194, 218, 11},
                {"City", 24, 229, 20, 10}, {"State", 299, 229, 28, 8}, {"ZIP", 472, 229, 16, 8},
                {"Phone", 567, 229, 33, 8}, {"Portland", 34, 254, 52, 10}, {"OR", 308, 255, 18, 9},
                {"97201", 482, 255, 40, 9}, {"(503) 555-0117", 576, 254, 97, 11}},
               {"4821 Lakeview Terrace, Suite 300 / Portland OR 97201"}},
        // Not one address: too far apart, not aligned, of another size, a street word missing
        // before a foreign locality, or prose.
        Layout{"gap of four lines", {{"12 Main Street", 10, 10, 100, 10}, {"Springfield, IL 62701", 10, 60, 130, 10}}, {}},
        Layout{"other column", {{"12 Main Street", 10, 10, 100, 10}, {"Springfield, IL 62701", 60, 24, 130, 10}}, {}},
        Layout{"heading size", {{"12 Main Street", 10, 10, 100, 10}, {"Springfield, IL 62701", 10, 24, 300, 26}}, {}},
        Layout{"no street word", {{"Unter den Linden 77", 10, 10, 100, 10}, {"Springfield, IL 62701", 10, 24, 130, 10}}, {}},
        Layout{"numbered heading", {{"Version 12", 10, 10, 100, 10}, {"2024 Highlights", 10, 24, 130, 10}}, {}},
        Layout{"prose", {{"Meet me at 12 Main Street", 10, 10, 160, 10}, {"Springfield, IL 62701 is far", 10, 24, 160, 10}},
               {}}));

struct Around
{
    const char *line;
    const char *before, *after, *header;
};

void PrintTo(const Around &a, std::ostream *os) { *os << a.line; }

class Contexts : public ::testing::TestWithParam<Around>
{
};

// A package table read cell by cell, a sentence under it, a form label over its field and a
// lone cell far below: the row beside each line and the heading up its column.
TEST_P(Contexts, RowAndColumnHeading)
{
    const std::vector<Laid> laid{
        {"Package", 10, 10, 60, 10},  {"Version", 100, 10, 50, 10},   {"Arch", 200, 10, 30, 10},
        {"libfoo", 10, 24, 50, 10},   {"4.2.0.17", 100, 24, 55, 10},  {"amd64", 200, 24, 40, 10},
        {"libbar", 10, 38, 50, 10},   {"10.1.2.3", 100, 38, 55, 10},  {"amd64", 200, 38, 40, 10},
        {"Questions? Call (201) 555-0147 or write", 10, 52, 300, 10}, {"Phone", 400, 10, 33, 8},
        {"(503) 555-", 400, 24, 70, 11},   {"5.3.2.1", 100, 120, 50, 10},  {"Build", 500, 10, 40, 10},
        {"7.3.19.2", 500, 24, 55, 10},     {"Eales)", 500, 38, 55, 10},    {"7.3.19.4", 500, 52, 55, 10},
    };
    const QList<RecognizedLine> lines = laidOut(laid);
    const QList<LineContext> contexts = LineContexts::of(lines);
    ASSERT_EQ(contexts.size(), lines.size());
    const Around &want = GetParam();
    const auto at = std::find_if(laid.begin(), laid.end(), [&want](const Laid &l) { return !std::strcmp(l.text, want.line); });
    ASSERT_NE(at, laid.end());
    const LineContext &c = contexts[at - laid.begin()];
    EXPECT_EQ(c.before.toStdString(), want.before);
    EXPECT_EQ(c.after.toStdString(), want.after);
    EXPECT_EQ(c.header.toStdString(), want.header);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Contexts,
    ::testing::Values(Around{"4.2.0.17", "libfoo", "amd64  (503) 555-  7.3.19.2", "Version"},
                      Around{"10.1.2.3", "libbar", "amd64  Eales)", "Version"},
                      Around{"Questions? Call (201) 555-0147 or write", "", "7.3.19.4", ""},
                      Around{"(503) 555-", "libfoo  4.2.0.17  amd64", "7.3.19.2", "Phone"},
                      Around{"5.3.2.1", "", "", ""},
                      // A misread cell without digits is passed over on the way up to the heading.
                      Around{"7.3.19.4", "Questions? Call (201) 555-0147 or write", "", "Build"}));

class Wrapped : public ::testing::TestWithParam<Layout>
{
};

// A number wrapped onto the next line of its bubble is joined to it; the next cell down a
// column, a line elsewhere or far below is not.
TEST_P(Wrapped, JoinsANumberOverTwoLines)
{
    const QList<RecognizedLine> lines = laidOut(GetParam().lines);
    const PhoneDetector detector({QStringLiteral("US"), QStringLiteral("GB"), QStringLiteral("FR")});
    std::vector<std::string> found;
    for (const PhoneDetector::LineMatch &m : detector.findWrapped(lines, LineContexts::of(lines))) {
        found.push_back(lines[m.line].text.mid(m.match.start, m.match.length).toStdString());
    }
    EXPECT_EQ(found, GetParam().blocks);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Wrapped,
    ::testing::Values(
        Layout{"bubble", {{"Call me at +44 20 7946", 10, 10, 150, 12}, {"0958 after six", 10, 26, 90, 12}}, {"+44 20 7946", "0958"}},
        Layout{"stray quote", {{"Or Paris: +33 1 99 00 '", 10, 10, 150, 12}, {"27 41", 12, 26, 40, 12}}, {"+33 1 99 00", "27 41"}},
        Layout{"corner and speck", {{"call me at +44 20 7946 ©", 10, 10, 150, 12}, {". 0958 after six", 10, 26, 90, 12}}, {"+44 20 7946", "0958"}},
        Layout{"order column", {{"4155550193", 10, 10, 80, 12}, {"4155550194", 10, 26, 80, 12}}, {}},
        Layout{"other column", {{"Call me at +44 20 7946", 10, 10, 150, 12}, {"0958", 200, 26, 30, 12}}, {}},
        // Seven digits or more open a number of their own, not the end of the one above.
        Layout{"long second line", {{"Call me at +44 20", 10, 10, 120, 12}, {"79460958 tonight", 10, 26, 90, 12}}, {}},
        Layout{"twice", {{"my mobile, +44 20", 10, 10, 120, 12}, {"7946", 10, 26, 30, 12}, {"0411.", 10, 42, 30, 12}}, {"+44 20", "7946", "0411"}},
        Layout{"far below", {{"Call me at +44 20 7946", 10, 10, 150, 12}, {"0958", 10, 40, 30, 12}}, {}}));

} // namespace
