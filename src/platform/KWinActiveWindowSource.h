// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ActiveWindowSource.h"

#include <QDBusConnection>
#include <QDBusContext>

class QDBusServiceWatcher;

// Follows the active window under KWin: loads Pictrove's KWin script over KWin's scripting
// interface (org.kde.KWin /Scripting) and takes the activations it reports to
// com.pictrove.ActiveWindow. Only reports sent by KWin itself count. The script is unloaded when
// the source goes.
class KWinActiveWindowSource : public ActiveWindowSource, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.pictrove.ActiveWindow")

public:
    static QString serviceName(); // the name the script calls
    static QString kwinService(); // org.kde.KWin
    static QString pluginName();  // the script's name inside KWin
    // The installed script, else the one in the source tree this program was built from; empty
    // when neither is there.
    static QString installedScript();

    // Null when KWin does not answer on bus or will not run the script at scriptPath; `error`
    // then says why.
    static std::unique_ptr<KWinActiveWindowSource> open(const QDBusConnection &bus, const QString &scriptPath,
                                                        QString *error = nullptr);
    ~KWinActiveWindowSource() override;

    std::optional<ActiveWindow> current() override;

    // The window the script describes; empty when neither desktop file nor class is known.
    static ActiveWindow windowOf(const QString &resourceClass, const QString &desktopFileName, const QString &pid);

public slots:
    // Called by the script on every activation; pid is a decimal number, "0" when unknown.
    Q_SCRIPTABLE void Activated(const QString &resourceClass, const QString &desktopFileName, const QString &pid);

private:
    KWinActiveWindowSource(const QDBusConnection &bus, QString scriptPath);
    bool loadScript(QString *error);
    void unloadScript();
    void kwinOwnerChanged(const QString &newOwner);

    QDBusConnection m_bus;
    QString m_scriptPath;
    QString m_kwinOwner; // unique bus name of the KWin that runs the script
    QDBusServiceWatcher *m_watcher = nullptr;
    bool m_exported = false;
    bool m_scriptLoaded = false;
};
