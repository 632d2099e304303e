// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/DesktopCaptureDisplay.h"

#include "platform/Clipboard.h"
#include "platform/Notifications.h"
#include "ui/ThumbnailStack.h"

#include <QFileInfo>
#include <QImageReader>

DesktopCaptureDisplay::DesktopCaptureDisplay(ThumbnailStack &thumbnails, ActionHandler onAction,
                                             TagDialogOpener openTagDialog)
    : m_thumbnails(thumbnails), m_onAction(std::move(onAction)), m_openTagDialog(std::move(openTagDialog))
{
}

void DesktopCaptureDisplay::copyToClipboard(const ScreenshotRecord &record)
{
    QImageReader reader(record.movedURL);
    reader.setAutoTransform(true);
    // An unreadable image leaves only the file reference on the clipboard.
    Clipboard::copyFile(record.movedURL, reader.read());
}

void DesktopCaptureDisplay::showThumbnail(const ScreenshotRecord &record) { m_thumbnails.showThumbnail(record, m_onAction); }

void DesktopCaptureDisplay::showTagDialog(const ScreenshotRecord &record)
{
    if (m_openTagDialog) {
        m_openTagDialog(record);
    }
}

QString DesktopCaptureDisplay::notificationTitle() { return QStringLiteral("Screenshot Organized"); }

QString DesktopCaptureDisplay::notificationBody(const ScreenshotRecord &record)
{
    return record.appName + QStringLiteral(" — ") + QFileInfo(record.movedURL).fileName();
}

void DesktopCaptureDisplay::postNotification(const ScreenshotRecord &record)
{
    Notifications::requestAlertPermission();
    Notifications::post(notificationTitle(), notificationBody(record));
}

void DesktopCaptureDisplay::showPIIBadge(const ScreenshotRecord &record) { m_thumbnails.showPIIBadge(record.id); }
