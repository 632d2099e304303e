// SPDX-License-Identifier: GPL-3.0-or-later
#include "capture/CaptureOrganizer.h"

#include "app/AppSettings.h"
#include "app/ScreenshotNames.h"
#include "capture/CaptureDisplay.h"
#include "capture/ContentHash.h"
#include "library/ScreenshotIndex.h"
#include "platform/FileSystem.h"
#include "platform/Log.h"
#include "platform/ThumbnailCache.h"

#include <QFileInfo>
#include <QImage>
#include <QUuid>
#include <QtConcurrent>

namespace {

// The filed capture decoded once, for the scan and for its shared thumbnail. The thumbnail is
// stamped with the file as it now stays: moved into the library (tags set later are xattrs,
// which leave the mtime alone), and stamped before the decode, so that a change meanwhile
// leaves a thumbnail that no one takes for current.
QImage decodeAndShare(const QString &path, const ThumbnailCache *cache)
{
    const std::optional<ThumbnailCache::Source> source = cache ? ThumbnailCache::source(path) : std::nullopt;
    QImage image(path);
    if (source && !image.isNull()) {
        if (const Status shared = cache->storeFrom(*source, image); !shared) {
            Log::line(QStringLiteral("Thumbnail of ") + QFileInfo(path).fileName() + QStringLiteral(" not shared: ")
                      + shared.error());
        }
    }
    return image;
}

} // namespace

CaptureOrganizer::CaptureOrganizer(AppSettings &settings, ScreenshotIndex &index, QObject *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_index(index)
{
}

CaptureOrganizer::~CaptureOrganizer() = default;

CaptureOrganizer::Outcome CaptureOrganizer::organizeScreenshot(const QString &path, const Options &options)
{
    Outcome outcome;

    // The name of the capture's folder: the one given, else the application in front.
    QString appName;
    if (options.appName) {
        appName = *options.appName;
    } else if (m_appNameSource) {
        appName = m_appNameSource();
    } else {
        appName = QStringLiteral("Unknown");
    }

    // The clock is read once: the day folder, the file name and the record's time must agree
    // even when a second ends in between.
    const QDateTime moment = options.moment ? *options.moment : m_clock();
    const auto moved = ScreenshotNames::moveIntoLibrary(path, appName, m_settings.libraryRoot(), moment);
    if (!moved) {
        Log::line(QStringLiteral("Failed to organize screenshot: ") + moved.error());
        outcome.error = moved.error();
        return outcome;
    }
    const QString newPath = moved.value();

    // The hash is kept whatever the de-duplication setting says (a later capture may be
    // compared with this one); none when the file cannot be read.
    const std::optional<QString> hash = ContentHash::ofFile(newPath);

    // A capture equal to one already filed goes to the trash instead of being recorded.
    if (m_settings.dedupeDuplicates() && hash) {
        if (const auto duplicate = m_index.findDuplicate(*hash, newPath)) {
            (void)FileSystem::moveToTrash(newPath);
            Log::line(QStringLiteral("Duplicate of ") + QFileInfo(duplicate->path).fileName()
                      + QStringLiteral(" — trashed"));
            outcome.status = Outcome::Duplicate;
            outcome.duplicateOf = duplicate->path;
            return outcome;
        }
    }

    ScreenshotRecord record;
    record.id = QUuid::createUuid();
    record.originalURL = path;
    record.movedURL = newPath;
    record.appName = appName;
    record.timestamp = moment;

    if (m_recentSink) {
        m_recentSink(record);
    }

    // An index entry left over from an earlier file of the same path keeps its tags and text.
    if (std::optional<ScreenshotIndexEntry> existing = m_index.entry(newPath)) {
        existing->appName = appName;
        if (hash) {
            existing->contentHash = hash;
        }
        m_index.insert(*existing);
    } else {
        ScreenshotIndexEntry entry;
        entry.path = newPath;
        entry.appName = appName;
        entry.timestamp = record.timestamp;
        entry.contentHash = hash;
        m_index.insert(entry);
    }
    m_index.scheduleSave();

    // What needs a display: clipboard, thumbnail or tag dialog, notification.
    if (m_display) {
        if (m_settings.copyToClipboardOnCapture()) {
            m_display->copyToClipboard(record);
        }
        if (m_settings.showFloatingThumbnail()) {
            m_display->showThumbnail(record);
        } else {
            m_display->showTagDialog(record);
        }
        if (m_settings.showNotification()) {
            m_display->postNotification(record);
        }
    }

    // The scan comes last: it runs off the main thread and reports when it is done.
    if (m_settings.scanOnCapture()) {
        scanCapture(record);
    } else if (m_thumbnails) {
        (void)QtConcurrent::run([newPath, cache = m_thumbnails] { (void)decodeAndShare(newPath, cache.get()); });
    }

    outcome.status = Outcome::Filed;
    outcome.record = record;
    return outcome;
}

void CaptureOrganizer::scanCapture(const ScreenshotRecord &record)
{
    const PIITypes types = m_settings.enabledPIITypes();
    const QString path = record.movedURL;
    ++m_scansInFlight;
    // Decoding a large capture takes long enough to stall the main thread, so it happens
    // beside the scan; the result comes back to this object's thread, and is dropped if
    // the organiser is gone by then.
    QtConcurrent::run([path, cache = m_thumbnails] { return decodeAndShare(path, cache.get()); })
        .then(this, [this, record, types](const QImage &image) {
            if (image.isNull()) {
                finishScan(record.movedURL);
                return;
            }
            PIIDetector::scan(image, types, true)
                .then(this, [this, record](const PIIDetector::ScanResult &result) {
                    QList<QRectF> rects = result.piiRects;
                    rects += result.faceRects;
                    // Stored even when nothing was found: the index always gets the text.
                    m_index.updateScanResult(record.movedURL, result.ocrText, rects);
                    emit scanStored(record, result);
                    if (!rects.isEmpty() && m_display) {
                        m_display->showPIIBadge(record);
                    }
                    finishScan(record.movedURL);
                })
                .onCanceled(this, [this, record] { finishScan(record.movedURL); });
        })
        .onCanceled(this, [this, path] { finishScan(path); });
}

void CaptureOrganizer::finishScan(const QString &path)
{
    --m_scansInFlight;
    emit scanFinished(path);
}
