// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "annotation/Annotation.h"
#include "app/ScreenshotRecord.h"
#include "app/StartupNotices.h"
#include "ui/ThumbnailAction.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <memory>

class AppSettings;
class CaptureSession;
class DesktopCaptureDisplay;
class FrontAppDetector;
class GalleryWindow;
class MenuBarView;
class QSystemTrayIcon;
class ScreenshotMonitor;
class TagDialogWindow;
class ThumbnailStack;
class TrayPopover;

// The tray application: the capture session with what needs a display added to it (the front
// application's name, the clipboard, thumbnails, tag dialog and notifications, the tray icon
// and its panel, the window-opening notifications, the hotkey); routes the thumbnails' actions.
// Main thread only.
class AppDelegate : public QObject
{
    Q_OBJECT

public:
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
    // What the panel tells the user is missing, as of now.
    QList<StartupNotices::Notice> currentNotices() const;
    bool hasTray() const { return m_statusItem != nullptr; }
    QWidget *panelWindow() const;
    TagDialogWindow *tagDialogWindow() const;
    QWidget *preferencesWindow() const { return m_preferencesWindow; }
    FrontAppDetector *frontAppDetector();
    // The open annotation editor window, if any.
    QWidget *annotationWindow() const { return m_annotationWindow; }
    GalleryWindow *galleryWindow() const;

private:
    void setUpStatusItem();
    void refreshPanel();
    void addDisplaySteps();
    ScreenshotMonitor *screenshotMonitor();

    AppSettings &m_settings;
    CaptureSession *m_session = nullptr;
    FrontAppDetector *m_frontAppDetector = nullptr;
    QSystemTrayIcon *m_statusItem = nullptr;
    TrayPopover *m_popover = nullptr;
    QWidget *m_panelWindow = nullptr; // without a tray
    QPointer<QWidget> m_preferencesWindow; // cleared when it closes
    QPointer<GalleryWindow> m_galleryWindow; // cleared when it closes
    MenuBarView *m_panel = nullptr;
    QPointer<QWidget> m_tagDialogWindow; // a TagDialogWindow, cleared when it closes
    std::unique_ptr<ThumbnailStack> m_thumbnails;
    std::unique_ptr<DesktopCaptureDisplay> m_display;
    QList<QMetaObject::Connection> m_observers;
    QPointer<QWidget> m_annotationWindow; // cleared when the window closes
};
