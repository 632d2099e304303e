// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/AppDelegate.h"

#include "annotation/RedactionMarks.h"
#include "annotation/widgets/AnnotationEditorView.h"
#include "app/AppSettings.h"
#include "app/FrontAppDetector.h"
#include "app/HotkeyManager.h"
#include "app/ScreenshotMonitor.h"
#include "capture/CaptureOrganizer.h"
#include "capture/CaptureSession.h"
#include "shell/DesktopCaptureDisplay.h"
#include "shell/FirstRun.h"
#include "library/ScreenshotIndex.h"
#include "platform/FileSystem.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/Notifications.h"
#include "platform/Workspace.h"
#include "tags/widgets/TagDialogWindow.h"
#include "ui/MenuBarView.h"
#include "ui/gallery/GalleryWindow.h"
#include "ui/Symbols.h"
#include "ui/ThumbnailStack.h"
#include "ui/preferences/PreferencesView.h"
#include "ui/TrayPopover.h"

#include <QApplication>
#include <QCursor>
#include <QFileInfo>
#include <QPointer>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QUrl>
#include <QVBoxLayout>

namespace {

QString pathFromUserInfo(const QVariantMap &info)
{
    const QVariant url = info.value(QStringLiteral("url"));
    if (url.canConvert<QUrl>() && url.toUrl().isLocalFile()) {
        return url.toUrl().toLocalFile();
    }
    const QString text = url.toString();
    return text.startsWith(QLatin1String("file:")) ? QUrl(text).toLocalFile() : text;
}

} // namespace

AppDelegate::AppDelegate(AppSettings &settings, QObject *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_session(new CaptureSession(settings, ScreenshotIndex::shared(), this))
    , m_thumbnails(std::make_unique<ThumbnailStack>())
{
    connect(m_session, &CaptureSession::recentScreenshotsChanged, this, &AppDelegate::refreshPanel);
    connect(m_session, &CaptureSession::monitoringChanged, this, &AppDelegate::refreshPanel);
    addDisplaySteps();
}

AppDelegate::~AppDelegate()
{
    delete m_popover;
    delete m_panelWindow;
    delete m_galleryWindow;
}

FrontAppDetector *AppDelegate::frontAppDetector()
{
    if (!m_frontAppDetector) {
        m_frontAppDetector = new FrontAppDetector(this);
    }
    return m_frontAppDetector;
}

GalleryWindow *AppDelegate::galleryWindow() const { return m_galleryWindow.data(); }

QWidget *AppDelegate::panelWindow() const { return m_panelWindow ? m_panelWindow : m_popover; }

void AppDelegate::addDisplaySteps()
{
    CaptureOrganizer &organizer = m_session->organizer();
    organizer.setAppNameSource([this] { return frontAppDetector()->appNameForCapture(); });
    QPointer<AppDelegate> self(this);
    m_display = std::make_unique<DesktopCaptureDisplay>(
        *m_thumbnails,
        [self](ThumbnailAction action, const ScreenshotRecord &record) {
            if (self) {
                self->handleThumbnailAction(action, record);
            }
        },
        [self](const ScreenshotRecord &record) {
            if (self) {
                self->showTagDialog(record);
            }
        });
    organizer.setDisplay(m_display.get());
}

void AppDelegate::applicationDidFinishLaunching()
{
    CaptureSession::FrontEndSteps steps;
    steps.beforeMonitor = [this] {
        // The tray icon and its panel.
        setUpStatusItem();
        // Follow the front application from now on: each capture is filed under the one in front.
        frontAppDetector();
    };
    steps.beforeCleanUp = [this] {
        // Open windows when the tray, the hotkey or a command line asks.
        registerObservers();
        // The annotate-latest hotkey, registered and unregistered as its setting changes.
        QPointer<AppDelegate> self(this);
        HotkeyManager::shared().onAnnotateLatest = [self] {
            if (self) {
                self->annotateLatest();
            }
        };
        if (m_settings.enableAnnotateHotkey()) {
            HotkeyManager::shared().registerHotkey();
        }
        connect(&m_settings, &AppSettings::changed, this, [this](const QString &key) {
            if (key == QLatin1String("enableAnnotateHotkey")) {
                if (m_settings.enableAnnotateHotkey()) {
                    HotkeyManager::shared().registerHotkey();
                } else {
                    HotkeyManager::shared().unregisterHotkey();
                }
            }
            refreshPanel();
        });
    };
    m_session->start(steps);
    for (const StartupNotices::Notice &n : currentNotices()) {
        if (n.kind == StartupNotices::Kind::noSystemTray) {
            // The panel's window may open behind others: say why through a notification too.
            (void)Notifications::post(QStringLiteral("Pictrove has no tray icon"), n.text);
        } else if (n.kind == StartupNotices::Kind::noFileTags) {
            // The other conditions have log lines where they are met.
            Log::line(QStringLiteral("Tags cannot be stored on the file system of ") + m_settings.libraryRoot());
        }
    }
    FirstRun::offerLaunchAtLogin(m_settings, this);
}

QList<StartupNotices::Notice> AppDelegate::currentNotices() const
{
    return StartupNotices::compute(FirstRun::probe(m_settings, hasTray()));
}

void AppDelegate::applicationWillTerminate() { m_session->stop(); }

ScreenshotMonitor *AppDelegate::screenshotMonitor() { return &m_session->monitor(); }

void AppDelegate::setUpStatusItem()
{
    m_panel = new MenuBarView;
    connect(m_panel, &MenuBarView::quitRequested, qApp, &QCoreApplication::quit);
    connect(m_panel, &MenuBarView::pauseResumeRequested, this, [this] {
        if (screenshotMonitor()->isMonitoring()) {
            screenshotMonitor()->stop();
        } else {
            screenshotMonitor()->start();
        }
        refreshPanel();
    });
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        m_popover = new TrayPopover(m_panel);
        m_statusItem = new QSystemTrayIcon(Symbols::applicationIcon(), this);
        m_statusItem->setToolTip(QStringLiteral("Pictrove"));
        m_popover->setAnchorProvider([this] { return m_statusItem->geometry(); });
        connect(m_statusItem, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::Context) {
                togglePopover();
            }
        });
        m_statusItem->show();
    } else {
        // No tray to live in: a small ordinary window, so the application is never invisible.
        Log::line(QStringLiteral("No system tray found; showing the panel in a window"));
        m_panelWindow = new QWidget(nullptr, Qt::Window);
        m_panelWindow->setWindowTitle(QStringLiteral("Pictrove"));
        m_panelWindow->setWindowIcon(Symbols::applicationIcon());
        auto *layout = new QVBoxLayout(m_panelWindow);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSizeConstraint(QLayout::SetFixedSize); // the window follows the panel's height
        layout->addWidget(m_panel);
        m_panelWindow->show();
    }
    refreshPanel();
}

void AppDelegate::refreshPanel()
{
    if (!m_panel) {
        return;
    }
    m_panel->setRecentPreviewMinutes(m_settings.recentPreviewMinutes());
    m_panel->setDestinationFolder(m_settings.destinationFolder());
    const ScreenshotMonitor &monitor = m_session->monitor();
    m_panel->setMonitoring(monitor.isMonitoring());
    m_panel->setRecentScreenshots(monitor.recentScreenshots());
    // The settings may have moved the folders or asked for faces: look again.
    m_panel->setNotices(currentNotices());
}

void AppDelegate::togglePopover()
{
    if (!m_popover) {
        showPanel();
        return;
    }
    m_panel->setNow(QDateTime::currentDateTime());
    m_popover->toggle();
}

void AppDelegate::showPanel()
{
    m_panel->setNow(QDateTime::currentDateTime());
    if (m_popover) {
        if (!m_popover->isVisible()) {
            m_popover->showAtPointer();
        }
        return;
    }
    m_panelWindow->show();
    m_panelWindow->raise();
    m_panelWindow->activateWindow();
}

void AppDelegate::registerObservers()
{
    NotificationCenter &center = NotificationCenter::defaultCenter();
    QPointer<AppDelegate> self(this);
    m_observers << center.addObserver(NotificationCenter::openPreferences, this, [self](const QVariantMap &) {
        if (self) {
            self->showPreferences();
        }
    });
    m_observers << center.addObserver(NotificationCenter::openAnnotationEditor, this, [self](const QVariantMap &info) {
        const QString path = pathFromUserInfo(info);
        if (self && !path.isEmpty()) {
            self->openAnnotationEditor(path, {});
        }
    });
    m_observers << center.addObserver(NotificationCenter::openGallery, this, [self](const QVariantMap &info) {
        if (self) {
            self->showGallery(info.value(QStringLiteral("query")).toString());
        }
    });
    m_observers << center.addObserver(NotificationCenter::openTagDialog, this, [self](const QVariantMap &info) {
        const QString path = pathFromUserInfo(info);
        if (!self || path.isEmpty()) {
            return;
        }
        ScreenshotRecord record;
        record.id = QUuid::createUuid();
        record.originalURL = path;
        record.movedURL = path;
        // A file the library holds keeps its application and time; a sender's name wins.
        const std::optional<ScreenshotIndexEntry> known = ScreenshotIndex::shared().entry(path);
        QString app = info.value(QStringLiteral("appName")).toString();
        if (app.isEmpty() && known) {
            app = known->appName;
        }
        record.appName = app.isEmpty() ? QStringLiteral("Unknown") : app;
        record.timestamp = known && known->timestamp.isValid() ? known->timestamp : QDateTime::currentDateTime();
        if (const Result<QStringList> tags = FileSystem::readTagNames(path)) {
            record.tags = tags.value();
        }
        self->showTagDialog(record);
    });
}

void AppDelegate::showPreferences()
{
    if (m_popover && m_popover->isVisible()) {
        m_popover->close();
    }
    if (!m_preferencesWindow) {
        auto *window = new PreferencesView(m_settings);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setWindowTitle(QStringLiteral("Pictrove Preferences"));
        window->setWindowIcon(Symbols::applicationIcon());
        // Titled and closable; not resizable (fixed size) and not minimisable.
        window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
        m_preferencesWindow = window;
        const QScreen *screen = QGuiApplication::screenAt(QCursor::pos());
        if (!screen) {
            screen = QGuiApplication::primaryScreen();
        }
        if (screen) {
            window->move(screen->availableGeometry().center() - window->rect().center());
        }
    }
    m_preferencesWindow->show();
    m_preferencesWindow->raise();
    m_preferencesWindow->activateWindow();
}

void AppDelegate::showGallery(const QString &query)
{
    if (m_popover && m_popover->isVisible()) {
        m_popover->close();
    }
    if (m_galleryWindow) {
        // A new search replaces the content; without one the window comes up as it was.
        if (!query.isEmpty()) {
            m_galleryWindow->replaceContent(query);
        }
    } else {
        m_galleryWindow = new GalleryWindow(m_settings, ScreenshotIndex::shared(), query);
        m_galleryWindow->setAttribute(Qt::WA_DeleteOnClose);
        if (const QScreen *screen = QGuiApplication::primaryScreen()) {
            QRect frame = m_galleryWindow->frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            m_galleryWindow->move(frame.topLeft());
        }
    }
    m_galleryWindow->show();
    m_galleryWindow->raise();
    m_galleryWindow->activateWindow();
}

void AppDelegate::openAnnotationEditor(const QString &path, const QList<Annotation> &annotations)
{
    if (m_popover && m_popover->isVisible()) {
        m_popover->close();
    }
    // An open editor is replaced, not reused: its marks belong to another screenshot.
    if (m_annotationWindow) {
        m_annotationWindow->close();
    }
    auto window = std::make_shared<QPointer<QWidget>>();
    const auto closeWindow = [window] {
        if (*window) {
            (*window)->close();
        }
    };
    auto *editor = new AnnotationEditorView(
        path, annotations, m_settings,
        [closeWindow](const QString &saved) {
            closeWindow();
            Workspace::reveal(saved);
        },
        closeWindow);
    *window = editor;
    editor->setWindowFlag(Qt::Window);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    editor->setWindowTitle(QStringLiteral("Annotate — ") + QFileInfo(path).fileName());
    editor->setWindowIcon(Symbols::applicationIcon());
    editor->setMinimumSize(640, 480);
    editor->resize(960, 720);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), editor->size());
        frame.moveCenter(screen->availableGeometry().center());
        editor->move(frame.topLeft());
    }
    m_annotationWindow = editor;
    editor->show();
    editor->raise();
    editor->activateWindow();
}

void AppDelegate::showTagDialog(const ScreenshotRecord &record)
{
    if (m_popover && m_popover->isVisible()) {
        m_popover->close();
    }
    // One at a time: a new request replaces the open dialog, which writes nothing.
    if (m_tagDialogWindow) {
        m_tagDialogWindow->close();
    }
    auto *window = new TagDialogWindow(record, m_settings);
    m_tagDialogWindow = window;
    window->present();
}

TagDialogWindow *AppDelegate::tagDialogWindow() const { return static_cast<TagDialogWindow *>(m_tagDialogWindow.data()); }

QList<Annotation> AppDelegate::redactionMarksFor(const ScreenshotRecord &record) const
{
    const std::optional<ScreenshotIndexEntry> entry = ScreenshotIndex::shared().entry(record.movedURL);
    return RedactionMarks::make(entry ? entry->piiRects : QList<QRectF>(), m_settings.piiRedactionStyle());
}

void AppDelegate::handleThumbnailAction(ThumbnailAction action, const ScreenshotRecord &record)
{
    switch (action) {
    case ThumbnailAction::tagScreenshot:
        showTagDialog(record);
        break;
    case ThumbnailAction::annotate:
        openAnnotationEditor(record.movedURL, {});
        break;
    case ThumbnailAction::deleteScreenshot:
        screenshotMonitor()->removeRecent(record.id);
        if (ScreenshotIndex::shared().remove(record.movedURL)) {
            ScreenshotIndex::shared().scheduleSave();
        }
        break;
    case ThumbnailAction::redactPII:
        openAnnotationEditor(record.movedURL, redactionMarksFor(record));
        break;
    }
}

void AppDelegate::annotateLatest()
{
    const QList<ScreenshotRecord> recents = screenshotMonitor()->recentScreenshots();
    if (!recents.isEmpty()) {
        openAnnotationEditor(recents.first().movedURL, {});
        return;
    }
    std::optional<ScreenshotIndexEntry> newest;
    const ScreenshotIndex::Entries &entries = ScreenshotIndex::shared().entries();
    for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
        if (!FileSystem::exists(it->path)) {
            continue;
        }
        if (!newest || it->timestamp > newest->timestamp) {
            newest = *it;
        }
    }
    if (newest) {
        openAnnotationEditor(newest->path, {});
    }
}
