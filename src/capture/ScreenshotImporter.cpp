// SPDX-License-Identifier: GPL-3.0-or-later
#include "capture/ScreenshotImporter.h"

#include "app/ScreenshotNames.h"
#include "capture/CaptureOrganizer.h"
#include "capture/ImportDate.h"
#include "library/RetentionService.h"
#include "library/ScreenshotIndex.h"
#include "platform/FileSystem.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QImageReader>
#include <QThread>

ScreenshotImporter::ScreenshotImporter(CaptureOrganizer &organizer, ScreenshotIndex &index, const QString &libraryRoot)
    : m_organizer(organizer)
    , m_index(index)
    , m_libraryRoot(QDir::cleanPath(libraryRoot))
{
}

bool ScreenshotImporter::insideLibrary(const QString &path) const
{
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    return clean == m_libraryRoot || clean.startsWith(m_libraryRoot + QLatin1Char('/'));
}

ScreenshotImporter::Collected ScreenshotImporter::collect(const QStringList &paths, bool allImages) const
{
    Collected collected;
    for (const QString &argument : paths) {
        const QFileInfo info(argument);
        if (!info.exists()) {
            collected.problems.append({argument, QStringLiteral("No such file or folder")});
            continue;
        }
        if (!info.isDir()) {
            collected.files << QDir::cleanPath(info.absoluteFilePath());
            continue;
        }
        // Gather first, file afterwards: the walk never meets files this import moves.
        QStringList found;
        FileSystem::walk(QDir::cleanPath(info.absoluteFilePath()), [&](const FileSystem::WalkItem &item) {
            if (item.isDirectory) {
                return !insideLibrary(item.path);
            }
            const QString name = item.path.mid(item.path.lastIndexOf(QLatin1Char('/')) + 1);
            if (allImages ? RetentionService::isImagePath(name) : ScreenshotNames::isScreenshotName(name)) {
                if (!insideLibrary(item.path)) {
                    found << item.path;
                }
            }
            return true;
        });
        found.sort();
        collected.files += found;
    }
    return collected;
}

ImportProgress::Summary ScreenshotImporter::run(const QStringList &paths, const Options &options, ImportProgress &progress)
{
    const Collected collected = collect(paths, options.allImages);
    progress.start(int(collected.files.size() + collected.problems.size()));
    for (const auto &problem : collected.problems) {
        progress.item(ImportProgress::Result::Failed, problem.first, problem.second);
    }

    // Scans run beside the import, a few at a time, so memory stays bounded.
    const int scansAtOnce = std::max(1, QThread::idealThreadCount());
    bool stopped = false;
    for (const QString &file : collected.files) {
        if (m_stopRequested && m_stopRequested()) {
            stopped = true;
            break;
        }
        if (insideLibrary(file)) {
            progress.item(ImportProgress::Result::Failed, file, QStringLiteral("already in the library"));
            continue;
        }
        QImageReader reader(file);
        if (reader.read().isNull()) {
            progress.item(ImportProgress::Result::Failed, file,
                          QStringLiteral("not a readable image (%1)").arg(reader.errorString()));
            continue;
        }
        CaptureOrganizer::Options capture;
        capture.appName = options.appName.value_or(QStringLiteral("Unknown"));
        capture.moment = ImportDate::forFile(file);
        const CaptureOrganizer::Outcome outcome = m_organizer.organizeScreenshot(file, capture);
        switch (outcome.status) {
        case CaptureOrganizer::Outcome::Filed:
            progress.item(ImportProgress::Result::Filed, file, outcome.record->movedURL);
            break;
        case CaptureOrganizer::Outcome::Duplicate:
            progress.item(ImportProgress::Result::Duplicate, file, outcome.duplicateOf);
            break;
        case CaptureOrganizer::Outcome::Failed:
            progress.item(ImportProgress::Result::Failed, file, outcome.error);
            break;
        }
        waitForScans(scansAtOnce - 1);
    }
    // Saved before waiting for the last scans, so a second interrupt loses no filing.
    m_index.flush();
    waitForScans(0);
    m_index.flush();
    progress.finish(stopped);
    return progress.summary();
}

void ScreenshotImporter::waitForScans(int atMost)
{
    if (m_organizer.scansInFlight() <= atMost) {
        return;
    }
    QEventLoop loop;
    QObject::connect(&m_organizer, &CaptureOrganizer::scanFinished, &loop, [&] {
        if (m_organizer.scansInFlight() <= atMost) {
            loop.quit();
        }
    });
    loop.exec();
}
