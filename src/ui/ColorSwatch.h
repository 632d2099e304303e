// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>
#include <QColor>

// A round colour swatch, ringed in the accent colour while it is the current colour (dotted
// while it has the keyboard focus). The editor's colours, the tag colours of the preferences
// and of the tag dialog are all this one control.
class ColorSwatch : public QAbstractButton
{
    Q_OBJECT

public:
    static constexpr int kDiameter = 16;

    ColorSwatch(const QString &name, const QColor &color, QWidget *parent = nullptr, int diameter = kDiameter);

    QColor color() const { return m_color; }
    // A number the owner attaches, such as a tag colour's index.
    qint64 value() const { return m_value; }
    void setValue(qint64 value) { m_value = value; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_color;
    int m_diameter;
    qint64 m_value = 0;
};
