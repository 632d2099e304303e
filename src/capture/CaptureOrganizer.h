// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/ScreenshotRecord.h"
#include "privacy/PIIDetector.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class AppSettings;
class CaptureDisplay;
class ScreenshotIndex;
class ThumbnailCache;

// Files one new screenshot: name, move into the library, hash, de-duplicate, record,
// recent list, index entry, then (through the display, when there is one) clipboard,
// thumbnail or tag dialog and notification, and finally, off the main thread, the shared
// thumbnail and the scan.
// Main thread only; one capture runs to its end before the next starts.
class CaptureOrganizer : public QObject
{
    Q_OBJECT

public:
    struct Outcome
    {
        enum Status { Filed, Duplicate, Failed };
        Status status = Failed;
        std::optional<ScreenshotRecord> record; // Filed only
        QString duplicateOf;                    // Duplicate: the earlier copy's path
        QString error;                          // Failed: the error's description
    };

    // Overrides for files that are not live captures (the import command).
    struct Options
    {
        std::optional<QString> appName;  // instead of asking the front application
        std::optional<QDateTime> moment; // instead of now: day folder, name and timestamp
    };

    CaptureOrganizer(AppSettings &settings, ScreenshotIndex &index, QObject *parent = nullptr);
    ~CaptureOrganizer() override;

    // The front application's name, which names the capture's folder; "Unknown" while unset.
    void setAppNameSource(std::function<QString()> source) { m_appNameSource = std::move(source); }
    // Puts each filed capture's record at the head of the recent list (the screenshot
    // monitor's addRecent).
    void setRecentSink(std::function<void(const ScreenshotRecord &)> sink) { m_recentSink = std::move(sink); }
    // Steps that need a display; not owned; null leaves them out.
    void setDisplay(CaptureDisplay *display) { m_display = display; }
    // The time a live capture is filed under; the wall clock unless a test sets another.
    void setClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }
    // Where each filed capture's thumbnail is shared, made from the picture decoded for the
    // scan (one decode for both), so the library window and file managers need not decode a
    // fresh capture; null shares none.
    void setThumbnailCache(std::shared_ptr<const ThumbnailCache> cache) { m_thumbnails = std::move(cache); }

    Outcome organizeScreenshot(const QString &path, const Options &options = {});

    // Scans the filed capture off the main thread and stores the result in the index.
    void scanCapture(const ScreenshotRecord &record);
    int scansInFlight() const { return m_scansInFlight; }

signals:
    // A scan's result reached the index (also when nothing was found).
    void scanStored(const ScreenshotRecord &record, const PIIDetector::ScanResult &result);
    // A scan ended, stored or not (image unreadable).
    void scanFinished(const QString &path);

private:
    void finishScan(const QString &path);

    AppSettings &m_settings;
    ScreenshotIndex &m_index;
    std::function<QString()> m_appNameSource;
    std::function<void(const ScreenshotRecord &)> m_recentSink;
    std::function<QDateTime()> m_clock = &QDateTime::currentDateTime;
    CaptureDisplay *m_display = nullptr;
    std::shared_ptr<const ThumbnailCache> m_thumbnails;
    int m_scansInFlight = 0;
};
