// SPDX-License-Identifier: GPL-3.0-or-later
#include "annotation/AnnotationStore.h"
#include "annotation/PresetColors.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

namespace {

Annotation box(const QRectF &r)
{
    return Annotation(AnnotationTool::rectangle, r, Qt::red, 3);
}

Annotation badge(qint64 number)
{
    return Annotation(AnnotationTool::stepNumber, QRectF(10 * number, 10, 32, 32), Qt::red, 3, std::nullopt, number);
}

Annotation arrow(const QPointF &from, const QPointF &to, double width = 3)
{
    return Annotation(AnnotationTool::arrow, QRectF(), Qt::red, width, std::nullopt, std::nullopt, from, to);
}

QList<QUuid> ids(const QList<Annotation> &list)
{
    QList<QUuid> out;
    for (const Annotation &a : list) {
        out.append(a.id());
    }
    return out;
}

class AnnotationStoreTest : public ::testing::Test
{
protected:
    // No file: the store works on an empty image.
    AnnotationStore store{QStringLiteral("/nonexistent/shot.png")};

    void expectPaired() const
    {
        EXPECT_EQ(store.undoStack().size(), store.undoStepNumbers().size());
        EXPECT_EQ(store.redoStack().size(), store.redoStepNumbers().size());
    }
};

TEST_F(AnnotationStoreTest, StartsWithTheDefaultsAndAnEmptyImageForAnUnreadableFile)
{
    EXPECT_TRUE(store.originalImage().isNull());
    EXPECT_EQ(store.currentTool(), AnnotationTool::cursor);
    EXPECT_EQ(store.currentColor(), PresetColors::systemRed()); // the Red swatch
    EXPECT_EQ(store.strokeWidth(), 3);
    EXPECT_EQ(store.fontSize(), 16);
    EXPECT_EQ(store.nextStepNumber(), 1);
    EXPECT_FALSE(store.selectedAnnotationID());
    EXPECT_EQ(store.imageURL().toLocalFile(), "/nonexistent/shot.png");
}

TEST_F(AnnotationStoreTest, UndoRedoAndANewChangeDropsTheRedoHistory)
{
    const Annotation a = box({0, 0, 10, 10}), b = box({20, 0, 10, 10}), c = box({40, 0, 10, 10});
    store.addAnnotation(a);
    store.addAnnotation(b);
    store.setSelectedAnnotationID(b.id());
    store.undo();
    EXPECT_EQ(ids(store.annotations()), QList<QUuid>{a.id()});
    EXPECT_FALSE(store.selectedAnnotationID());
    EXPECT_TRUE(store.canRedo());
    store.redo();
    EXPECT_EQ(ids(store.annotations()), (QList<QUuid>{a.id(), b.id()}));
    store.undo();
    store.addAnnotation(c);
    EXPECT_FALSE(store.canRedo());
    EXPECT_EQ(ids(store.annotations()), (QList<QUuid>{a.id(), c.id()}));
    expectPaired();
}

TEST_F(AnnotationStoreTest, UndoWithNothingToUndoChangesNothingNotEvenTheSelection)
{
    const Annotation a = box({0, 0, 10, 10});
    store.setAnnotations({a}); // the editor's initial list is not an undo step
    store.setSelectedAnnotationID(a.id());
    QSignalSpy spy(&store, &AnnotationStore::changed);
    store.undo();
    store.redo();
    EXPECT_EQ(store.selectedAnnotationID(), a.id());
    EXPECT_EQ(store.annotations().size(), 1);
    EXPECT_EQ(spy.count(), 0);
}

TEST_F(AnnotationStoreTest, StepNumbersFollowUndoAndDeletion)
{
    const Annotation one = badge(1), two = badge(2), three = badge(3);
    for (const Annotation &b : {one, two, three}) {
        store.addAnnotation(b);
    }
    EXPECT_EQ(store.nextStepNumber(), 4);
    store.setSelectedAnnotationID(two.id());
    store.deleteSelectedAnnotation();
    EXPECT_EQ(store.nextStepNumber(), 4) << "deleting a badge does not renumber";
    EXPECT_FALSE(store.selectedAnnotationID());

    store.undo();
    EXPECT_EQ(ids(store.annotations()), (QList<QUuid>{one.id(), two.id(), three.id()}));
    EXPECT_EQ(store.nextStepNumber(), 4);
    store.undo();
    store.undo();
    EXPECT_EQ(ids(store.annotations()), QList<QUuid>{one.id()});
    EXPECT_EQ(store.nextStepNumber(), 2);
    EXPECT_EQ(store.redoStepNumbers(), (QList<qint64>{4, 4, 3}));
    store.redo();
    EXPECT_EQ(store.nextStepNumber(), 3);
    EXPECT_EQ(store.undoStepNumbers(), (QList<qint64>{1, 2}));
    expectPaired();
}

TEST_F(AnnotationStoreTest, AddAnnotationsIsOneStepAndAnEmptyListRecordsNothing)
{
    store.addAnnotation(box({0, 0, 5, 5}));
    store.undo();
    ASSERT_TRUE(store.canRedo());
    QSignalSpy spy(&store, &AnnotationStore::changed);
    store.addAnnotations({});
    EXPECT_EQ(spy.count(), 0);
    EXPECT_TRUE(store.canRedo()) << "an empty list must not clear the redo history";
    EXPECT_TRUE(store.undoStack().isEmpty());

    store.addAnnotations({box({0, 0, 5, 5}), badge(1), badge(2), box({9, 9, 5, 5})});
    EXPECT_EQ(store.undoStack().size(), 1);
    EXPECT_EQ(store.annotations().size(), 4);
    EXPECT_EQ(store.nextStepNumber(), 3);
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

TEST_F(AnnotationStoreTest, DeletingASelectionThatWasUndoneAwayRecordsNothing)
{
    const Annotation a = box({0, 0, 10, 10});
    store.addAnnotation(a);
    store.undo();
    store.setSelectedAnnotationID(a.id());
    store.deleteSelectedAnnotation();
    EXPECT_TRUE(store.undoStack().isEmpty());
    EXPECT_TRUE(store.canRedo());
    EXPECT_EQ(store.selectedAnnotationID(), a.id());
}

TEST_F(AnnotationStoreTest, PublishedFieldsAnnounceTheirChanges)
{
    QSignalSpy tool(&store, &AnnotationStore::currentToolChanged);
    QSignalSpy list(&store, &AnnotationStore::annotationsChanged);
    QSignalSpy number(&store, &AnnotationStore::nextStepNumberChanged);
    QSignalSpy any(&store, &AnnotationStore::changed);
    store.setCurrentTool(AnnotationTool::arrow);
    store.addAnnotation(badge(1));
    EXPECT_EQ(tool.count(), 1);
    EXPECT_EQ(list.count(), 1);
    ASSERT_EQ(number.count(), 1);
    EXPECT_EQ(number.first().first().toLongLong(), 2);
    EXPECT_EQ(any.count(), 3);
    EXPECT_TRUE(store.undoStack().size() == 1) << "tool settings are not undo steps";
}

struct HitCase
{
    const char *name;
    QPointF point;
    bool hit;
};

TEST_F(AnnotationStoreTest, HitTestingUsesTheToleranceAndHalfOpenBoxes)
{
    const Annotation a = box({100, 100, 50, 40});
    store.addAnnotation(a);
    const HitCase cases[] = {
        {"5 px left of the left edge", {95, 120}, true},
        {"9 px left of the left edge", {91, 120}, false},
        {"5 px below the bottom edge", {120, 145}, true},
        {"9 px below the bottom edge", {120, 149}, false},
        {"on the grown left edge", {92, 120}, true},
        {"on the grown right edge", {158, 120}, false},
        {"just inside the grown right edge", {157.99, 120}, true},
        {"on the grown top edge", {120, 92}, true},
        {"on the grown bottom edge", {120, 148}, false},
        {"inside", {120, 120}, true},
    };
    for (const HitCase &c : cases) {
        const auto found = store.hitTest(c.point, 8);
        EXPECT_EQ(found.has_value(), c.hit) << c.name;
    }
}

TEST_F(AnnotationStoreTest, OverlappingAnnotationsGiveTheTopmost)
{
    const Annotation under = box({0, 0, 100, 100}), over = box({50, 50, 100, 100});
    store.addAnnotations({under, over});
    EXPECT_EQ(store.hitTest({75, 75}, 8)->id(), over.id());
    EXPECT_EQ(store.hitTest({10, 10}, 8)->id(), under.id());
    EXPECT_FALSE(store.hitTest({300, 300}, 8));
}

TEST_F(AnnotationStoreTest, TextAndArrowHitAreas)
{
    // A typed text has a zero rect: its box is 100 + 16 wide and fontSize + 8 + 16 high.
    Annotation text(AnnotationTool::text, QRectF(200, 200, 0, 0), Qt::red, 3, QStringLiteral("Hi"), std::nullopt,
                    std::nullopt, std::nullopt, 20);
    const Annotation zero = arrow({50, 50}, {50, 50}, 3);
    const Annotation line = arrow({0, 300}, {100, 300}, 2);
    store.addAnnotations({text, zero, line});

    EXPECT_TRUE(store.hitTest({192, 192}, 8));
    EXPECT_TRUE(store.hitTest({307.9, 235.9}, 8));
    EXPECT_FALSE(store.hitTest({308, 220}, 8));
    EXPECT_FALSE(store.hitTest({250, 236}, 8));

    // A zero-length arrow is measured to its start point: hit when width + tolerance > distance.
    EXPECT_EQ(store.hitTest({60.9, 50}, 8)->id(), zero.id());
    EXPECT_FALSE(store.hitTest({61, 50}, 8));
    EXPECT_FALSE(store.hitTest({50, 61.5}, 8));

    EXPECT_EQ(store.hitTest({50, 309.9}, 8)->id(), line.id());
    EXPECT_FALSE(store.hitTest({50, 310}, 8));
    // Beyond the tip the distance is to the end point.
    EXPECT_TRUE(store.hitTest({109, 300}, 8));
    EXPECT_FALSE(store.hitTest({108, 307}, 8));

    Annotation broken = arrow({0, 0}, {10, 10});
    broken.arrowEnd.reset();
    store.addAnnotation(broken);
    EXPECT_FALSE(store.hitTest({0, 0}, 8));
}

} // namespace
