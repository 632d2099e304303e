// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>
#include <QColor>

// A round colour swatch, ringed in the accent colour while it is the current colour.
class ColorSwatch : public QAbstractButton
{
    Q_OBJECT

public:
    static constexpr int kDiameter = 16;

    ColorSwatch(const QString &name, const QColor &color, QWidget *parent = nullptr);

    QColor color() const { return m_color; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_color;
};
