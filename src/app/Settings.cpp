// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Settings.h"

namespace Settings {

const QList<const SettingSpec *> &all()
{
    static const QList<const SettingSpec *> list = {
        &destinationFolder,
        &sourceFolder,
        &maxRecentTags,
        &showNotification,
        &recentPreviewMinutes,
        &showFloatingThumbnail,
        &disableSystemThumbnail,
        &enablePIIRedaction,
        &redactEmails,
        &redactIPs,
        &redactAPIKeys,
        &redactPhones,
        &redactCreditCards,
        &redactAddresses,
        &redactFaces,
        &piiRedactionStyle,
        &scanOnCapture,
        &copyToClipboardOnCapture,
        &enableAnnotateHotkey,
        &retentionEnabled,
        &retentionDays,
        &retentionAction,
        &dedupeDuplicates,
    };
    return list;
}

const SettingSpec *find(const QString &key)
{
    for (const SettingSpec *spec : all()) {
        if (spec->key == key) {
            return spec;
        }
    }
    return nullptr;
}

} // namespace Settings
