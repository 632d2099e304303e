// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QPalette>

// A light and a dark desktop palette for the look tests.
namespace TestPalettes {

inline QPalette dark()
{
    QPalette p;
    p.setColor(QPalette::Window, QColor(0x2b, 0x2b, 0x2e));
    p.setColor(QPalette::WindowText, QColor(0xee, 0xee, 0xf0));
    p.setColor(QPalette::Base, QColor(0x1f, 0x1f, 0x22));
    p.setColor(QPalette::Text, QColor(0xee, 0xee, 0xf0));
    p.setColor(QPalette::Button, QColor(0x35, 0x35, 0x38));
    p.setColor(QPalette::ButtonText, QColor(0xee, 0xee, 0xf0));
    p.setColor(QPalette::Highlight, QColor(0x0a, 0x84, 0xff));
    p.setColor(QPalette::PlaceholderText, QColor(0x90, 0x90, 0x96));
    return p;
}

inline QPalette light()
{
    QPalette p;
    p.setColor(QPalette::Window, QColor(0xf6, 0xf6, 0xf7));
    p.setColor(QPalette::WindowText, QColor(0x1d, 0x1d, 0x1f));
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::Text, QColor(0x1d, 0x1d, 0x1f));
    p.setColor(QPalette::Button, QColor(0xee, 0xee, 0xef));
    p.setColor(QPalette::ButtonText, QColor(0x1d, 0x1d, 0x1f));
    p.setColor(QPalette::Highlight, QColor(0x00, 0x7a, 0xff));
    p.setColor(QPalette::PlaceholderText, QColor(0x8e, 0x8e, 0x93));
    return p;
}

} // namespace TestPalettes
