// SPDX-License-Identifier: GPL-3.0-or-later
#include "annotation/AnnotationStore.h"
#include "annotation/widgets/AnnotationCanvasView.h"

#include "common/TestPointer.h"
#include "common/TestImages.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>

using namespace TestPointer;

namespace {

// An 800 × 400 screenshot in a 400 × 200 canvas: one view point is two image pixels.
struct Canvas : ::testing::Test
{
    AnnotationStore store{TestImages::writeImage(QStringLiteral("canvas.png"), 800, 400)};
    AnnotationCanvasView canvas{store};

    Canvas() { canvas.resize(400, 200); }
    const Annotation &first() const { return store.annotations().first(); }
};

TEST_F(Canvas, ShapesNeedMoreThanTwoPointsEachWayAndAnArrowNone)
{
    // The tool, the drag in view points, and the mark's rectangle in image pixels.
    const std::tuple<AnnotationTool, QPointF, QPointF, std::optional<QRectF>> cases[] = {
        {AnnotationTool::rectangle, {10, 10}, {12, 20}, std::nullopt}, // 2 × 10: too thin
        {AnnotationTool::rectangle, {10, 10}, {13, 13}, QRectF(20, 20, 6, 6)},
        {AnnotationTool::ellipse, {50, 40}, {20, 10}, QRectF(40, 20, 60, 60)}, // dragged up and left
        {AnnotationTool::blur, {0, 0}, {2, 100}, std::nullopt},
        {AnnotationTool::redact, {100, 50}, {150, 60}, QRectF(200, 100, 100, 20)},
        {AnnotationTool::arrow, {30, 40}, {30, 40}, QRectF()}, // a click: a zero-length arrow
    };
    for (const auto &[tool, from, to, rect] : cases) {
        SCOPED_TRACE(AnnotationTools::rawValue(tool).toStdString());
        store.setAnnotations({});
        store.setCurrentTool(tool);
        drag(&canvas, from, to);
        ASSERT_EQ(store.annotations().size(), rect ? 1 : 0);
        if (rect) {
            EXPECT_EQ(first().tool(), tool);
            EXPECT_EQ(first().rect, *rect);
            EXPECT_EQ(first().strokeWidth, 3);
        }
    }
    EXPECT_EQ(first().arrowStart, QPointF(60, 80));
    EXPECT_EQ(first().arrowEnd, QPointF(60, 80));
}

TEST_F(Canvas, SelectionFollowsPressesMovesRecordStepsAndDeleteNeedsTheCursorTool)
{
    store.setCurrentTool(AnnotationTool::rectangle);
    drag(&canvas, {20, 20}, {60, 60});
    const QUuid id = first().id();
    store.setCurrentTool(AnnotationTool::cursor);
    const qsizetype steps = store.undoStack().size();
    click(&canvas, {20, 40}); // on the left edge: selected, but not moved
    EXPECT_EQ(store.selectedAnnotationID(), id);
    EXPECT_EQ(store.undoStack().size(), steps);
    click(&canvas, {200, 150}); // empty canvas clears it
    EXPECT_FALSE(store.selectedAnnotationID());
    drag(&canvas, {20, 40}, {30, 40}); // two drag events: two steps, 20 image pixels right
    EXPECT_EQ(store.undoStack().size(), steps + 2);
    EXPECT_EQ(first().rect, QRectF(60, 40, 80, 80));
    store.setCurrentTool(AnnotationTool::rectangle); // a drawing press on it clears and draws
    drag(&canvas, {30, 40}, {80, 90});
    EXPECT_FALSE(store.selectedAnnotationID());
    ASSERT_EQ(store.annotations().size(), 2);

    for (int k : {Qt::Key_Backspace, Qt::Key_Delete}) {
        store.setSelectedAnnotationID(first().id());
        store.setCurrentTool(AnnotationTool::text);
        QTest::keyClick(&canvas, Qt::Key(k));
        EXPECT_EQ(store.annotations().size(), k == Qt::Key_Backspace ? 2 : 1);
        store.setCurrentTool(AnnotationTool::cursor);
        QTest::keyClick(&canvas, Qt::Key(k));
        EXPECT_FALSE(store.selectedAnnotationID());
    }
    EXPECT_TRUE(store.annotations().isEmpty());
}

TEST_F(Canvas, TextIsTrimmedAndBlankTextAddsNothing)
{
    store.setCurrentTool(AnnotationTool::text);
    const std::pair<QString, std::optional<QString>> cases[] = {
        {"  word  ", "word"}, {"   ", std::nullopt}, {"\ttwo words ", "two words"}};
    for (const auto &[typed, added] : cases) {
        store.setAnnotations({});
        click(&canvas, {50, 60});
        QLineEdit *field = canvas.activeTextField();
        ASSERT_NE(field, nullptr);
        EXPECT_EQ(field->placeholderText(), "Type annotation text...");
        EXPECT_EQ(field->geometry(), QRect(50, 60, 250, 28));
        field->setText(typed);
        QTest::keyClick(field, Qt::Key_Return);
        EXPECT_EQ(canvas.activeTextField(), nullptr);
        ASSERT_EQ(store.annotations().size(), added ? 1 : 0);
        if (added) {
            EXPECT_EQ(first().text, added);
            EXPECT_EQ(first().rect, QRectF(100, 120, 0, 0));
        }
    }
    // An open field keeps its frame when the window resizes, and stays open for another tool.
    click(&canvas, {50, 60});
    canvas.resize(800, 300);
    ASSERT_NE(canvas.activeTextField(), nullptr);
    EXPECT_EQ(canvas.activeTextField()->geometry(), QRect(50, 60, 250, 28));
    store.setCurrentTool(AnnotationTool::rectangle);
    ASSERT_NE(canvas.activeTextField(), nullptr);
    canvas.activeTextField()->setText("note");
    canvas.textFieldDidReturn();
    ASSERT_EQ(store.annotations().size(), 2);
    EXPECT_EQ(store.annotations().last().rect.topLeft(), QPointF(100, 120)); // where it was opened
}

TEST_F(Canvas, BadgesAre32PointsAtTheZoomTheyArePlacedAt)
{
    store.setCurrentTool(AnnotationTool::stepNumber);
    click(&canvas, {100, 100}); // 2 pixels a point
    canvas.resize(800, 400);    // 1 pixel a point
    click(&canvas, {400, 200});
    ASSERT_EQ(store.annotations().size(), 2);
    EXPECT_EQ(store.annotations()[0].rect, QRectF(168, 168, 64, 64));
    EXPECT_EQ(store.annotations()[1].rect, QRectF(384, 184, 32, 32));
    EXPECT_EQ(store.annotations()[0].stepNumber, 1);
    EXPECT_EQ(store.annotations()[1].stepNumber, 2);
}

} // namespace
