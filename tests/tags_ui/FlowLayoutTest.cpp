// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/FlowLayout.h"

#include <gtest/gtest.h>

#include <QWidget>

#include <limits>

namespace {

class FixedBox : public QWidget
{
public:
    FixedBox(QSize size, QWidget *parent) : QWidget(parent), m_size(size) {}
    QSize sizeHint() const override { return m_size; }

private:
    QSize m_size;
};

TEST(FlowLayout, ArrangesRowsAndNeverWrapsTheFirstItemOfARow)
{
    struct Case
    {
        QList<QSizeF> sizes;
        qreal width;
        QList<QPointF> positions;
        QSizeF size;
    };
    const qreal none = std::numeric_limits<qreal>::infinity();
    const Case cases[] = {
        {{{40, 20}, {40, 20}, {40, 20}}, 100, {{0, 0}, {46, 0}, {0, 26}}, {86, 46}},
        {{{150, 20}}, 100, {{0, 0}}, {150, 20}},
        {{{150, 20}, {10, 30}}, 100, {{0, 0}, {0, 26}}, {150, 56}},
        {{{40, 20}, {40, 20}, {40, 20}}, none, {{0, 0}, {46, 0}, {92, 0}}, {132, 20}},
        {{}, 100, {}, {0, 0}},
    };
    for (const Case &c : cases) {
        const FlowLayout::Arrangement a = FlowLayout::arrange(c.sizes, 6, c.width);
        EXPECT_EQ(a.positions, c.positions) << c.sizes.size() << " items in " << c.width;
        EXPECT_EQ(a.size, c.size) << c.sizes.size() << " items in " << c.width;
    }
}

TEST(FlowLayout, PlacesWidgetsAtTheirIdealSizeInTheGrantedRectAndSkipsHiddenOnes)
{
    QWidget container;
    auto *flow = new FlowLayout(&container, 6);
    QList<FixedBox *> boxes;
    for (int i = 0; i < 4; ++i) {
        boxes << new FixedBox(QSize(40, 20), &container);
        flow->addWidget(boxes.last());
    }
    boxes[1]->hide();
    EXPECT_TRUE(flow->hasHeightForWidth());
    EXPECT_EQ(flow->heightForWidth(100), 46);
    EXPECT_EQ(flow->sizeHint(), QSize(132, 20));
    flow->setGeometry(QRect(10, 5, 100, 200));
    EXPECT_EQ(boxes[0]->geometry(), QRect(10, 5, 40, 20));
    EXPECT_EQ(boxes[2]->geometry(), QRect(56, 5, 40, 20));
    EXPECT_EQ(boxes[3]->geometry(), QRect(10, 31, 40, 20));
}

} // namespace
