// SPDX-License-Identifier: GPL-3.0-or-later
#include "annotation/AnnotationStore.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

namespace {

Annotation box(const QRectF &r) { return Annotation(AnnotationTool::rectangle, r, Qt::red, 3); }

Annotation badge(qint64 n)
{
    return Annotation(AnnotationTool::stepNumber, QRectF(10 * n, 10, 32, 32), Qt::red, 3, std::nullopt, n);
}

Annotation arrow(const QPointF &from, const QPointF &to, double width = 3)
{
    return Annotation(AnnotationTool::arrow, QRectF(), Qt::red, width, std::nullopt, std::nullopt, from, to);
}

std::vector<QUuid> ids(const QList<Annotation> &list)
{
    std::vector<QUuid> out;
    for (const Annotation &a : list) {
        out.push_back(a.id());
    }
    return out;
}

std::vector<qint64> vec(const QList<qint64> &list) { return {list.begin(), list.end()}; }

class AnnotationStoreTest : public ::testing::Test
{
protected:
    // No file: the store works on an empty image.
    AnnotationStore store{QStringLiteral("/nonexistent/shot.png")};

    void TearDown() override
    {
        EXPECT_EQ(store.undoStack().size(), store.undoStepNumbers().size());
        EXPECT_EQ(store.redoStack().size(), store.redoStepNumbers().size());
    }
};

TEST_F(AnnotationStoreTest, UndoRedoAndANewChangeDropsTheRedoHistory)
{
    const Annotation a = box({0, 0, 10, 10}), b = box({20, 0, 10, 10}), c = box({40, 0, 10, 10});
    store.setAnnotations({a}); // the editor's initial list is not an undo step
    store.setSelectedAnnotationID(a.id());
    {
        QSignalSpy spy(&store, &AnnotationStore::changed);
        store.undo();
        store.redo();
        EXPECT_EQ(spy.count(), 0) << "nothing to undo or redo changes nothing, not even the selection";
        EXPECT_EQ(store.selectedAnnotationID(), a.id());
    }
    store.addAnnotation(b);
    store.setSelectedAnnotationID(b.id());
    store.undo();
    EXPECT_EQ(ids(store.annotations()), std::vector{a.id()});
    EXPECT_FALSE(store.selectedAnnotationID());
    store.redo();
    EXPECT_EQ(ids(store.annotations()), (std::vector{a.id(), b.id()}));
    store.undo();
    store.addAnnotation(c);
    EXPECT_FALSE(store.canRedo());
    EXPECT_EQ(ids(store.annotations()), (std::vector{a.id(), c.id()}));
}

TEST_F(AnnotationStoreTest, StepNumbersFollowUndoAndDeletion)
{
    const Annotation one = badge(1), two = badge(2), three = badge(3);
    for (const Annotation &b : {one, two, three}) {
        store.addAnnotation(b);
    }
    store.setSelectedAnnotationID(two.id());
    store.deleteSelectedAnnotation();
    EXPECT_EQ(store.nextStepNumber(), 4) << "deleting a badge does not renumber";
    EXPECT_FALSE(store.selectedAnnotationID());
    store.undo();
    EXPECT_EQ(ids(store.annotations()), (std::vector{one.id(), two.id(), three.id()}));
    EXPECT_EQ(store.nextStepNumber(), 4);
    store.undo();
    store.undo();
    EXPECT_EQ(store.nextStepNumber(), 2);
    EXPECT_EQ(vec(store.redoStepNumbers()), (std::vector<qint64>{4, 4, 3}));
    store.redo();
    EXPECT_EQ(store.nextStepNumber(), 3);
    EXPECT_EQ(vec(store.undoStepNumbers()), (std::vector<qint64>{1, 2}));

    // Deleting a selection that was undone away records nothing.
    store.setSelectedAnnotationID(three.id());
    store.deleteSelectedAnnotation();
    EXPECT_EQ(store.undoStack().size(), 2);
    EXPECT_TRUE(store.canRedo());
    EXPECT_EQ(store.selectedAnnotationID(), three.id());
}

TEST_F(AnnotationStoreTest, AddAnnotationsIsOneStepAndAnEmptyListRecordsNothing)
{
    store.addAnnotation(box({0, 0, 5, 5}));
    store.undo();
    QSignalSpy spy(&store, &AnnotationStore::changed);
    store.addAnnotations({});
    EXPECT_EQ(spy.count(), 0);
    EXPECT_TRUE(store.canRedo()) << "an empty list must not clear the redo history";
    EXPECT_TRUE(store.undoStack().isEmpty());

    QSignalSpy number(&store, &AnnotationStore::nextStepNumberChanged);
    store.addAnnotations({box({0, 0, 5, 5}), badge(1), badge(2), box({9, 9, 5, 5})});
    EXPECT_EQ(store.undoStack().size(), 1);
    EXPECT_EQ(store.annotations().size(), 4);
    ASSERT_EQ(number.count(), 1);
    EXPECT_EQ(number.first().first().toLongLong(), 3);
    store.setCurrentTool(AnnotationTool::arrow);
    EXPECT_EQ(store.undoStack().size(), 1) << "tool settings are not undo steps";
    store.undo();
    EXPECT_TRUE(store.annotations().isEmpty());
    EXPECT_EQ(store.nextStepNumber(), 1);
}

TEST_F(AnnotationStoreTest, EveryMoveEventIsItsOwnUndoStep)
{
    const Annotation a = box({100, 100, 40, 20});
    const Annotation arr = arrow({0, 0}, {10, 5});
    store.addAnnotations({a, arr});
    store.setSelectedAnnotationID(a.id());
    for (int i = 0; i < 30; ++i) {
        store.moveSelectedAnnotation(1, -0.5);
    }
    EXPECT_EQ(store.undoStack().size(), 31);
    EXPECT_EQ(store.annotations().first().rect, QRectF(130, 85, 40, 20));
    EXPECT_EQ(store.annotations().first().id(), a.id());
    store.undo();
    EXPECT_EQ(store.annotations().first().rect, QRectF(129, 85.5, 40, 20));

    store.setSelectedAnnotationID(arr.id());
    store.moveSelectedAnnotation(5, 5);
    EXPECT_EQ(*store.annotations().last().arrowStart, QPointF(5, 5));
    EXPECT_EQ(*store.annotations().last().arrowEnd, QPointF(15, 10));

    // Without a selection, or with one that is gone, nothing is recorded.
    const auto steps = store.undoStack().size();
    store.setSelectedAnnotationID(std::nullopt);
    store.moveSelectedAnnotation(1, 1);
    store.setSelectedAnnotationID(QUuid::createUuid());
    store.moveSelectedAnnotation(1, 1);
    EXPECT_EQ(store.undoStack().size(), steps);
}

TEST_F(AnnotationStoreTest, HitTestingGivesTheTopmostWithinTheTolerance)
{
    Annotation broken = arrow({0, 0}, {10, 10});
    broken.arrowEnd.reset();
    // A typed text has a zero rect: its box is 100 + 16 wide and fontSize + 8 + 16 high.
    const QList<Annotation> marks = {
        box({100, 100, 50, 40}), box({500, 500, 100, 100}), box({550, 550, 100, 100}),
        Annotation(AnnotationTool::text, QRectF(200, 200, 0, 0), Qt::red, 3, QStringLiteral("Hi"), std::nullopt,
                   std::nullopt, std::nullopt, 20),
        arrow({50, 50}, {50, 50}, 3), arrow({0, 300}, {100, 300}, 2), broken};
    store.addAnnotations(marks);
    const std::pair<QPointF, int> cases[] = {
        // The box grows by the tolerance and holds its left and top edges, not its right and bottom.
        {{95, 120}, 0}, {{91, 120}, -1}, {{120, 145}, 0}, {{120, 149}, -1}, {{92, 120}, 0}, {{158, 120}, -1},
        {{157.99, 120}, 0}, {{120, 92}, 0}, {{120, 148}, -1}, {{120, 120}, 0},
        {{575, 575}, 2}, {{510, 510}, 1}, {{800, 800}, -1}, // the topmost of overlapping marks
        {{192, 192}, 3}, {{307.9, 235.9}, 3}, {{308, 220}, -1}, {{250, 236}, -1},
        // A zero-length arrow is measured to its start point: hit when width + tolerance > distance.
        {{60.9, 50}, 4}, {{61, 50}, -1}, {{50, 61.5}, -1},
        {{50, 309.9}, 5}, {{50, 310}, -1}, {{109, 300}, 5}, {{108, 307}, -1}, // beyond the tip: to the end
        {{0, 0}, -1}, // an arrow without an end is never hit
    };
    for (const auto &[point, expected] : cases) {
        const auto found = store.hitTest(point, 8);
        EXPECT_EQ(found ? marks.indexOf(*found) : -1, expected) << point.x() << "," << point.y();
    }
}

} // namespace
