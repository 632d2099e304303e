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
    int kinds;          // what is asked for; the text is read when maxCer >= 0
    const char *kind;   // the planted kind scored; null for all
    int percent;        // share of those planted items wholly hidden
    double maxCer;      // small monospace type still loses underscores and gains spaces
    double scale = 0;   // the enlargement chosen for reading; 0: not checked
};

void PrintTo(const Screen &s, std::ostream *os) { *os << s.name << ' ' << s.kinds; }

class Fixtures : public ::testing::TestWithParam<Screen>
{
};

// Planted items are hidden and decoys are not; dark screens are inverted and small text enlarged.
TEST_P(Fixtures, PlantedItemsAreHiddenAndDecoysAreNot)
{
    const Screen &p = GetParam();
    const FixtureScore::Fixture f = FixtureScore::load(QString::fromLatin1(p.name));
    ASSERT_FALSE(f.image.isNull());
    const QImage grey = f.image.convertToFormat(QImage::Format_Grayscale8);
    EXPECT_EQ(TextRecognizer::looksDark(grey), QByteArray(p.name).contains("-dark-"));
    if (p.scale > 0) {
        EXPECT_EQ(TextRecognizer::chooseScale(grey), p.scale);
    }
    const PIIDetector::ScanResult r = PIIDetector::scanNow(f.image, PIITypes::fromInt(p.kinds), p.maxCer >= 0);
    if (!(p.kinds & PIIType::faces)) {
        EXPECT_TRUE(r.faceRects.isEmpty());
    }
    FixtureScore::Score s;
    FixtureScore::scoreInto(f, r, s);
    const QString kind = QString::fromLatin1(p.kind);
    const int planted = p.kind ? s.planted.value(kind) : std::accumulate(s.planted.begin(), s.planted.end(), 0);
    const int covered = p.kind ? s.covered.value(kind) : std::accumulate(s.covered.begin(), s.covered.end(), 0);
    ASSERT_GT(planted, 5);
    EXPECT_GE(covered * 100, planted * p.percent) << s.misses.join(QLatin1Char('\n')).toStdString();
    if (p.percent == 0) {
        EXPECT_TRUE(r.piiRects.isEmpty());
    }
    EXPECT_EQ(s.decoyHits, 0) << s.decoyNames.join(QLatin1Char('\n')).toStdString();
    if (p.maxCer >= 0) {
        EXPECT_LE(s.cer(), p.maxCer);
        EXPECT_FALSE(r.ocrText.endsWith(QLatin1Char('\n')));
    } else if (!(p.kinds & kTextPIITypesMask)) {
        EXPECT_TRUE(r.ocrText.isEmpty());
    }
}

constexpr int kText = kTextPIITypesMask;

INSTANTIATE_TEST_SUITE_P(
    Screens, Fixtures,
    ::testing::Values(Screen{"contacts-light-13px-1x", kText, nullptr, 95, 0.02, 2.0}, // light, 1x
                      Screen{"terminal-dark-14px-1x", kText, nullptr, 95, 0.08},       // dark, monospace
                      Screen{"billing-dark-18px-2x", kText, nullptr, 95, 0.02, 1.0},   // dark, HiDPI
                      Screen{"feed-dark-12px-1x", kText, nullptr, 95, 0.05},           // text on photos and bubbles
                      Screen{"inventory-light-16px-2x", kText, nullptr, 95, 0.02},     // table cells of large type
                      // A full stop read as a space in a small cell; a number wrapped in a bubble
                      // whose corner is read as a symbol.
                      Screen{"inventory-light-13px-1x", kText, "ips", 100, -1},
                      Screen{"feed-light-13px-1x", kText, nullptr, 100, -1},
                      // IPv6 addresses ending sentences, whose last characters are placed short
                      // of where they are drawn: boxed to the word's outline.
                      Screen{"support-dark-15px-2x", kText, nullptr, 100, 0.04},
                      // Nothing of the text asked for, then faces only: text read alone, or nothing read.
                      Screen{"contacts-light-13px-1x", 0, nullptr, 0, 0.02},
                      Screen{"contacts-light-13px-1x", PIIType::faces, nullptr, 0, -1},
                      // Addresses over two and three lines on cards, and city, state and ZIP in
                      // fields side by side: every line of every address hidden.
                      Screen{"crm-light-13px-1x", PIIType::addresses, "addresses", 100, -1},
                      Screen{"checkout-dark-15px-2x", PIIType::addresses, "addresses", 100, -1}));

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
