// SPDX-License-Identifier: GPL-3.0-or-later
#include "privacy/CardNumberMatcher.h"

#include <gtest/gtest.h>

namespace {

struct LuhnCase
{
    const char16_t *text;
    bool passes;
};

class Luhn : public ::testing::TestWithParam<LuhnCase>
{
};

TEST_P(Luhn, ChecksDigitsIgnoringSeparators)
{
    EXPECT_EQ(CardNumberMatcher::passesLuhnCheck(GetParam().text), GetParam().passes);
}

INSTANTIATE_TEST_SUITE_P(Table, Luhn,
                         ::testing::Values(LuhnCase{u"4242424242424242", true}, LuhnCase{u"4242 4242 4242 4242", true},
                                           LuhnCase{u"4242-4242-4242-4241", false},
                                           LuhnCase{u"424242424242", false},          // 12 digits
                                           LuhnCase{u"4222222222222", true},          // 13 digits
                                           LuhnCase{u"42424242424242424242", false},  // 20 digits
                                           LuhnCase{u"6011111111111117", true}, LuhnCase{u"378282246310005", true},
                                           // Other decimal digits count too (Arabic-Indic 4242...).
                                           LuhnCase{u"٤٢٤٢٤٢٤٢٤٢٤٢٤٢٤٢", true}));

struct IssuerCase
{
    const char16_t *text;
    bool card;
};

class Issuer : public ::testing::TestWithParam<IssuerCase>
{
};

TEST_P(Issuer, KnowsPrefixesAndLengths)
{
    EXPECT_EQ(CardNumberMatcher::hasIssuerPrefixAndLength(GetParam().text), GetParam().card);
}

INSTANTIATE_TEST_SUITE_P(Table, Issuer,
                         ::testing::Values(IssuerCase{u"4242424242424242", true},   // Visa
                                           IssuerCase{u"4222222222222", true},      // Visa, 13
                                           IssuerCase{u"5555555555554444", true},   // Mastercard
                                           IssuerCase{u"2223003122003222", true},   // Mastercard 2-series
                                           IssuerCase{u"2721003122003222", false},  // just past it
                                           IssuerCase{u"378282246310005", true},    // Amex
                                           IssuerCase{u"3782822463100050", false},  // Amex is 15
                                           IssuerCase{u"6011111111111117", true},   // Discover
                                           IssuerCase{u"36227206271667", true},     // Diners, 14
                                           IssuerCase{u"3566002020360505", true},   // JCB
                                           IssuerCase{u"6200000000000005", true},   // UnionPay
                                           IssuerCase{u"6759649826438453", true},   // Maestro
                                           IssuerCase{u"135412345678911", true},    // UATP, 15
                                           IssuerCase{u"1748503543012", false},     // ms timestamp
                                           IssuerCase{u"490154203237518", false},   // IMEI
                                           IssuerCase{u"8944500102198304826", false})); // ICCID

} // namespace
