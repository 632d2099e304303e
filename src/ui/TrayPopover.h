// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QWidget>

#include <functional>

class MenuBarView;
class QScrollArea;

// The frameless panel that drops from the tray icon. As a popup it closes on any click outside
// the application, and the pointer grab ends with it.
class TrayPopover : public QWidget
{
    Q_OBJECT

public:
    explicit TrayPopover(MenuBarView *content);

    MenuBarView *content() const { return m_content; }
    // Opens at the pointer, or closes when open. A click on the tray icon that has just closed
    // the popup (as a click outside it) does not open it again at once.
    void toggle();
    void showAtPointer();
    // Where the tray tells its icon's place (XEmbed trays do), the popover opens under it.
    void setAnchorProvider(std::function<QRect()> provider) { m_anchor = std::move(provider); }
    QSize contentSize() const;

private slots:
    void followContentSize();

protected:
    void hideEvent(QHideEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    MenuBarView *m_content;
    QScrollArea *m_scroll;
    QElapsedTimer m_closedAt;
    QRect m_available;
    std::function<QRect()> m_anchor;
};
