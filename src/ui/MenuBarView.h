// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/ScreenshotRecord.h"
#include "app/StartupNotices.h"

#include <QDateTime>
#include <QList>
#include <QStringList>
#include <QTimer>
#include <QWidget>

class QLabel;
class QLineEdit;
class QScrollArea;
class QVBoxLayout;
class MenuItemButton;
class RecentRow;

// The tray panel: monitoring state, a search that opens the library, the captures of the last
// few minutes, and the application's commands. It keeps no data: the owner feeds it the
// monitor's state and the settings it shows.
class MenuBarView : public QWidget
{
    Q_OBJECT

public:
    static constexpr int panelWidth = 280;
    static constexpr int refreshSeconds = 15;

    explicit MenuBarView(QWidget *parent = nullptr);

    void setMonitoring(bool monitoring);
    void setRecentScreenshots(const QList<ScreenshotRecord> &recents);
    void setRecentPreviewMinutes(qint64 minutes);
    void setDestinationFolder(const QString &folder);
    // What the start found missing, one sentence each, shown under the header.
    void setNotices(const QList<StartupNotices::Notice> &notices);
    QStringList noticeTexts() const;
    // The reference time of the recent window; set at creation and at every refresh tick.
    void setNow(const QDateTime &now);

    bool isMonitoring() const { return m_monitoring; }
    QString statusText() const;
    QString pauseResumeText() const;
    QList<RecentRow *> visibleRows() const;
    QList<RecentRow *> olderRows() const;
    QString expanderText() const; // empty without an expander
    bool showsMoreRecents() const { return m_showMore; }
    void toggleMoreRecents();
    bool refreshTimerActive() const { return m_refresh.isActive(); }
    QLineEdit *searchField() const { return m_search; }
    MenuItemButton *commandButton(const QString &text) const;

signals:
    // The panel's height changed (rows came or went, the older recents opened or closed).
    void contentSizeChanged();
    void pauseResumeRequested();
    void quitRequested();
    // A command asked for a window; the popover holding the panel should close.
    void commandChosen();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void rebuildRecents();
    void settle();
    void updateStatus();
    void submitSearch();

    QList<ScreenshotRecord> m_recents;
    bool m_monitoring = false;
    qint64 m_minutes = 5;
    QString m_destination;
    QDateTime m_now;
    bool m_showMore = false;
    bool m_animateExpander = false;
    QTimer m_refresh;

    QWidget *m_statusDot = nullptr;
    QLabel *m_statusLabel = nullptr;
    QLineEdit *m_search = nullptr;
    QVBoxLayout *m_recentLayout = nullptr;
    QVBoxLayout *m_noticeLayout = nullptr;
    QList<StartupNotices::Notice> m_notices;
    MenuItemButton *m_pauseResume = nullptr;
    QList<MenuItemButton *> m_commands;
    QList<RecentRow *> m_visibleRows;
    QList<RecentRow *> m_olderRows;
    QString m_expanderText;
};
