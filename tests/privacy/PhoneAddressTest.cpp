// SPDX-License-Identifier: GPL-3.0-or-later
#include "privacy/AddressDetector.h"
#include "privacy/PhoneDetector.h"

#include "common/QtPrinters.h"

#include <gtest/gtest.h>

#include <QStringList>

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

class Phones : public ::testing::TestWithParam<Case>
{
};

TEST_P(Phones, FindsNumbersNotDecoys)
{
    // The user's own region first; the neighbours' national formats are tried as well.
    const PhoneDetector detector({QStringLiteral("US"), QStringLiteral("GB"), QStringLiteral("DE"), QStringLiteral("FR")});
    const QString line = QString::fromUtf8(GetParam().line);
    EXPECT_EQ(texts(line, detector.find(line)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Phones,
    ::testing::Values(Case{"Mobile (201) 555-0123", {"(201) 555-0123"}},
                      Case{"Office +1 415 555 0132.", {"+1 415 555 0132"}},
                      Case{"London 020 7946 0018", {"020 7946 0018"}},
                      Case{"Berlin 030 23125 017", {"030 23125 017"}},
                      Case{"Paris 01 99 00 12 34", {"01 99 00 12 34"}},
                      Case{"😀 call +44 20 7946 0958", {"+44 20 7946 0958"}},
                      // Possible but unassigned numbers after a phone word or with a "+".
                      Case{"Call me at 555-555-0142 before noon", {"555-555-0142"}},
                      Case{"or +1 555 555 0178.", {"+1 555 555 0178"}},
                      Case{"Tel: 555 555 0101", {"555 555 0101"}},
                      Case{"Ticket 555-555-0142 closed", {}},
                      Case{"call about invoice 5555550142", {}},
                      Case{"Order ID: 4155550199", {}},
                      Case{"Invoice #2015550123", {}},
                      // Identifiers after a label or a "#", in the forms order and ticket pages print.
                      Case{"Ref-2125550147 paid", {}},
                      Case{"Order no. 3125550199 shipped", {}},
                      Case{"Ticket: (201) 555-0123", {}},
                      Case{"Bestellnr. 030 23125 017", {}},
                      Case{"see # 4155550167", {}},
                      // A label word elsewhere in the line does not hide the number.
                      Case{"Customer phone: (201) 555-0123", {"(201) 555-0123"}},
                      Case{"Order shipped, call (201) 555-0123", {"(201) 555-0123"}},
                      Case{"Total $2015550123 due", {}},
                      Case{"on 2024-05-12 at 14:30, 12.5%", {}},
                      Case{"Date 12/03/2024 time 14:30:07", {}}));

TEST(PhoneRegions, DefaultsIncludeTheNeighbours)
{
    const QStringList regions = PhoneDetector::regionsForUser();
    for (const char *r : {"US", "GB", "DE", "FR"}) {
        EXPECT_TRUE(regions.contains(QString::fromLatin1(r))) << r;
    }
}

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
        // Without a postcode a street is too ambiguous; prose with numbers is not an address.
        Case{"We met at 10 Downing Street yesterday", {}},
        Case{"Version 12 released on 2024-05-12 in Berlin", {}}));

} // namespace
