// SPDX-License-Identifier: GPL-3.0-or-later
#include "annotation/Annotation.h"
#include "annotation/CanvasMapping.h"
#include "annotation/RedactionMarks.h"
#include "annotation/ScreenshotImage.h"

#include <gtest/gtest.h>

#include <QSet>

namespace {

TEST(AnnotationToolTest, RawValuesRoundTripInToolbarOrderAndEachToolHasItsOwnIcon)
{
    const char *const raw[] = {"cursor", "rectangle", "ellipse", "arrow", "text", "stepNumber", "blur", "redact"};
    ASSERT_EQ(AnnotationTools::all().size(), std::size(raw));
    QSet<QString> icons;
    for (qsizetype i = 0; i < AnnotationTools::all().size(); ++i) {
        const AnnotationTool tool = AnnotationTools::all()[i];
        EXPECT_EQ(AnnotationTools::rawValue(tool), raw[i]);
        EXPECT_EQ(AnnotationTools::fromRawValue(QString::fromLatin1(raw[i])), tool);
        icons.insert(AnnotationTools::iconName(tool));
    }
    EXPECT_EQ(icons.size(), AnnotationTools::all().size());
    for (const char *notRaw : {"circle", "Circle", "Select", "StepNumber", ""}) {
        EXPECT_FALSE(AnnotationTools::fromRawValue(QString::fromLatin1(notRaw))) << notRaw;
    }
}

TEST(RedactionMarksTest, OneUnclippedMarkPerRectangleInTheStyleEachWithItsOwnId)
{
    const QList<QRectF> rects{{-4, -4, 30, 12}, {10, 20, 5000, 8}};
    for (const auto &[style, tool] :
         {std::pair{"black", AnnotationTool::redact}, std::pair{"blur", AnnotationTool::blur},
          std::pair{"Black", AnnotationTool::blur}, std::pair{"", AnnotationTool::blur}}) {
        const QList<Annotation> marks = RedactionMarks::make(rects, QString::fromLatin1(style));
        ASSERT_EQ(marks.size(), 2);
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(marks[i].tool(), tool) << style;
            EXPECT_EQ(marks[i].rect, rects[i]);
        }
        EXPECT_NE(marks[0].id(), marks[1].id());
        EXPECT_FALSE(marks[0].id().isNull());
    }
    EXPECT_TRUE(RedactionMarks::make({}, QStringLiteral("black")).isEmpty());
}

TEST(ScreenshotImageTest, PixelsPerPointFromTheDeclaredResolution)
{
    const std::tuple<std::optional<double>, int, double> cases[] = {
        {std::nullopt, 1920, 1}, {72.009, 1920, 1}, {96.012, 1920, 1},
        {143.9926, 3840, 2},     {144, 2880, 2},    {216, 300, 3},
    };
    for (const auto &[dpi, width, expected] : cases) {
        EXPECT_DOUBLE_EQ(ScreenshotImage::pixelsPerPoint(dpi, width), expected) << dpi.value_or(0);
    }
    EXPECT_EQ(ScreenshotImage::dotsPerMetre(2), 5669);
    EXPECT_EQ(ScreenshotImage::dotsPerMetre(1), 2835);
}

TEST(CanvasMappingTest, PictureIsFittedAndCentred)
{
    const std::pair<QSizeF, QRectF> cases[] = {
        {{1600, 900}, {0, 75, 800, 450}},  // wider than the view: fills the width
        {{600, 900}, {200, 0, 400, 600}},  // taller: fills the height
        {{400, 300}, {0, 0, 800, 600}},    // same shape, scaled up
        {{0, 0}, {0, 0, 800, 600}},        // no size: the whole bounds
        {{100, 0}, {0, 0, 800, 600}},
    };
    for (const auto &[nominal, expected] : cases) {
        EXPECT_EQ(CanvasMapping::imageRect({800, 600}, nominal), expected) << nominal.width();
    }
}

TEST(CanvasMappingTest, ViewAndImagePointsMapWithoutClamping)
{
    // A double-density capture: 3200 × 1800 pixels, 1600 × 900 points, in an 800 × 600 view.
    const QRectF r = CanvasMapping::imageRect({800, 600}, {1600, 900});
    const QSizeF pixels(3200, 1800);
    const std::pair<QPointF, QPointF> cases[] = {
        {{0, 75}, {0, 0}}, {{800, 525}, {3200, 1800}}, {{400, 300}, {1600, 900}},
        {{-10, 0}, {-40, -300}}, // outside stays outside
    };
    for (const auto &[view, image] : cases) {
        EXPECT_EQ(CanvasMapping::viewToImage(view, r, pixels), image);
        EXPECT_EQ(CanvasMapping::imageToView(image, r, pixels), view);
    }
    EXPECT_EQ(CanvasMapping::imageToView(QRectF(400, 400, 800, 200), r, pixels), QRectF(100, 175, 200, 50));
    EXPECT_EQ(CanvasMapping::imageToViewTransform(r, pixels).mapRect(QRectF(400, 400, 800, 200)),
              QRectF(100, 175, 200, 50));
}

} // namespace
