// SPDX-License-Identifier: GPL-3.0-or-later
#include "annotation/Annotation.h"
#include "annotation/RedactionMarks.h"
#include "annotation/ScreenshotImage.h"

#include <gtest/gtest.h>

#include <QSet>

namespace {

TEST(AnnotationToolTest, TableOfRawValuesNamesAndSymbols)
{
    struct Row
    {
        AnnotationTool tool;
        const char *raw, *display, *symbol;
    };
    const Row rows[] = {
        {AnnotationTool::cursor, "cursor", "Select", "cursorarrow"},
        {AnnotationTool::rectangle, "rectangle", "Rectangle", "rectangle"},
        {AnnotationTool::ellipse, "ellipse", "Circle", "circle"},
        {AnnotationTool::arrow, "arrow", "Arrow", "arrow.up.right"},
        {AnnotationTool::text, "text", "Text", "textformat"},
        {AnnotationTool::stepNumber, "stepNumber", "Step #", "number.circle"},
        {AnnotationTool::blur, "blur", "Blur", "eye.slash"},
        {AnnotationTool::redact, "redact", "Redact", "rectangle.fill"},
    };
    ASSERT_EQ(AnnotationTools::all().size(), std::size(rows));
    QSet<QString> icons;
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const Row &r = rows[i];
        EXPECT_EQ(AnnotationTools::all()[qsizetype(i)], r.tool) << "toolbar order";
        EXPECT_EQ(AnnotationTools::rawValue(r.tool), r.raw);
        EXPECT_EQ(AnnotationTools::fromRawValue(QString::fromLatin1(r.raw)), r.tool);
        EXPECT_EQ(AnnotationTools::displayName(r.tool), r.display);
        EXPECT_EQ(AnnotationTools::symbolName(r.tool), r.symbol);
        icons.insert(AnnotationTools::iconName(r.tool));
    }
    EXPECT_EQ(icons.size(), qsizetype(std::size(rows))) << "every tool has its own icon";
    for (const char *notRaw : {"circle", "Circle", "Select", "StepNumber", ""}) {
        EXPECT_FALSE(AnnotationTools::fromRawValue(QString::fromLatin1(notRaw))) << notRaw;
    }
}

TEST(AnnotationTest, EachAnnotationGetsItsOwnIdAndCopiesKeepIt)
{
    const Annotation a(AnnotationTool::rectangle, QRectF(1, 2, 3, 4), Qt::red, 3);
    const Annotation b(AnnotationTool::rectangle, QRectF(1, 2, 3, 4), Qt::red, 3);
    EXPECT_NE(a.id(), b.id());
    EXPECT_FALSE(a.id().isNull());
    Annotation copy = a;
    copy.rect.translate(5, 5);
    EXPECT_EQ(copy.id(), a.id());
    EXPECT_EQ(a.fontSize, 16);
    EXPECT_FALSE(a.text || a.stepNumber || a.arrowStart || a.arrowEnd);
}

TEST(RedactionMarksTest, OneUnclippedMarkPerRectangleInTheStyle)
{
    const QList<QRectF> rects{{-4, -4, 30, 12}, {10, 20, 5000, 8}};
    struct Case
    {
        const char *style;
        AnnotationTool tool;
    };
    for (const Case c : {Case{"black", AnnotationTool::redact}, Case{"blur", AnnotationTool::blur},
                         Case{"Black", AnnotationTool::blur}, Case{"", AnnotationTool::blur}}) {
        const QList<Annotation> marks = RedactionMarks::make(rects, QString::fromLatin1(c.style));
        ASSERT_EQ(marks.size(), 2);
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(marks[i].tool(), c.tool) << c.style;
            EXPECT_EQ(marks[i].rect, rects[i]);
            EXPECT_EQ(marks[i].color, QColor(Qt::black));
            EXPECT_EQ(marks[i].strokeWidth, 1);
            EXPECT_EQ(marks[i].fontSize, 16);
            EXPECT_FALSE(marks[i].text || marks[i].stepNumber || marks[i].arrowStart || marks[i].arrowEnd);
        }
        EXPECT_NE(marks[0].id(), marks[1].id());
    }
    EXPECT_TRUE(RedactionMarks::make({}, QStringLiteral("black")).isEmpty());
}

TEST(ScreenshotImageTest, PixelsPerPointFromTheDeclaredResolution)
{
    struct Case
    {
        std::optional<double> dpi;
        int width;
        double expected;
    };
    const Case cases[] = {
        {std::nullopt, 1920, 1}, {72.009, 1920, 1}, {96.012, 1920, 1},
        {143.9926, 3840, 2},     {144, 2880, 2},    {216, 300, 3},
    };
    for (const Case &c : cases) {
        EXPECT_DOUBLE_EQ(ScreenshotImage::pixelsPerPoint(c.dpi, c.width), c.expected) << c.dpi.value_or(0);
    }
    EXPECT_EQ(ScreenshotImage::dotsPerMetre(2), 5669);
    EXPECT_EQ(ScreenshotImage::dotsPerMetre(1), 2835);
}

} // namespace
