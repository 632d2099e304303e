// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QVariantMap>

// One running Pictrove per user session: the first start owns a name on the session bus; a later
// start asks the owner to show itself and then ends.
class SingleInstance : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.pictrove.Pictrove")

public:
    static inline const char *serviceName = "com.pictrove.Pictrove";
    static inline const char *objectPath = "/com/pictrove/Pictrove";

    using QObject::QObject;

    // True when this process is now the one instance (also when there is no session bus to ask).
    // False when another instance runs; it has then been asked to show its panel.
    bool claim();

    // Asks the running instance, if any, to post one of the window-opening notifications.
    // False when no instance answers on the session bus.
    static bool postToRunning(const QString &name, const QVariantMap &userInfo);

public slots:
    Q_SCRIPTABLE void Activate();
    Q_SCRIPTABLE void OpenWindow(const QString &name, const QVariantMap &userInfo);

signals:
    void activateRequested();
    void openWindowRequested(const QString &name, const QVariantMap &userInfo);
};
