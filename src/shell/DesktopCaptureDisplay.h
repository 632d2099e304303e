// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "capture/CaptureDisplay.h"
#include "ui/ThumbnailAction.h"

#include <functional>

class ThumbnailStack;

// The capture organiser's steps that need the desktop: clipboard, floating thumbnail or tag
// dialog, the "Screenshot Organized" notification and the badge after a scan.
class DesktopCaptureDisplay : public CaptureDisplay
{
public:
    using ActionHandler = std::function<void(ThumbnailAction, const ScreenshotRecord &)>;
    using TagDialogOpener = std::function<void(const ScreenshotRecord &)>;

    DesktopCaptureDisplay(ThumbnailStack &thumbnails, ActionHandler onAction, TagDialogOpener openTagDialog);

    void copyToClipboard(const ScreenshotRecord &record) override;
    void showThumbnail(const ScreenshotRecord &record) override;
    void showTagDialog(const ScreenshotRecord &record) override;
    void postNotification(const ScreenshotRecord &record) override;
    void showPIIBadge(const ScreenshotRecord &record) override;

    // "Screenshot Organized" and its body for a record.
    static QString notificationTitle();
    static QString notificationBody(const ScreenshotRecord &record);

private:
    ThumbnailStack &m_thumbnails;
    ActionHandler m_onAction;
    TagDialogOpener m_openTagDialog;
};
