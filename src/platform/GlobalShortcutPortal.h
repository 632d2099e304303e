// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/GlobalShortcutBackend.h"

#include <QDBusObjectPath>
#include <QVariantMap>

// The desktop portal's GlobalShortcuts interface (xdg-desktop-portal 1.17 and later), the one
// way a sandboxed or Wayland-native session grants shortcuts. Binding may ask the user, so it
// completes later: a refusal then arrives as registrationFailed.
class GlobalShortcutPortal : public GlobalShortcutBackend
{
    Q_OBJECT

public:
    static bool isAvailable();
    using GlobalShortcutBackend::GlobalShortcutBackend;
    ~GlobalShortcutPortal() override;

    QString name() const override { return QStringLiteral("portal"); }
    int registerShortcut() override;
    void unregisterShortcut() override;

signals:
    void sessionReady();

private slots:
    void onSessionCreated(uint response, const QVariantMap &results);
    void onBound(uint response, const QVariantMap &results);
    void onActivated(const QDBusObjectPath &session, const QString &id, qulonglong timestamp, const QVariantMap &options);

private:
    QString requestPath(const QString &token) const;
    bool watchResponse(const QString &path, const char *slot);

    QString m_session;
    bool m_activatedConnected = false;
};
