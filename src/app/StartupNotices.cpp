// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/StartupNotices.h"

namespace StartupNotices {

QList<Notice> compute(const Conditions &c)
{
    QList<Notice> notices;
    if (!c.watchedFolderExists) {
        notices.append({Kind::noScreenshotFolder,
                        QStringLiteral("No screenshot folder was found at %1: create it, or choose a Watch Folder in "
                                       "Preferences.")
                            .arg(c.watchedFolder)});
    }
    if (!c.hasSystemTray) {
        notices.append({Kind::noSystemTray,
                        QStringLiteral("No system tray was found, so Pictrove shows this window: turn on your desktop's "
                                       "tray or AppIndicator extension to keep it in the panel.")});
    }
    if (!c.textRecognitionDataInstalled) {
        notices.append({Kind::noTextRecognitionData,
                        QStringLiteral("Install tesseract-ocr-eng to find text and personal information in screenshots.")});
    }
    if (c.facesWanted && !c.faceDataInstalled) {
        notices.append({Kind::noFaceData, QStringLiteral("Install opencv-data to find faces in screenshots.")});
    }
    if (!c.libraryHoldsTags) {
        notices.append({Kind::noFileTags,
                        QStringLiteral("Tags cannot be kept in the files in %1, as its disk has no extended attributes: "
                                       "choose a Save To folder on another disk in Preferences.")
                            .arg(c.libraryFolder)});
    }
    return notices;
}

} // namespace StartupNotices
