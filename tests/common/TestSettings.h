// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/AppSettings.h"

namespace TestSettings {

// Every setting back at its default and the tag lists gone, for a test that starts afresh.
inline void resetAll(AppSettings &settings)
{
    for (const SettingSpec *spec : Settings::all()) {
        settings.reset(spec->key);
    }
    settings.removeRawValue(AppSettings::recentTagsKey);
    settings.removeRawValue(AppSettings::favoriteTagsKey);
}

} // namespace TestSettings
