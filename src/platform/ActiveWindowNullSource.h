// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ActiveWindowSource.h"

// For sessions where no window system tells the active window: every capture is "Unknown".
class ActiveWindowNullSource : public ActiveWindowSource
{
    Q_OBJECT

public:
    using ActiveWindowSource::ActiveWindowSource;
    std::optional<ActiveWindow> current() override { return std::nullopt; }
};
