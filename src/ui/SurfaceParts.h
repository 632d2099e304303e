// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/Symbols.h"

#include <QColor>
#include <QFont>
#include <QWidget>

#include <functional>

// Small pieces the surfaces share, so that they look alike.
namespace SurfaceParts {

QColor withAlpha(QColor color, qreal alpha);
// The font at `factor` times its size, in the given weight.
QFont scaled(const QFont &base, qreal factor, int weight = QFont::Normal);

// A hairline between sections, in the text colour at low opacity.
class Divider : public QWidget
{
public:
    explicit Divider(QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;
};

// The rounded, faintly filled box behind a search field and its symbols.
class SearchBox : public QWidget
{
public:
    explicit SearchBox(QWidget *parent, qreal radius = 6);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    qreal m_radius;
};

// A symbol in a square of `size`, coloured from the palette.
class SymbolView : public QWidget
{
public:
    SymbolView(Symbols::Symbol symbol, int size, std::function<QColor(const QPalette &)> color, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Symbols::Symbol m_symbol;
    std::function<QColor(const QPalette &)> m_color;
};

} // namespace SurfaceParts
