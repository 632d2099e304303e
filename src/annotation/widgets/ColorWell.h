// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QPointer>

#include <QColorDialog>

// Shows a colour and lets the user pick any other, with opacity, in the colour dialog.
class ColorWell : public QAbstractButton
{
    Q_OBJECT

public:
    explicit ColorWell(QWidget *parent = nullptr);

    QColor color() const { return m_color; }
    void setColor(const QColor &color);
    QColorDialog *dialog() const { return m_dialog; }
    QSize sizeHint() const override { return QSize(24, 24); }

signals:
    void colorPicked(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void openDialog();

    QColor m_color;
    QPointer<QColorDialog> m_dialog;
};
