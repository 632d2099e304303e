// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

// What the start found missing that the user can put right, each as one plain sentence that
// says what to do. Computed from plain facts, so it needs neither a display nor the probes.
namespace StartupNotices {

enum class Kind { noScreenshotFolder, noSystemTray, noTextRecognitionData, noFaceData, noFileTags };

struct Notice
{
    Kind kind;
    QString text;
};

// What the start found; every field says "all is well" until a probe says otherwise.
struct Conditions
{
    QString watchedFolder;
    bool watchedFolderExists = true;
    bool hasSystemTray = true;
    bool textRecognitionDataInstalled = true;
    bool faceDataInstalled = true;
    // Face detection only runs when the user asked for faces to be found.
    bool facesWanted = false;
    // The library folder, where filed screenshots keep their tags in user extended attributes.
    QString libraryFolder;
    bool libraryHoldsTags = true;
};

// The notices in the order the panel shows them.
QList<Notice> compute(const Conditions &conditions);

} // namespace StartupNotices
