// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/ScreenshotRecord.h"
#include "ui/MenuItemButton.h"

#include <QDateTime>
#include <QPixmap>

// One recent capture in the tray panel: preview, application, relative time, tag count.
// A click shows the file in its folder; the context menu also offers the editor.
class RecentRow : public MenuItemButton
{
    Q_OBJECT

public:
    RecentRow(const ScreenshotRecord &record, const QDateTime &now, QWidget *parent = nullptr);

    const ScreenshotRecord &record() const { return m_record; }
    QString relativeTime() const { return m_relative; }
    // "%lld tags" for one tag too, empty without tags.
    QString tagText() const;
    QStringList contextMenuLabels() const { return {QStringLiteral("Annotate"), QStringLiteral("Show in Folder")}; }
    void runContextMenuItem(const QString &label);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    ScreenshotRecord m_record;
    QString m_relative;
    QPixmap m_preview;
};
