// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "annotation/AnnotationTool.h"

#include <QAbstractButton>

// One tool of the toolbar: its icon above its name, highlighted while it is the current tool.
class ToolButton : public QAbstractButton
{
    Q_OBJECT

public:
    static constexpr QSize kSize{50, 40};

    explicit ToolButton(AnnotationTool tool, QWidget *parent = nullptr);

    AnnotationTool tool() const { return m_tool; }
    QSize sizeHint() const override { return kSize; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    AnnotationTool m_tool;
};
