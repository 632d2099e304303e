// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/ScreenshotRecord.h"
#include "ui/ThumbnailAction.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

class QPropertyAnimation;
class ThumbnailContentView;

// A small borderless preview of a fresh capture in the bottom-right corner of the screen under
// the pointer: slides in, counts down, and slides out unless hovered or pinned. It never takes
// the keyboard focus and shows on every workspace.
class FloatingThumbnailPanel : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QPoint framePosition READ framePosition WRITE setFramePosition)

public:
    static constexpr int showMs = 500;
    static constexpr int dismissMs = 300;
    static constexpr int moveMs = 250;
    static constexpr int defaultSeconds = 5;
    static constexpr int badgeSeconds = 8;

    explicit FloatingThumbnailPanel(const ScreenshotRecord &record);
    ~FloatingThumbnailPanel() override;

    const ScreenshotRecord &record() const { return m_record; }
    std::function<void(ThumbnailAction)> onAction;
    std::function<void()> onDismissed;

    bool isPinned() const { return m_pinned; }
    // The countdown is running.
    bool hasDismissTimer() const { return m_dismissTimer.isActive(); }
    int dismissTimerInterval() const { return m_dismissTimer.interval(); }
    ThumbnailContentView *thumbnailContentView() const { return m_content; }

    // The panel itself, without the room for its shadow.
    QSize panelSize() const;
    QPoint framePosition() const;
    void setFramePosition(const QPoint &p);

    void show(int stackOffset);
    void dismiss(bool animated, std::function<void()> completion = {});
    void startDismissTimer(int seconds);
    void pauseDismissTimer();
    void togglePin();
    void performAction(ThumbnailAction action);
    // Slides to a new top edge, keeping its horizontal resting place.
    void moveTo(int y);

    // The available area of the screen under the pointer (else the primary screen).
    static QRect targetVisibleArea();
    // Draw the soft shadow even without a compositing manager (for pictures of the panel).
    static void setShadowsForced(bool forced);

private:
    void animateTo(const QPoint &target, int ms, int easing, std::function<void()> finished = {});
    void paintEvent(QPaintEvent *event) override;

    ScreenshotRecord m_record;
    bool m_pinned = false;
    bool m_dismissing = false;
    QTimer m_dismissTimer;
    ThumbnailContentView *m_content = nullptr;
    QPointer<QPropertyAnimation> m_animation;
    int m_margin = 0; // room for the shadow around the panel
    int m_restX = 0;
};
