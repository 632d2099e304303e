// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/Symbols.h"

#include <QAbstractButton>

// A full-width row of the tray panel: symbol and label, with an accent-tinted rounded
// background while hovered (20 %) or pressed (30 %).
class MenuItemButton : public QAbstractButton
{
    Q_OBJECT

public:
    MenuItemButton(Symbols::Symbol symbol, const QString &text, QWidget *parent = nullptr);
    void setSymbol(Symbols::Symbol symbol);
    bool isHovered() const { return m_hovered; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    // The row background alone, for rows that draw their own content.
    void paintBackground(QPainter &p);

private:
    Symbols::Symbol m_symbol;
    bool m_hovered = false;
};
