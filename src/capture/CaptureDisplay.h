// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/ScreenshotRecord.h"

// What the capture organiser asks of a display. The desktop application implements it;
// headless runs and commands have none, and these steps are then left out.
class CaptureDisplay
{
public:
    virtual ~CaptureDisplay() = default;

    // Called only while "copyToClipboardOnCapture" is on.
    virtual void copyToClipboard(const ScreenshotRecord &record) { (void)record; }
    // One of these two for every filed capture, by "showFloatingThumbnail".
    virtual void showThumbnail(const ScreenshotRecord &record) { (void)record; }
    virtual void showTagDialog(const ScreenshotRecord &record) { (void)record; }
    // Called only while "showNotification" is on.
    virtual void postNotification(const ScreenshotRecord &record) { (void)record; }
    // A scan found personal information in the capture (stored in the index already):
    // badge the capture's thumbnail and keep it up 8 seconds from now unless pinned.
    virtual void showPIIBadge(const ScreenshotRecord &record) { (void)record; }
};
