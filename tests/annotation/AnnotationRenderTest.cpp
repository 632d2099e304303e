// SPDX-License-Identifier: GPL-3.0-or-later
#include "AnnotationTestImages.h"

#include "annotation/AnnotatedCopy.h"
#include "annotation/AnnotationRenderer.h"
#include "annotation/ScreenshotImage.h"
#include "common/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QPainter>

#include <cmath>
#include <functional>

using namespace AnnotationTestImages;

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

Annotation mark(AnnotationTool tool, const QRectF &r)
{
    return Annotation(tool, r, Qt::black, 1);
}

Annotation arrow(const QPointF &from, const QPointF &to, double width, QColor color = Qt::red)
{
    return Annotation(AnnotationTool::arrow, QRectF(), color, width, std::nullopt, std::nullopt, from, to);
}

// Pixels outside `covered` must be exactly those of the original.
void expectUnchangedOutside(const QImage &out, const QImage &original, const QRect &covered)
{
    int changed = 0;
    for (int y = 0; y < original.height(); ++y) {
        for (int x = 0; x < original.width(); ++x) {
            if (!covered.contains(x, y) && out.pixel(x, y) != original.pixel(x, y)) {
                ++changed;
            }
        }
    }
    EXPECT_EQ(changed, 0);
}

bool isRed(QRgb c)
{
    return qRed(c) > 180 && qGreen(c) < 110 && qBlue(c) < 110;
}

// How much of a row, in pixels, a red line on white covers between x0 and x1.
double redCoverage(const QImage &image, int y, int x0, int x1)
{
    double sum = 0;
    for (int x = x0; x <= x1; ++x) {
        sum += (255 - qGreen(image.pixel(x, y))) / 255.0;
    }
    return sum;
}

TEST(AnnotationRenderTest, BlackBoxLeavesOnlyBlackOverEveryTouchedPixel)
{
    const QImage original = uniquePixels(200, 150);
    // Fractional edges, as detection rectangles have them: the partly covered pixels go black too.
    const QImage out = render({mark(AnnotationTool::redact, QRectF(10.3, 20.7, 50.2, 30.5))}, original);
    const QRect covered(QPoint(10, 20), QPoint(60, 51));
    for (int y = covered.top(); y <= covered.bottom(); ++y) {
        for (int x = covered.left(); x <= covered.right(); ++x) {
            ASSERT_EQ(out.pixel(x, y), qRgb(0, 0, 0)) << x << "," << y;
        }
    }
    expectUnchangedOutside(out, original, covered);
}

struct PixelationCase
{
    const char *name;
    QRectF rect;
    QRect region;  // the part of the image that is sampled
    QRect covered; // where the blocks land on the image
};

TEST(AnnotationRenderTest, PixelationIsEightByEightFlatBlocksSampledFromTheVisiblePart)
{
    const QImage original = uniquePixels(160, 160);
    const PixelationCase cases[] = {
        {"inside", QRectF(16, 32, 64, 96), QRect(16, 32, 64, 96), QRect(16, 32, 64, 96)},
        {"half past the left edge", QRectF(-40, 10, 80, 80), QRect(0, 10, 40, 80), QRect(0, 10, 40, 80)},
        {"past the bottom-right corner", QRectF(120, 120, 80, 80), QRect(120, 120, 40, 40),
         QRect(120, 120, 40, 40)},
    };
    for (const PixelationCase &c : cases) {
        SCOPED_TRACE(c.name);
        const QImage out = render({mark(AnnotationTool::blur, c.rect)}, original);
        expectUnchangedOutside(out, original, c.covered);
        const double blockW = c.rect.width() / 8, blockH = c.rect.height() / 8;
        for (int j = 0; j < 8; ++j) {
            for (int i = 0; i < 8; ++i) {
                const QRect block = QRectF(c.rect.x() + i * blockW, c.rect.y() + j * blockH, blockW, blockH)
                                        .toRect()
                                        .intersected(original.rect());
                if (block.isEmpty()) {
                    continue;
                }
                const QRgb colour = out.pixel(block.topLeft());
                for (int y = block.top(); y <= block.bottom(); ++y) {
                    for (int x = block.left(); x <= block.right(); ++x) {
                        ASSERT_EQ(out.pixel(x, y), colour) << "block " << i << "," << j << " is not flat";
                    }
                }
                // Nearest neighbour from the cell's own share of the visible region, never a blend.
                const QRect share(QPoint(c.region.x() + i * c.region.width() / 8, c.region.y() + j * c.region.height() / 8),
                                  QPoint(c.region.x() + (i + 1) * c.region.width() / 8 - 1,
                                         c.region.y() + (j + 1) * c.region.height() / 8 - 1));
                EXPECT_TRUE(occursIn(original, share, colour)) << "block " << i << "," << j;
            }
        }
    }
}

TEST(AnnotationRenderTest, PixelationWhollyOutsideTheImageDrawsNothing)
{
    const QImage original = uniquePixels(100, 100);
    const QImage out = render({mark(AnnotationTool::blur, QRectF(100, 0, 50, 50)),
                               mark(AnnotationTool::blur, QRectF(-60, -60, 59.5, 59.5))},
                              original);
    EXPECT_EQ(out, original);
}

TEST(AnnotationRenderTest, PixelationSamplesTheScreenshotNotMarksDrawnBefore)
{
    const QImage original = filled(80, 80, Qt::white);
    const QImage out =
        render({mark(AnnotationTool::redact, QRectF(0, 0, 80, 80)), mark(AnnotationTool::blur, QRectF(0, 0, 40, 40))},
               original);
    EXPECT_EQ(out.pixel(10, 10), qRgb(255, 255, 255));
    EXPECT_EQ(out.pixel(60, 60), qRgb(0, 0, 0));
}

TEST(AnnotationRenderTest, DoubleDensityImageDoublesLinesHeadsAndText)
{
    struct Measure
    {
        double line;
        bool wideHead;
        int textHeight;
        int plateHeight;
    };
    const auto measure = [](double scale) {
        QImage image = filled(400, 300, Qt::white);
        image.setDevicePixelRatio(scale);
        Annotation text(AnnotationTool::text, QRectF(20, 200, 0, 0), Qt::red, 3, QStringLiteral("HEH"),
                        std::nullopt, std::nullopt, std::nullopt, 16);
        const QImage out = render({Annotation(AnnotationTool::rectangle, QRectF(100, 20, 100, 100), Qt::red, 3),
                                   arrow({50, 150}, {350, 150}, 3), text},
                                  image);
        Measure m{};
        m.line = redCoverage(out, 70, 90, 110);
        // The head's sides are 30 px long on a 2× image, so 23 px before the tip it is still 13 px
        // wide on each side; a 1× head (15 px sides) has ended there and only the shaft remains.
        m.wideHead = isRed(out.pixel(327, 150 + 12)) && isRed(out.pixel(327, 150 - 12));
        int top = -1, bottom = -1, plateTop = -1, plateBottom = -1;
        for (int y = 170; y < 300; ++y) {
            bool red = false, plate = false;
            for (int x = 10; x < 200; ++x) {
                red = red || isRed(out.pixel(x, y));
                plate = plate || qGreen(out.pixel(x, y)) < 200;
            }
            if (red) {
                bottom = y;
                top = top < 0 ? y : top;
            }
            if (plate) {
                plateBottom = y;
                plateTop = plateTop < 0 ? y : plateTop;
            }
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
    // The plate is the text's ink height plus 4 units above and below.
    EXPECT_NEAR(one.plateHeight, one.textHeight + 8, 2);
}

TEST(AnnotationRenderTest, ArrowTipLiesOnItsPoint)
{
    struct Case
    {
        const char *name;
        QPointF from, to;
    };
    const Case cases[] = {
        {"rightwards", {20, 100}, {180, 100}},
        {"diagonal", {20, 20}, {150, 150}},
        {"upwards", {100, 190}, {100, 30}},
        // A click without movement: a full arrow pointing right with its tip on the point.
        {"zero length", {100, 100}, {100, 100}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QImage out = render({arrow(c.from, c.to, 3)}, filled(200, 200, Qt::white));
        const QLineF line(c.from, c.to);
        const QPointF dir = line.length() > 0 ? (c.to - c.from) / line.length() : QPointF(1, 0);
        const auto at = [&](double along) { return (c.to + along * dir).toPoint(); };
        EXPECT_TRUE(isRed(out.pixel(at(-2)))) << "just behind the tip";
        EXPECT_EQ(out.pixel(at(3)), qRgb(255, 255, 255)) << "past the tip";
        EXPECT_TRUE(isRed(out.pixel(at(-8)))) << "inside the head";
        if (line.length() == 0) {
            // The shaft runs 15 px left of the point, then the round cap ends it.
            EXPECT_TRUE(isRed(out.pixel(86, 100)));
            EXPECT_EQ(out.pixel(81, 100), qRgb(255, 255, 255));
        }
    }
}

TEST(AnnotationRenderTest, BadgeDigitsAreCentredWhiteOnTheBadge)
{
    const QRectF r(40, 40, 64, 64);
    const QPointF centre = r.center();
    const Annotation badge(AnnotationTool::stepNumber, r, Qt::blue, 3, std::nullopt, 10);
    const QImage out = render({badge}, filled(150, 150, Qt::white));
    EXPECT_EQ(out.pixel(centre.toPoint() + QPoint(-25, 0)), qRgb(0, 0, 255)) << "filled in the badge colour";
    // White ink well inside the ring belongs to the digits.
    QRect ink;
    QList<bool> columns(150, false);
    for (int y = 0; y < 150; ++y) {
        for (int x = 0; x < 150; ++x) {
            const QRgb p = out.pixel(x, y);
            const bool white = qRed(p) > 200 && qGreen(p) > 200 && qBlue(p) > 200;
            if (white && QLineF(QPointF(x + 0.5, y + 0.5), centre).length() < r.width() / 2 - 4) {
                ink |= QRect(x, y, 1, 1);
                columns[x] = true;
            }
        }
    }
    ASSERT_FALSE(ink.isEmpty());
    const QPointF inkCentre(ink.x() + ink.width() / 2.0, ink.y() + ink.height() / 2.0);
    EXPECT_NEAR(inkCentre.x(), centre.x(), 1.5);
    EXPECT_NEAR(inkCentre.y(), centre.y(), 1.5);
    // Two glyphs: a gap runs between the 1 and the 0.
    bool gap = false;
    for (int x = ink.left(); x <= ink.right(); ++x) {
        gap = gap || !columns[x];
    }
    EXPECT_TRUE(gap);
    // Bold digits at 1.2 × the radius are about 0.7 of that size tall.
    EXPECT_NEAR(ink.height(), 0.72 * 1.2 * 32, 4);
}

TEST(AnnotationRenderTest, EmptyListGivesThePlainScreenshotAndNoImageGivesNothing)
{
    const QImage original = uniquePixels(64, 48);
    EXPECT_EQ(render({}, original), original);
    EXPECT_FALSE(AnnotatedCopy::renderAnnotatedPNG({mark(AnnotationTool::redact, QRectF(0, 0, 5, 5))}, QImage()));
}

TEST(AnnotationRenderTest, CopyCarriesPixelsAndResolutionOnly)
{
    const QString folder = TestEnvironment::makeFolder("render");
    QImage original = uniquePixels(120, 80);
    original.setText(QStringLiteral("Comment"), QStringLiteral("card 4242424242424242"));
    const QString path = savePng(original, folder + "/shot.png", 144);
    QString error;
    const QImage loaded = ScreenshotImage::load(path, &error);
    ASSERT_FALSE(loaded.isNull()) << error.toStdString();
    EXPECT_EQ(loaded.devicePixelRatio(), 2);
    EXPECT_FALSE(loaded.text().isEmpty()) << "the fixture must carry a text chunk";

    const auto png = AnnotatedCopy::renderAnnotatedPNG({mark(AnnotationTool::redact, QRectF(0, 0, 10, 10))}, loaded);
    ASSERT_TRUE(png);
    for (const QByteArray &type : pngChunkTypes(*png)) {
        EXPECT_TRUE(type == "IHDR" || type == "pHYs" || type == "IDAT" || type == "IEND") << type.toStdString();
    }
    EXPECT_FALSE(png->contains("4242"));
    // The copy keeps the screenshot's density, so it opens at the same size.
    EXPECT_EQ(ScreenshotImage::pixelsPerPoint(ScreenshotImage::declaredDpi(*png), 120), 2);
}

TEST(AnnotationRenderTest, CanvasTargetMapsGeometryButNotWidths)
{
    // A canvas showing the image at half size: geometry halves, the 3-point line stays 3.
    QImage view(200, 200, QImage::Format_RGB32);
    view.fill(Qt::white);
    {
        QPainter p(&view);
        const QImage source = filled(400, 400, Qt::white);
        const auto target = AnnotationRenderer::Target::canvas(QTransform::fromScale(0.5, 0.5), &source);
        AnnotationRenderer::drawAnnotation(
            p, Annotation(AnnotationTool::rectangle, QRectF(100, 100, 200, 200), Qt::red, 3), target);
        AnnotationRenderer::drawAnnotation(p, mark(AnnotationTool::redact, QRectF(20, 300, 40, 40)), target);
    }
    EXPECT_NEAR(redCoverage(view, 100, 40, 60), 3, 0.1);
    EXPECT_EQ(view.pixel(15, 160), qRgb(0, 0, 0));
    EXPECT_EQ(view.pixel(35, 160), qRgb(255, 255, 255));
}

} // namespace

namespace {

QImage canvas(const std::function<void(QPainter &)> &draw)
{
    QImage view(120, 120, QImage::Format_RGB32);
    view.fill(Qt::white);
    QPainter p(&view);
    draw(p);
    return view;
}

TEST(AnnotationCanvasDecorationTest, DragPreviewPerTool)
{
    struct Case
    {
        AnnotationTool tool;
        QRgb inside; // centre of the dragged rectangle
        bool edgeDrawn;
    };
    // Grey 50 % at 20 % alpha over white, black at 60 %; outlines leave the inside white.
    const Case cases[] = {
        {AnnotationTool::rectangle, qRgb(255, 255, 255), true}, {AnnotationTool::ellipse, qRgb(255, 255, 255), true},
        {AnnotationTool::blur, qRgb(230, 230, 230), true},      {AnnotationTool::redact, qRgb(102, 102, 102), true},
        {AnnotationTool::cursor, qRgb(255, 255, 255), false},   {AnnotationTool::text, qRgb(255, 255, 255), false},
        {AnnotationTool::stepNumber, qRgb(255, 255, 255), false},
    };
    for (const Case &c : cases) {
        // Dragged from bottom-right to top-left: the preview spans the same rectangle.
        const QImage view = canvas([&](QPainter &p) {
            AnnotationRenderer::drawDragPreview(p, c.tool, Qt::red, 3, QPointF(100, 90), QPointF(20, 30));
        });
        const QRgb centre = view.pixel(60, 60);
        EXPECT_NEAR(qGray(centre), qGray(c.inside), 2) << AnnotationTools::rawValue(c.tool).toStdString();
        bool edge = false; // the dashes leave gaps, so look along the whole left side
        for (int y = 30; y <= 90; ++y) {
            edge = edge || view.pixel(20, y) != qRgb(255, 255, 255);
        }
        EXPECT_EQ(edge, c.edgeDrawn) << AnnotationTools::rawValue(c.tool).toStdString();
    }
    // The arrow preview is the annotation's arrow: its tip on the current point.
    const QImage arrowView = canvas([](QPainter &p) {
        AnnotationRenderer::drawDragPreview(p, AnnotationTool::arrow, Qt::red, 3, QPointF(10, 60), QPointF(100, 60));
    });
    EXPECT_TRUE(isRed(arrowView.pixel(98, 60)));
    EXPECT_EQ(arrowView.pixel(103, 60), qRgb(255, 255, 255));
}

TEST(AnnotationCanvasDecorationTest, SelectionFramesTheMarkWithCornerHandles)
{
    const QColor accent(0, 120, 215);
    const Annotation box(AnnotationTool::rectangle, QRectF(60, 60, 80, 60), Qt::red, 3);
    const Annotation arr(AnnotationTool::arrow, QRectF(), Qt::red, 3, std::nullopt, std::nullopt, QPointF(200, 40),
                         QPointF(40, 200));
    // The canvas shows the image at half size; the frame is 4 view points outside the mark.
    const QTransform half = QTransform::fromScale(0.5, 0.5);
    for (const Annotation &a : {box, arr}) {
        const QImage view = canvas([&](QPainter &p) { AnnotationRenderer::drawSelection(p, a, half, accent); });
        const QRectF mapped = a.tool() == AnnotationTool::arrow ? QRectF(20, 20, 80, 80) : QRectF(30, 30, 40, 30);
        const QRectF frame = mapped.adjusted(-4, -4, 4, 4);
        for (const QPointF &corner : {frame.topLeft(), frame.topRight(), frame.bottomLeft(), frame.bottomRight()}) {
            // Handles are 6 × 6, centred on the corners.
            EXPECT_EQ(view.pixel((corner + QPointF(2, 2)).toPoint()), accent.rgb());
            EXPECT_EQ(view.pixel((corner + QPointF(-3, -3)).toPoint()), accent.rgb());
        }
        EXPECT_EQ(view.pixel(mapped.center().toPoint()), qRgb(255, 255, 255));
    }
}

} // namespace
