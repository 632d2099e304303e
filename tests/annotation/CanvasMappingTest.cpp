// SPDX-License-Identifier: GPL-3.0-or-later
#include "annotation/CanvasMapping.h"

#include <gtest/gtest.h>

namespace {

struct FitCase
{
    QSizeF bounds;
    QSizeF nominal;
    QRectF expected;
};

TEST(CanvasMapping, PictureIsFittedAndCentred)
{
    const FitCase cases[] = {
        {{800, 600}, {1600, 900}, {0, 75, 800, 450}},     // wider than the view: fills the width
        {{800, 600}, {600, 900}, {200, 0, 400, 600}},     // taller: fills the height
        {{800, 600}, {400, 300}, {0, 0, 800, 600}},       // same shape, scaled up
        {{800, 600}, {0, 0}, {0, 0, 800, 600}},           // no size: the whole bounds
        {{800, 600}, {100, 0}, {0, 0, 800, 600}},
    };
    for (const FitCase &c : cases) {
        EXPECT_EQ(CanvasMapping::imageRect(c.bounds, c.nominal), c.expected) << c.nominal.width();
    }
}

TEST(CanvasMapping, ViewAndImagePointsRoundTripWithoutClamping)
{
    // A double-density capture: 3200 × 1800 pixels, 1600 × 900 points, in an 800 × 600 view.
    const QRectF r = CanvasMapping::imageRect({800, 600}, {1600, 900});
    const QSizeF pixels(3200, 1800);
    const QPointF points[] = {{0, 75}, {800, 525}, {400, 300}, {-10, 0}, {900, 700}};
    for (const QPointF &p : points) {
        const QPointF q = CanvasMapping::viewToImage(p, r, pixels);
        const QPointF back = CanvasMapping::imageToView(q, r, pixels);
        EXPECT_NEAR(back.x(), p.x(), 1e-9);
        EXPECT_NEAR(back.y(), p.y(), 1e-9);
    }
    EXPECT_EQ(CanvasMapping::viewToImage({0, 75}, r, pixels), QPointF(0, 0));
    EXPECT_EQ(CanvasMapping::viewToImage({800, 525}, r, pixels), QPointF(3200, 1800));
    EXPECT_EQ(CanvasMapping::viewToImage({-10, 0}, r, pixels), QPointF(-40, -300)); // outside stays outside
    EXPECT_EQ(CanvasMapping::imageToView(QRectF(400, 400, 800, 200), r, pixels), QRectF(100, 175, 200, 50));
    EXPECT_EQ(CanvasMapping::imageToViewTransform(r, pixels).mapRect(QRectF(400, 400, 800, 200)),
              QRectF(100, 175, 200, 50));
}

} // namespace
