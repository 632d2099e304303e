// SPDX-License-Identifier: GPL-3.0-or-later
// Interim: replaced by the screenshot-tool domain and the autostart file.
#include "app/AppSettings.h"

#include "platform/FileSystem.h"

QString AppSettings::resolvedSourceFolder() const
{
    if (!sourceFolder().isEmpty()) {
        return FileSystem::expandTilde(sourceFolder());
    }
    return FileSystem::homeFolder() + QStringLiteral("/Pictures/Screenshots");
}

void AppSettings::applySystemThumbnailPreference() {}
void AppSettings::restoreSystemThumbnail() {}
void AppSettings::setLaunchAtLogin(bool) { emit aboutToChange(QString()); }
bool AppSettings::launchAtLogin() const { return false; }
