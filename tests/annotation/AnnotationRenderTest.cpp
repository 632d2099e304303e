// SPDX-License-Identifier: GPL-3.0-or-later
#include "annotation/AnnotatedCopy.h"
#include "annotation/AnnotationRenderer.h"
#include "annotation/ScreenshotImage.h"
#include "common/TestImages.h"

#include <gtest/gtest.h>

#include <QPainter>

using namespace TestImages;

namespace {

QImage render(const QList<Annotation> &annotations, const QImage &image)
{
    const auto png = AnnotatedCopy::renderAnnotatedPNG(annotations, image);
    if (!png) {
        ADD_FAILURE() << "nothing rendered";
        return {};
    }
    return QImage::fromData(*png, "PNG").convertToFormat(QImage::Format_RGB32);
}

Annotation mark(AnnotationTool tool, const QRectF &r) { return Annotation(tool, r, Qt::black, 1); }

Annotation arrow(const QPointF &from, const QPointF &to, double width = 3)
{
    return Annotation(AnnotationTool::arrow, QRectF(), Qt::red, width, std::nullopt, std::nullopt, from, to);
}

// How many pixels of the image differ from the original outside `covered`.
int changedOutside(const QImage &out, const QImage &original, const QRect &covered)
{
    int changed = 0;
    for (int y = 0; y < original.height(); ++y) {
        for (int x = 0; x < original.width(); ++x) {
            changed += !covered.contains(x, y) && out.pixel(x, y) != original.pixel(x, y);
        }
    }
    return changed;
}

bool isRed(QRgb c) { return qRed(c) > 180 && qGreen(c) < 110 && qBlue(c) < 110; }

// How much of a row, in pixels, a red line on white covers between x0 and x1.
double redCoverage(const QImage &image, int y, int x0, int x1)
{
    double sum = 0;
    for (int x = x0; x <= x1; ++x) {
        sum += (255 - qGreen(image.pixel(x, y))) / 255.0;
    }
    return sum;
}

// Whether every pixel of the area has the colour.
bool flat(const QImage &image, const QRect &area, QRgb colour)
{
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (image.pixel(x, y) != colour) {
                return false;
            }
        }
    }
    return true;
}

TEST(AnnotationRenderTest, BlackBoxAndMarksOffTheImage)
{
    const QImage original = uniquePixels(200, 150);
    // Fractional edges, as detection rectangles have them: the partly covered pixels go black too.
    const QImage out = render({mark(AnnotationTool::redact, QRectF(10.3, 20.7, 50.2, 30.5))}, original);
    const QRect covered(QPoint(10, 20), QPoint(60, 51));
    EXPECT_TRUE(flat(out, covered, qRgb(0, 0, 0)));
    EXPECT_EQ(changedOutside(out, original, covered), 0);
    // No marks, or pixelations wholly off the image, give the screenshot as it was.
    EXPECT_EQ(render({}, original), original);
    EXPECT_EQ(render({mark(AnnotationTool::blur, QRectF(200, 0, 50, 50)),
                      mark(AnnotationTool::blur, QRectF(-60, -60, 59.5, 59.5))},
                     original),
              original);
    EXPECT_FALSE(AnnotatedCopy::renderAnnotatedPNG({mark(AnnotationTool::redact, QRectF(0, 0, 5, 5))}, QImage()));
}

TEST(AnnotationRenderTest, PixelationIsEightByEightFlatBlocksSampledFromTheVisiblePart)
{
    const QImage original = uniquePixels(160, 160);
    // The mark, and the part of the image that is sampled and covered.
    const std::pair<QRectF, QRect> cases[] = {
        {QRectF(16, 32, 64, 96), QRect(16, 32, 64, 96)},
        {QRectF(-40, 10, 80, 80), QRect(0, 10, 40, 80)},     // half past the left edge
        {QRectF(120, 120, 80, 80), QRect(120, 120, 40, 40)}, // past the bottom-right corner
    };
    for (const auto &[rect, g] : cases) {
        SCOPED_TRACE(g.x());
        const QImage out = render({mark(AnnotationTool::blur, rect)}, original);
        EXPECT_EQ(changedOutside(out, original, g), 0);
        const double blockW = rect.width() / 8, blockH = rect.height() / 8;
        for (int j = 0; j < 8; ++j) {
            for (int i = 0; i < 8; ++i) {
                const QRect block = QRectF(rect.x() + i * blockW, rect.y() + j * blockH, blockW, blockH)
                                        .toRect()
                                        .intersected(original.rect());
                if (block.isEmpty()) {
                    continue;
                }
                const QRgb colour = out.pixel(block.topLeft());
                EXPECT_TRUE(flat(out, block, colour)) << "block " << i << "," << j;
                // Nearest neighbour from the cell's own share of the visible region, never a blend.
                const QRect share(QPoint(g.x() + i * g.width() / 8, g.y() + j * g.height() / 8),
                                  QPoint(g.x() + (i + 1) * g.width() / 8 - 1, g.y() + (j + 1) * g.height() / 8 - 1));
                EXPECT_TRUE(occursIn(original, share, colour)) << "block " << i << "," << j;
            }
        }
    }
    // It samples the screenshot, not the marks drawn before it.
    const QImage out =
        render({mark(AnnotationTool::redact, QRectF(0, 0, 80, 80)), mark(AnnotationTool::blur, QRectF(0, 0, 40, 40))},
               filled(80, 80, Qt::white));
    EXPECT_EQ(out.pixel(10, 10), qRgb(255, 255, 255));
    EXPECT_EQ(out.pixel(60, 60), qRgb(0, 0, 0));
}

TEST(AnnotationRenderTest, DoubleDensityImageDoublesLinesHeadsAndText)
{
    struct Measure
    {
        double line;
        bool wideHead;
        int textHeight, plateHeight;
    };
    const auto measure = [](double scale) {
        QImage image = filled(400, 300, Qt::white);
        image.setDevicePixelRatio(scale);
        const Annotation text(AnnotationTool::text, QRectF(20, 200, 0, 0), Qt::red, 3, QStringLiteral("HEH"),
                              std::nullopt, std::nullopt, std::nullopt, 16);
        const QImage out = render({Annotation(AnnotationTool::rectangle, QRectF(100, 20, 100, 100), Qt::red, 3),
                                   arrow({50, 150}, {350, 150}), text},
                                  image);
        // The head's sides are 30 px long on a 2× image, so 23 px before the tip it is still 13 px
        // wide on each side; a 1× head (15 px sides) has ended there and only the shaft remains.
        Measure m{redCoverage(out, 70, 90, 110), isRed(out.pixel(327, 162)) && isRed(out.pixel(327, 138)), 0, 0};
        int top = -1, bottom = -1, plateTop = -1, plateBottom = -1;
        for (int y = 170; y < 300; ++y) {
            bool red = false, plate = false;
            for (int x = 10; x < 200; ++x) {
                red = red || isRed(out.pixel(x, y));
                plate = plate || qGreen(out.pixel(x, y)) < 200;
            }
            top = red && top < 0 ? y : top;
            bottom = red ? y : bottom;
            plateTop = plate && plateTop < 0 ? y : plateTop;
            plateBottom = plate ? y : plateBottom;
        }
        m.textHeight = bottom - top + 1;
        m.plateHeight = plateBottom - plateTop + 1;
        return m;
    };
    const Measure one = measure(1), two = measure(2);
    EXPECT_NEAR(one.line, 3, 0.1);
    EXPECT_NEAR(two.line, 6, 0.1);
    EXPECT_FALSE(one.wideHead);
    EXPECT_TRUE(two.wideHead);
    ASSERT_GT(one.textHeight, 8);
    EXPECT_NEAR(double(two.textHeight) / one.textHeight, 2.0, 0.2);
    EXPECT_NEAR(two.plateHeight, 2 * one.plateHeight, 2);
    EXPECT_NEAR(one.plateHeight, one.textHeight + 8, 2); // the ink height plus 4 units above and below
}

TEST(AnnotationRenderTest, ArrowTipLiesOnItsPoint)
{
    const std::pair<QPointF, QPointF> cases[] = {
        {{20, 100}, {180, 100}}, {{20, 20}, {150, 150}}, {{100, 190}, {100, 30}},
        {{100, 100}, {100, 100}}, // a click without movement: a full arrow pointing right
    };
    for (const auto &[from, to] : cases) {
        SCOPED_TRACE(from.y());
        const QImage out = render({arrow(from, to)}, filled(200, 200, Qt::white));
        const double length = QLineF(from, to).length();
        const QPointF dir = length > 0 ? (to - from) / length : QPointF(1, 0);
        const auto at = [&](double along) { return (to + along * dir).toPoint(); };
        EXPECT_TRUE(isRed(out.pixel(at(-2)))) << "just behind the tip";
        EXPECT_EQ(out.pixel(at(3)), qRgb(255, 255, 255)) << "past the tip";
        EXPECT_TRUE(isRed(out.pixel(at(-8)))) << "inside the head";
        if (length == 0) { // the shaft runs 15 px left of the point, then the round cap ends it
            EXPECT_TRUE(isRed(out.pixel(86, 100)));
            EXPECT_EQ(out.pixel(81, 100), qRgb(255, 255, 255));
        }
    }
}

TEST(AnnotationRenderTest, BadgeDigitsAreCentredWhiteOnTheBadge)
{
    const QRectF r(40, 40, 64, 64);
    const QPointF centre = r.center();
    const QImage out = render({Annotation(AnnotationTool::stepNumber, r, Qt::blue, 3, std::nullopt, 10)},
                              filled(150, 150, Qt::white));
    EXPECT_EQ(out.pixel(centre.toPoint() + QPoint(-25, 0)), qRgb(0, 0, 255)) << "filled in the badge colour";
    // White ink well inside the ring belongs to the digits.
    QRect ink;
    std::vector<bool> columns(150, false);
    for (int y = 0; y < 150; ++y) {
        for (int x = 0; x < 150; ++x) {
            if (qGray(out.pixel(x, y)) > 200 &&
                QLineF(QPointF(x + 0.5, y + 0.5), centre).length() < r.width() / 2 - 4) {
                ink |= QRect(x, y, 1, 1);
                columns[x] = true;
            }
        }
    }
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_NEAR(ink.x() + ink.width() / 2.0, centre.x(), 1.5);
    EXPECT_NEAR(ink.y() + ink.height() / 2.0, centre.y(), 1.5);
    // Two glyphs: a gap runs between the 1 and the 0.
    EXPECT_TRUE(std::find(columns.begin() + ink.left(), columns.begin() + ink.right(), false) !=
                columns.begin() + ink.right());
}

TEST(AnnotationRenderTest, CopyCarriesPixelsAndResolutionOnly)
{
    QImage original = uniquePixels(120, 80);
    original.setText(QStringLiteral("Comment"), QStringLiteral("card 4242424242424242"));
    QString error;
    const QImage loaded =
        ScreenshotImage::load(savePng(original, TestEnvironment::makeFolder("render") + "/shot.png", 144), &error);
    ASSERT_FALSE(loaded.isNull()) << error.toStdString();
    EXPECT_EQ(loaded.devicePixelRatio(), 2);
    EXPECT_FALSE(loaded.text().isEmpty()) << "the fixture must carry a text chunk";
    const auto png = AnnotatedCopy::renderAnnotatedPNG({mark(AnnotationTool::redact, QRectF(0, 0, 10, 10))}, loaded);
    ASSERT_TRUE(png);
    EXPECT_TRUE(pixelsAndResolutionOnly(*png));
    EXPECT_FALSE(png->contains("4242"));
    // The copy keeps the screenshot's density, so it opens at the same size.
    EXPECT_EQ(ScreenshotImage::pixelsPerPoint(ScreenshotImage::declaredDpi(*png), 120), 2);
}

TEST(AnnotationCanvasTest, CanvasTargetMapsGeometryButNotWidths)
{
    // A canvas showing the image at half size: geometry halves, the 3-point line stays 3.
    const QImage source = filled(400, 400, Qt::white);
    const auto target = AnnotationRenderer::Target::canvas(QTransform::fromScale(0.5, 0.5), &source);
    QImage view = filled(200, 200, Qt::white);
    {
        QPainter p(&view);
        AnnotationRenderer::drawAnnotation(
            p, Annotation(AnnotationTool::rectangle, QRectF(100, 100, 200, 200), Qt::red, 3), target);
        AnnotationRenderer::drawAnnotation(p, mark(AnnotationTool::redact, QRectF(20, 300, 40, 40)), target);
    }
    EXPECT_NEAR(redCoverage(view, 100, 40, 60), 3, 0.1);
    EXPECT_EQ(view.pixel(15, 160), qRgb(0, 0, 0));
    EXPECT_EQ(view.pixel(35, 160), qRgb(255, 255, 255));
}

} // namespace
