// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "annotation/Annotation.h"
#include "app/ScreenshotRecord.h"
#include "ui/ThumbnailAction.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <memory>

class AppSettings;
class CaptureOrganizer;
class DesktopCaptureDisplay;
class FrontAppDetector;
class GalleryWindow;
class MenuBarView;
class QSystemTrayIcon;
class QWidget;
class ScreenshotMonitor;
class ThumbnailStack;
class TrayPopover;

// The tray application: starts everything in order, owns the tray icon and its panel, routes
// the window-opening notifications and the thumbnails' actions, runs the clean-up, and puts
// things back at quit. Main thread only.
class AppDelegate : public QObject
{
    Q_OBJECT

public:
    static constexpr int retentionDelayMs = 10 * 1000;
    static constexpr int retentionIntervalMs = 21600 * 1000;

    explicit AppDelegate(AppSettings &settings, QObject *parent = nullptr);
    ~AppDelegate() override;

    void applicationDidFinishLaunching();
    void applicationWillTerminate();
    // The window-opening notifications; called by the launch, or alone by a process that only
    // shows one window.
    void registerObservers();

    void togglePopover();
    // Brings the panel up: the popover where a tray exists, else the panel's own window.
    void showPanel();

    void showPreferences();
    void showGallery(const QString &query);
    void openAnnotationEditor(const QString &path, const QList<Annotation> &annotations);
    void showTagDialog(const ScreenshotRecord &record);
    void handleThumbnailAction(ThumbnailAction action, const ScreenshotRecord &record);
    void annotateLatest();
    // The marks the redact action opens the editor with.
    QList<Annotation> redactionMarksFor(const ScreenshotRecord &record) const;

    ThumbnailStack &thumbnailPanels() const { return *m_thumbnails; }
    MenuBarView *menuBarView() const { return m_panel; }
    bool hasTray() const { return m_statusItem != nullptr; }
    QWidget *panelWindow() const;
    FrontAppDetector *frontAppDetector();
    GalleryWindow *galleryWindow() const;

signals:
    // A command whose window this build does not have: the window's name and the file, if any.
    void windowUnavailable(const QString &window, const QString &path);

private:
    void setUpStatusItem();
    void refreshPanel();
    void unavailable(const QString &window, const QString &path = QString());
    ScreenshotMonitor *screenshotMonitor();
    void organizeScreenshot(const QString &path);

    AppSettings &m_settings;
    FrontAppDetector *m_frontAppDetector = nullptr;
    ScreenshotMonitor *m_screenshotMonitor = nullptr;
    CaptureOrganizer *m_organizer = nullptr;
    QSystemTrayIcon *m_statusItem = nullptr;
    TrayPopover *m_popover = nullptr;
    QWidget *m_panelWindow = nullptr; // without a tray
    QPointer<GalleryWindow> m_galleryWindow; // cleared when it closes
    MenuBarView *m_panel = nullptr;
    std::unique_ptr<ThumbnailStack> m_thumbnails;
    std::unique_ptr<DesktopCaptureDisplay> m_display;
    QList<QMetaObject::Connection> m_observers;
    QTimer m_retentionTimer;
};
