// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/ScreenshotRecord.h"
#include "ui/ThumbnailAction.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QUuid>

#include <functional>

class FloatingThumbnailPanel;

// The open floating thumbnails, oldest first: at most five unpinned ones, stacked upwards from
// the bottom-right corner and closed up when one leaves.
class ThumbnailStack : public QObject
{
    Q_OBJECT

public:
    using ActionHandler = std::function<void(ThumbnailAction, const ScreenshotRecord &)>;

    using QObject::QObject;
    ~ThumbnailStack() override;

    FloatingThumbnailPanel *showThumbnail(const ScreenshotRecord &record, ActionHandler onAction);
    // After a scan that found something: the badge, and 8 more seconds unless pinned or paused.
    void showPIIBadge(const QUuid &recordId);
    FloatingThumbnailPanel *panelFor(const QUuid &recordId) const;
    QList<FloatingThumbnailPanel *> panels() const;

signals:
    void panelShown(FloatingThumbnailPanel *panel);

private:
    void removePanel(FloatingThumbnailPanel *panel);

    QList<QPointer<FloatingThumbnailPanel>> m_panels;
};
