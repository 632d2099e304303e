// SPDX-License-Identifier: GPL-3.0-or-later
#include "annotation/AnnotationStore.h"
#include "annotation/widgets/AnnotationCanvasView.h"

#include "EditorTestSupport.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

using namespace EditorTestSupport;

namespace {

// An 800 × 400 screenshot in a 400 × 200 canvas: one view point is two image pixels.
struct Canvas : ::testing::Test
{
    AnnotationStore store{writeImage(QStringLiteral("canvas.png"), 800, 400)};
    AnnotationCanvasView canvas{store};

    Canvas() { canvas.resize(400, 200); }

    void key(int k)
    {
        QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
        QApplication::sendEvent(&canvas, &press);
    }
};

struct DragCase
{
    AnnotationTool tool;
    QPointF from, to;
    int added;
    QRectF rect; // image pixels
};

TEST_F(Canvas, ShapesNeedMoreThanTwoPointsEachWay)
{
    const DragCase cases[] = {
        {AnnotationTool::rectangle, {10, 10}, {12, 20}, 0, {}},         // 2 × 10: too thin
        {AnnotationTool::rectangle, {10, 10}, {13, 13}, 1, {20, 20, 6, 6}}, // 3 × 3
        {AnnotationTool::ellipse, {50, 40}, {20, 10}, 1, {40, 20, 60, 60}}, // dragged up and left
        {AnnotationTool::blur, {0, 0}, {2, 100}, 0, {}},
        {AnnotationTool::redact, {100, 50}, {150, 60}, 1, {200, 100, 100, 20}},
    };
    for (const DragCase &c : cases) {
        store.setAnnotations({});
        store.setCurrentTool(c.tool);
        drag(&canvas, c.from, c.to);
        ASSERT_EQ(store.annotations().size(), c.added) << AnnotationTools::rawValue(c.tool).toStdString();
        if (c.added) {
            EXPECT_EQ(store.annotations().first().tool(), c.tool);
            EXPECT_EQ(store.annotations().first().rect, c.rect);
            EXPECT_EQ(store.annotations().first().strokeWidth, 3);
        }
    }
}

TEST_F(Canvas, ArrowClickMakesAZeroLengthArrow)
{
    store.setCurrentTool(AnnotationTool::arrow);
    click(&canvas, {30, 40});
    ASSERT_EQ(store.annotations().size(), 1);
    const Annotation &a = store.annotations().first();
    EXPECT_EQ(a.arrowStart, QPointF(60, 80));
    EXPECT_EQ(a.arrowEnd, a.arrowStart);
    EXPECT_EQ(a.rect, QRectF(0, 0, 0, 0));
}

TEST_F(Canvas, SelectionFollowsPressesAndMovesRecordSteps)
{
    store.setCurrentTool(AnnotationTool::rectangle);
    drag(&canvas, {20, 20}, {60, 60});
    const QUuid id = store.annotations().first().id();
    store.setCurrentTool(AnnotationTool::cursor);
    const qsizetype steps = store.undoStack().size();

    click(&canvas, {20, 40}); // on the left edge: selected, but not moved
    EXPECT_EQ(store.selectedAnnotationID(), id);
    EXPECT_EQ(store.undoStack().size(), steps);

    click(&canvas, {200, 150}); // empty canvas clears it
    EXPECT_FALSE(store.selectedAnnotationID());

    drag(&canvas, {20, 40}, {30, 40}); // two drag events: two steps, 20 image pixels right
    EXPECT_EQ(store.undoStack().size(), steps + 2);
    EXPECT_EQ(store.annotations().first().rect, QRectF(60, 40, 80, 80));

    store.setCurrentTool(AnnotationTool::rectangle); // a drawing press on it clears and draws
    drag(&canvas, {30, 40}, {80, 90});
    EXPECT_FALSE(store.selectedAnnotationID());
    EXPECT_EQ(store.annotations().size(), 2);
}

TEST_F(Canvas, DeleteKeysOnlyWithTheCursorTool)
{
    store.setCurrentTool(AnnotationTool::rectangle);
    drag(&canvas, {20, 20}, {60, 60});
    drag(&canvas, {100, 20}, {160, 60});
    for (int k : {Qt::Key_Backspace, Qt::Key_Delete}) {
        store.setSelectedAnnotationID(store.annotations().first().id());
        store.setCurrentTool(AnnotationTool::text);
        key(k);
        EXPECT_EQ(store.annotations().size(), k == Qt::Key_Backspace ? 2 : 1);
        store.setCurrentTool(AnnotationTool::cursor);
        key(k);
        EXPECT_FALSE(store.selectedAnnotationID());
    }
    EXPECT_TRUE(store.annotations().isEmpty());
}

TEST_F(Canvas, TextIsTrimmedAndBlankTextAddsNothing)
{
    store.setCurrentTool(AnnotationTool::text);
    const struct
    {
        QString typed;
        std::optional<QString> added;
    } cases[] = {{"  word  ", "word"}, {"   ", std::nullopt}, {"\ttwo words ", "two words"}};
    for (const auto &c : cases) {
        store.setAnnotations({});
        click(&canvas, {50, 60});
        QLineEdit *field = canvas.activeTextField();
        ASSERT_NE(field, nullptr);
        EXPECT_EQ(field->placeholderText(), "Type annotation text...");
        EXPECT_EQ(field->geometry(), QRect(50, 60, 250, 28));
        field->setText(c.typed);
        QTest::keyClick(field, Qt::Key_Return);
        EXPECT_EQ(canvas.activeTextField(), nullptr);
        if (c.added) {
            ASSERT_EQ(store.annotations().size(), 1);
            EXPECT_EQ(store.annotations().first().text, c.added);
            EXPECT_EQ(store.annotations().first().rect, QRectF(100, 120, 0, 0));
        } else {
            EXPECT_TRUE(store.annotations().isEmpty());
        }
    }
}

TEST_F(Canvas, OpenTextFieldKeepsItsFrameWhenTheWindowResizes)
{
    store.setCurrentTool(AnnotationTool::text);
    click(&canvas, {50, 60});
    canvas.resize(800, 300); // the picture moves and grows
    ASSERT_NE(canvas.activeTextField(), nullptr);
    EXPECT_EQ(canvas.activeTextField()->geometry(), QRect(50, 60, 250, 28));
    store.setCurrentTool(AnnotationTool::rectangle); // another tool leaves it open
    EXPECT_NE(canvas.activeTextField(), nullptr);
    canvas.activeTextField()->setText("note");
    canvas.textFieldDidReturn();
    ASSERT_EQ(store.annotations().size(), 1);
    EXPECT_EQ(store.annotations().first().rect.topLeft(), QPointF(100, 120)); // where it was opened
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
