// SPDX-License-Identifier: GPL-3.0-or-later
// Recognition on screenshots rendered by a browser, with the true box of every planted item.
#include "FixtureScore.h"
#include "common/QtPrinters.h"
#include "privacy/PIIDetector.h"
#include "privacy/TextRecognizer.h"

#include <gtest/gtest.h>

#include <numeric>

namespace {

struct Screen
{
    const char *name;
    double maxCer; // small monospace type still loses underscores and gains spaces
};

void PrintTo(const Screen &s, std::ostream *os) { *os << s.name; }

class Fixtures : public ::testing::TestWithParam<Screen>
{
};

TEST_P(Fixtures, PlantedItemsAreReadAndHiddenDecoysAreNot)
{
    const FixtureScore::Fixture f = FixtureScore::load(QString::fromLatin1(GetParam().name));
    ASSERT_FALSE(f.image.isNull());
    ASSERT_FALSE(f.items.isEmpty());
    const PIIDetector::ScanResult r = PIIDetector::scanNow(f.image, PIITypes::fromInt(kTextPIITypesMask), true);
    FixtureScore::Score s;
    FixtureScore::scoreInto(f, r, s);
    const int planted = std::accumulate(s.planted.begin(), s.planted.end(), 0);
    const int covered = std::accumulate(s.covered.begin(), s.covered.end(), 0);
    // Nearly every planted item lies wholly under rectangles; none of the decoys is boxed.
    EXPECT_GE(covered * 100, planted * 95) << s.misses.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(s.decoyHits, 0) << s.decoyNames.join(QLatin1Char('\n')).toStdString();
    EXPECT_LE(s.cer(), GetParam().maxCer);
}

INSTANTIATE_TEST_SUITE_P(Screens, Fixtures,
                         ::testing::Values(Screen{"contacts-light-13px-1x", 0.02}, // light, 1x
                                           Screen{"terminal-dark-14px-1x", 0.08},  // dark, monospace
                                           Screen{"billing-dark-18px-2x", 0.02},   // dark, HiDPI
                                           Screen{"feed-dark-12px-1x", 0.05},      // text on photos and bubbles
                                           Screen{"inventory-light-16px-2x", 0.02})); // table cells of large type

class MultiLineAddresses : public ::testing::TestWithParam<const char *>
{
};

// Cards with addresses over two and three lines, and a form with the city, state and ZIP in
// fields side by side: every line of every address lies under the rectangles.
TEST_P(MultiLineAddresses, EveryLineIsHidden)
{
    const FixtureScore::Fixture f = FixtureScore::load(QString::fromLatin1(GetParam()));
    ASSERT_FALSE(f.image.isNull());
    FixtureScore::Score s;
    FixtureScore::scoreInto(f, PIIDetector::scanNow(f.image, PIIType::addresses, false), s);
    ASSERT_GT(s.planted.value(QStringLiteral("addresses")), 5);
    EXPECT_EQ(s.covered.value(QStringLiteral("addresses")), s.planted.value(QStringLiteral("addresses")))
        << s.misses.join(QLatin1Char('\n')).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Screens, MultiLineAddresses, ::testing::Values("crm-light-13px-1x", "checkout-dark-15px-2x"));

TEST(Preparation, DarkScreensAreInvertedAndSmallTextEnlarged)
{
    const QImage dark = FixtureScore::load(QStringLiteral("terminal-dark-14px-1x")).image.convertToFormat(QImage::Format_Grayscale8);
    const QImage light = FixtureScore::load(QStringLiteral("contacts-light-13px-1x")).image.convertToFormat(QImage::Format_Grayscale8);
    const QImage hidpi = FixtureScore::load(QStringLiteral("billing-dark-18px-2x")).image.convertToFormat(QImage::Format_Grayscale8);
    EXPECT_TRUE(TextRecognizer::looksDark(dark));
    EXPECT_FALSE(TextRecognizer::looksDark(light));
    EXPECT_EQ(TextRecognizer::chooseScale(light), 2.0);
    EXPECT_EQ(TextRecognizer::chooseScale(hidpi), 1.0);
}

// Rectangles are in the original bitmap's pixels whatever the preparation: the same item
// read at a different enlargement lands in the same place.
TEST(Preparation, RectanglesMapBackToTheOriginalPixels)
{
    const FixtureScore::Fixture f = FixtureScore::load(QStringLiteral("billing-light-11px-1x"));
    const QString card = QStringLiteral("4242 4242 4242 4242");
    QRectF item; // the drawn digits, not the table cell around them
    for (const FixtureScore::Item &i : f.items) {
        if (i.text == card) {
            for (const QPoint &p : FixtureScore::inkPixels(f.image, i.rect)) {
                item |= QRectF(p, QSizeF(1, 1));
            }
        }
    }
    ASSERT_FALSE(item.isEmpty());
    for (double scale : {1.0, 2.0, 3.0}) {
        TextRecognizer::Options o;
        o.scale = scale;
        std::optional<QRectF> box;
        for (const RecognizedLine &line : TextRecognizer::recognize(f.image, o)) {
            if (line.text.contains(card)) {
                box = line.boundingBox(int(line.text.indexOf(card)), int(card.size()));
            }
        }
        ASSERT_TRUE(box) << scale;
        EXPECT_NEAR(box->left(), item.left(), 2) << scale;
        EXPECT_NEAR(box->right(), item.right(), 2) << scale;
        EXPECT_NEAR(box->center().y(), item.center().y(), 2) << scale;
    }
}

} // namespace
