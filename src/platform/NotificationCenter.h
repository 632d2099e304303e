// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QVariantMap>

#include <functional>

// Named application-wide notifications with a user-information map: how surfaces ask the
// application for a window without knowing who opens it. Main thread only.
class NotificationCenter : public QObject
{
    Q_OBJECT

public:
    static inline const QString openPreferences = QStringLiteral("com.pictrove.openPreferences");
    static inline const QString openAnnotationEditor = QStringLiteral("com.pictrove.openAnnotationEditor");
    static inline const QString openGallery = QStringLiteral("com.pictrove.openGallery");
    static inline const QString openTagDialog = QStringLiteral("com.pictrove.openTagDialog");

    static NotificationCenter &defaultCenter();
    static bool isWindowNotification(const QString &name)
    {
        return name == openPreferences || name == openAnnotationEditor || name == openGallery || name == openTagDialog;
    }

    using QObject::QObject;

    void post(const QString &name, const QVariantMap &userInfo = {});

    // Calls handler for every post of name until context is destroyed or the observer removed.
    QMetaObject::Connection addObserver(const QString &name, QObject *context,
                                        std::function<void(const QVariantMap &)> handler);
    void removeObserver(const QMetaObject::Connection &token) { disconnect(token); }

signals:
    void posted(const QString &name, const QVariantMap &userInfo);
};
