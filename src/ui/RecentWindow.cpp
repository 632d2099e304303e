// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/RecentWindow.h"

namespace RecentWindow {

QList<ScreenshotRecord> inWindow(const QList<ScreenshotRecord> &recents, const QDateTime &now, qint64 minutes)
{
    const QDateTime start = now.addSecs(-minutes * 60);
    QList<ScreenshotRecord> list;
    for (const ScreenshotRecord &r : recents) {
        if (r.timestamp > start) {
            list.append(r);
        }
    }
    return list;
}

QList<ScreenshotRecord> visible(const QList<ScreenshotRecord> &all)
{
    return all.size() <= shownAtFirst ? all : all.mid(0, shownAtFirst);
}

QList<ScreenshotRecord> older(const QList<ScreenshotRecord> &all)
{
    if (all.size() <= shownAtFirst) {
        return {};
    }
    return all.mid(shownAtFirst, std::min<qsizetype>(all.size(), shownAtMost) - shownAtFirst);
}

} // namespace RecentWindow
