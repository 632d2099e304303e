// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMetaType>
#include <QString>

// What the window system tells about the window in front: enough to find the application's
// desktop entry and display name.
struct ActiveWindow
{
    QString wmClass;       // WM_CLASS class part, e.g. "XTerm"
    QString wmInstance;    // WM_CLASS instance part, e.g. "xterm"
    QString applicationId; // _GTK_APPLICATION_ID or _KDE_NET_WM_DESKTOP_FILE, without ".desktop"
    qint64 pid = 0;        // _NET_WM_PID, 0 when unknown

    // A window a compositor describes by application id (".desktop" suffix allowed) and class.
    // One that names no application is not named after its process: that would be a guess.
    static ActiveWindow ofApplication(const QString &appId, const QString &wmClass, qint64 pid)
    {
        ActiveWindow w;
        w.applicationId = appId.endsWith(QLatin1String(".desktop")) ? appId.chopped(8) : appId;
        w.wmClass = wmClass;
        if (!w.isEmpty()) {
            w.pid = pid;
        }
        return w;
    }

    bool isEmpty() const { return wmClass.isEmpty() && wmInstance.isEmpty() && applicationId.isEmpty() && pid == 0; }
    // Two windows of one application count as one activation.
    bool sameApplication(const ActiveWindow &o) const
    {
        return wmClass == o.wmClass && wmInstance == o.wmInstance && applicationId == o.applicationId && pid == o.pid;
    }
};

Q_DECLARE_METATYPE(ActiveWindow)
