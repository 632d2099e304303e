// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Result.h"
#include "platform/PIITypes.h"

#include <QMap>
#include <QObject>
#include <QSettings>
#include <QStringList>
#include <QVariant>

#include <memory>

class QFileSystemWatcher;
class QTimer;

// Every user choice under its fixed key, with its default while the key was never written.
// Main thread only. Observers hear `aboutToChange` before a write and `changed` after it.
class AppSettings : public QObject
{
    Q_OBJECT

public:
    enum class Kind { String, Integer, Boolean };
    struct KeySpec
    {
        QString key;
        Kind kind;
        QVariant defaultValue;
        QStringList allowed; // empty: any value of the kind
    };

    // The stored settings in declaration order.
    static const QList<KeySpec> &keySpecs();
    static const KeySpec *findKey(const QString &key);

    static AppSettings &shared();
    explicit AppSettings(QObject *parent = nullptr);
    ~AppSettings() override;

    static inline const QString recentTagsKey = QStringLiteral("recentTags");
    static inline const QString favoriteTagsKey = QStringLiteral("favoriteTags");

    // Generic access used by the command line and the preferences.
    QVariant value(const QString &key) const;
    bool isSet(const QString &key) const;
    // Checks the text against the key's kind and allowed values, then stores it.
    Status setFromText(const QString &key, const QString &text);
    void setValue(const QString &key, const QVariant &value);
    void reset(const QString &key);

    // Raw access for keys outside the table (tag lists, remembered thumbnail state).
    QVariant rawValue(const QString &key) const;
    void setRawValue(const QString &key, const QVariant &value);
    void removeRawValue(const QString &key);

    QString destinationFolder() const;
    void setDestinationFolder(const QString &v);
    QString sourceFolder() const;
    void setSourceFolder(const QString &v);
    qint64 maxRecentTags() const;
    void setMaxRecentTags(qint64 v);
    bool showNotification() const;
    void setShowNotification(bool v);
    qint64 recentPreviewMinutes() const;
    void setRecentPreviewMinutes(qint64 v);
    bool showFloatingThumbnail() const;
    void setShowFloatingThumbnail(bool v);
    bool disableSystemThumbnail() const;
    void setDisableSystemThumbnail(bool v);
    bool enablePIIRedaction() const;
    void setEnablePIIRedaction(bool v);
    bool redactEmails() const;
    void setRedactEmails(bool v);
    bool redactIPs() const;
    void setRedactIPs(bool v);
    bool redactAPIKeys() const;
    void setRedactAPIKeys(bool v);
    bool redactPhones() const;
    void setRedactPhones(bool v);
    bool redactCreditCards() const;
    void setRedactCreditCards(bool v);
    bool redactAddresses() const;
    void setRedactAddresses(bool v);
    bool redactFaces() const;
    void setRedactFaces(bool v);
    QString piiRedactionStyle() const;
    void setPiiRedactionStyle(const QString &v);
    bool scanOnCapture() const;
    void setScanOnCapture(bool v);
    bool copyToClipboardOnCapture() const;
    void setCopyToClipboardOnCapture(bool v);
    bool enableAnnotateHotkey() const;
    void setEnableAnnotateHotkey(bool v);
    bool retentionEnabled() const;
    void setRetentionEnabled(bool v);
    qint64 retentionDays() const;
    void setRetentionDays(qint64 v);
    QString retentionAction() const;
    void setRetentionAction(const QString &v);
    bool dedupeDuplicates() const;
    void setDedupeDuplicates(bool v);

    // The expanded "destinationFolder".
    QString libraryRoot() const;
    // The folder to watch: "sourceFolder", else the desktop screenshot tool's folder.
    QString resolvedSourceFolder() const;
    PIITypes enabledPIITypes() const;

    void applySystemThumbnailPreference();
    void restoreSystemThumbnail();
    void setLaunchAtLogin(bool enabled);
    bool launchAtLogin() const;

    // Re-reads the store (another process may have written it) and announces every key
    // whose value differs from what this object last saw.
    void reload();
    void sync();
    // Follows changes that other processes (`pictrove config`) make to the settings file:
    // watches it and reloads. shared() does this from the start. Needs an event loop.
    void followExternalChanges();
    // The settings file.
    QString fileName() const;

signals:
    void aboutToChange(const QString &key);
    void changed(const QString &key);

private:
    void watchStore();
    QMap<QString, QVariant> snapshot() const;
    void noteSeen(const QString &key);

    std::unique_ptr<QSettings> m_store;
    QFileSystemWatcher *m_fileWatcher = nullptr;
    QTimer *m_reloadTimer = nullptr;
    // The values as this object last saw them, to tell another process's changes.
    QMap<QString, QVariant> m_seen;
};
