// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <optional>

class FloatingThumbnailPanel;
class QMenu;
class ThumbnailBadge;

// The inside of a floating thumbnail: the preview, hover highlight, pin marker and badge, and
// what the pointer does on it.
class ThumbnailContentView : public QWidget
{
    Q_OBJECT

public:
    ThumbnailContentView(FloatingThumbnailPanel *panel, const QImage &image, const QSize &thumbSize);

    QSize thumbSize() const { return m_thumbSize; }
    bool isHighlighted() const { return m_highlighted; }
    bool hasPIIBadge() const { return m_piiBadge != nullptr; }
    bool hasPinIndicator() const { return m_pinIndicator != nullptr; }
    QWidget *piiBadge() const;

    void showPIIBadge();
    void updatePinIndicator(bool pinned);

    // The context menu's entries, by label, for tests and accessibility tools.
    QStringList contextMenuLabels() const;
    void runContextMenuItem(const QString &label);

    // The file-drag step; replaceable so tests can observe it without a drag session.
    std::function<void()> startFileDrag;

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void badgeClicked();
    void beginFileDrag();
    QMenu *buildMenu();
    void menuCopy();
    void menuReveal();
    void menuDelete();

    QImage m_image;
    QSize m_thumbSize;
    QPointer<FloatingThumbnailPanel> m_panel;
    bool m_highlighted = false;
    bool m_menuOpen = false;
    std::optional<QPointF> m_dragStartPoint;
    ThumbnailBadge *m_piiBadge = nullptr;
    QWidget *m_pinIndicator = nullptr;
};
