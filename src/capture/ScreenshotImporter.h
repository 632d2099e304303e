// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "capture/ImportProgress.h"

#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class CaptureOrganizer;
class ScreenshotIndex;

// Files existing screenshots into the library through the capture organiser, dated by
// their names or modification times instead of the moment of filing.
class ScreenshotImporter
{
public:
    struct Options
    {
        std::optional<QString> appName; // "Unknown" when none
        bool allImages = false;         // folders: any image, not only screenshot names
    };

    struct Collected
    {
        QStringList files;
        QList<QPair<QString, QString>> problems; // argument and what is wrong with it
    };

    ScreenshotImporter(CaptureOrganizer &organizer, ScreenshotIndex &index, const QString &libraryRoot);

    // Checked between files; true stops the import after the current one.
    void setStopRequested(std::function<bool()> stopRequested) { m_stopRequested = std::move(stopRequested); }

    // Files named as given; folders walked (hidden items and the library itself skipped)
    // for screenshot names, or for any image with allImages; in path order.
    Collected collect(const QStringList &paths, bool allImages) const;

    // Files everything, waits for the scans and saves the index. Never stops at a bad file.
    ImportProgress::Summary run(const QStringList &paths, const Options &options, ImportProgress &progress);

private:
    bool insideLibrary(const QString &path) const;
    void waitForScans(int atMost);

    CaptureOrganizer &m_organizer;
    ScreenshotIndex &m_index;
    QString m_libraryRoot;
    std::function<bool()> m_stopRequested;
};
