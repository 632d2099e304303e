// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>

// One tag colour to choose: a filled circle, ringed while chosen.
class ColorSwatch : public QAbstractButton
{
    Q_OBJECT

public:
    static constexpr int diameter = 16;
    static constexpr int ringWidth = 2;

    ColorSwatch(qint64 colorIndex, QWidget *parent = nullptr);

    qint64 colorIndex() const { return m_index; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    qint64 m_index;
};
