// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/Setting.h"

// Every stored setting, declared once: key, type, default and the values it may take. The
// typed accessors of AppSettings, `pictrove config` and the preferences controls all follow
// from these. The choices and ranges are what the preferences window offers, so the command
// line refuses what the window could never set.
namespace Settings {

inline const Setting<QString> destinationFolder{QStringLiteral("destinationFolder"),
                                                QStringLiteral("~/Pictures/Pictrove")};
inline const Setting<QString> sourceFolder{QStringLiteral("sourceFolder"), QString()};
inline const Setting<qint64> maxRecentTags{QStringLiteral("maxRecentTags"), 10, SettingSpec::Range{5, 50}};
inline const Setting<bool> showNotification{QStringLiteral("showNotification"), true};
inline const Setting<qint64> recentPreviewMinutes{QStringLiteral("recentPreviewMinutes"), 5,
                                                  QList<qint64>{1, 2, 5, 10, 30, 60}};
inline const Setting<bool> showFloatingThumbnail{QStringLiteral("showFloatingThumbnail"), true};
inline const Setting<bool> disableSystemThumbnail{QStringLiteral("disableSystemThumbnail"), true};
inline const Setting<bool> enablePIIRedaction{QStringLiteral("enablePIIRedaction"), true};
inline const Setting<bool> redactEmails{QStringLiteral("redactEmails"), true};
inline const Setting<bool> redactIPs{QStringLiteral("redactIPs"), true};
inline const Setting<bool> redactAPIKeys{QStringLiteral("redactAPIKeys"), true};
inline const Setting<bool> redactPhones{QStringLiteral("redactPhones"), true};
inline const Setting<bool> redactCreditCards{QStringLiteral("redactCreditCards"), true};
inline const Setting<bool> redactAddresses{QStringLiteral("redactAddresses"), false};
inline const Setting<bool> redactFaces{QStringLiteral("redactFaces"), false};
// "blur" pixelates, "black" covers with a solid box.
inline const Setting<QString> piiRedactionStyle{
    QStringLiteral("piiRedactionStyle"), QStringLiteral("blur"), {QStringLiteral("blur"), QStringLiteral("black")}};
inline const Setting<bool> scanOnCapture{QStringLiteral("scanOnCapture"), true};
inline const Setting<bool> copyToClipboardOnCapture{QStringLiteral("copyToClipboardOnCapture"), false};
inline const Setting<bool> enableAnnotateHotkey{QStringLiteral("enableAnnotateHotkey"), true};
inline const Setting<bool> retentionEnabled{QStringLiteral("retentionEnabled"), false};
inline const Setting<qint64> retentionDays{QStringLiteral("retentionDays"), 30, QList<qint64>{7, 14, 30, 60, 90, 365}};
inline const Setting<QString> retentionAction{
    QStringLiteral("retentionAction"), QStringLiteral("trash"), {QStringLiteral("trash"), QStringLiteral("archive")}};
inline const Setting<bool> dedupeDuplicates{QStringLiteral("dedupeDuplicates"), false};

// Remembered state rather than a choice: not listed by all(), so neither `pictrove config` nor
// the preferences offer it. Read and written through AppSettings::state and setState.
// Whether the first start has offered to start Pictrove at login.
inline const Setting<bool> launchAtLoginOffered{QStringLiteral("launchAtLoginOffered"), false};

// The declarations above, in their order (the order `pictrove config` lists them in).
const QList<const SettingSpec *> &all();
// The declaration of a key; null for a key that is not a setting.
const SettingSpec *find(const QString &key);

} // namespace Settings
