// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Result.h"

#include <QSettings>
#include <QString>
#include <QVariant>

#include <memory>
#include <optional>

// The settings of the desktop's own screenshot tool, as far as Pictrove reads and changes them.
// "location" is the folder the tool saves into: GNOME Shell's Pictures/<translated
// "Screenshots">, KDE Spectacle's spectaclerc, Xfce screenshooter's screenshot_dir, chosen by
// XDG_CURRENT_DESKTOP; on another desktop Pictures/Screenshots when it exists. Linux tools have
// no "show-thumbnail" switch, so that key lives in a small store of Pictrove's own
// ($XDG_CONFIG_HOME/Pictrove/ScreenshotTool.conf) and only the remember/restore logic uses it.
class ScreenshotToolDomain
{
public:
    enum class Desktop { gnome, kde, xfce, other };

    // None when nothing is known about the desktop's screenshot tool.
    static std::unique_ptr<ScreenshotToolDomain> open();
    ~ScreenshotToolDomain();

    static Desktop currentDesktop();

    Desktop desktop() const { return m_desktop; }
    // The tool's save folder as the tool states it (a path, possibly with a leading "~").
    std::optional<QString> location() const { return m_location; }

    // The stored "show-thumbnail": invalid when missing, a bool when it holds a boolean,
    // otherwise the stored text.
    QVariant showThumbnail() const;
    void setShowThumbnail(bool on);
    void removeShowThumbnail();
    // Writes the changes out now.
    Status sync();

private:
    ScreenshotToolDomain(Desktop desktop, std::optional<QString> location);

    Desktop m_desktop;
    std::optional<QString> m_location;
    std::unique_ptr<QSettings> m_store;
};
