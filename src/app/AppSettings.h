// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/Settings.h"
#include "platform/PIITypes.h"
#include "platform/Result.h"

#include <QMap>
#include <QObject>
#include <QSettings>
#include <QStringList>
#include <QVariant>

#include <memory>

class QFileSystemWatcher;
class QTimer;

// Every user choice under its fixed key (declared in app/Settings.h), with its default while
// the key was never written. Main thread only. Observers hear `aboutToChange` before a write
// and `changed` after it.
class AppSettings : public QObject
{
    Q_OBJECT

public:
    static AppSettings &shared();
    explicit AppSettings(QObject *parent = nullptr);
    ~AppSettings() override;

    static inline const QString recentTagsKey = QStringLiteral("recentTags");
    static inline const QString favoriteTagsKey = QStringLiteral("favoriteTags");

    // Typed access through a declaration: settings.get(Settings::maxRecentTags). Writes are
    // stored as given; setFromText is the checked way in.
    template <typename T>
    T get(const Setting<T> &setting) const
    {
        return value(setting.key).template value<T>();
    }
    template <typename T>
    void set(const Setting<T> &setting, const std::type_identity_t<T> &v)
    {
        setValue(setting.key, QVariant::fromValue(v));
    }

    // Remembered state declared in app/Settings.h outside Settings::all().
    template <typename T>
    T state(const Setting<T> &setting) const
    {
        return setting.read(rawValue(setting.key)).template value<T>();
    }
    template <typename T>
    void setState(const Setting<T> &setting, const std::type_identity_t<T> &v)
    {
        setRawValue(setting.key, QVariant::fromValue(v));
    }

    // Generic access by key, used by the command line and the preferences.
    QVariant value(const QString &key) const;
    bool isSet(const QString &key) const;
    // Checks the text against the key's kind and allowed values, then stores it.
    Status setFromText(const QString &key, const QString &text);
    void setValue(const QString &key, const QVariant &value);
    void reset(const QString &key);

    // Raw access for keys that are not settings (tag lists, remembered thumbnail state).
    QVariant rawValue(const QString &key) const;
    void setRawValue(const QString &key, const QVariant &value);
    void removeRawValue(const QString &key);

    QString destinationFolder() const { return get(Settings::destinationFolder); }
    void setDestinationFolder(const QString &v) { set(Settings::destinationFolder, v); }
    QString sourceFolder() const { return get(Settings::sourceFolder); }
    void setSourceFolder(const QString &v) { set(Settings::sourceFolder, v); }
    qint64 maxRecentTags() const { return get(Settings::maxRecentTags); }
    void setMaxRecentTags(qint64 v) { set(Settings::maxRecentTags, v); }
    bool showNotification() const { return get(Settings::showNotification); }
    void setShowNotification(bool v) { set(Settings::showNotification, v); }
    qint64 recentPreviewMinutes() const { return get(Settings::recentPreviewMinutes); }
    void setRecentPreviewMinutes(qint64 v) { set(Settings::recentPreviewMinutes, v); }
    bool showFloatingThumbnail() const { return get(Settings::showFloatingThumbnail); }
    void setShowFloatingThumbnail(bool v) { set(Settings::showFloatingThumbnail, v); }
    bool disableSystemThumbnail() const { return get(Settings::disableSystemThumbnail); }
    void setDisableSystemThumbnail(bool v) { set(Settings::disableSystemThumbnail, v); }
    bool enablePIIRedaction() const { return get(Settings::enablePIIRedaction); }
    void setEnablePIIRedaction(bool v) { set(Settings::enablePIIRedaction, v); }
    bool redactEmails() const { return get(Settings::redactEmails); }
    void setRedactEmails(bool v) { set(Settings::redactEmails, v); }
    bool redactIPs() const { return get(Settings::redactIPs); }
    void setRedactIPs(bool v) { set(Settings::redactIPs, v); }
    bool redactAPIKeys() const { return get(Settings::redactAPIKeys); }
    void setRedactAPIKeys(bool v) { set(Settings::redactAPIKeys, v); }
    bool redactPhones() const { return get(Settings::redactPhones); }
    void setRedactPhones(bool v) { set(Settings::redactPhones, v); }
    bool redactCreditCards() const { return get(Settings::redactCreditCards); }
    void setRedactCreditCards(bool v) { set(Settings::redactCreditCards, v); }
    bool redactAddresses() const { return get(Settings::redactAddresses); }
    void setRedactAddresses(bool v) { set(Settings::redactAddresses, v); }
    bool redactFaces() const { return get(Settings::redactFaces); }
    void setRedactFaces(bool v) { set(Settings::redactFaces, v); }
    QString piiRedactionStyle() const { return get(Settings::piiRedactionStyle); }
    void setPiiRedactionStyle(const QString &v) { set(Settings::piiRedactionStyle, v); }
    bool scanOnCapture() const { return get(Settings::scanOnCapture); }
    void setScanOnCapture(bool v) { set(Settings::scanOnCapture, v); }
    bool copyToClipboardOnCapture() const { return get(Settings::copyToClipboardOnCapture); }
    void setCopyToClipboardOnCapture(bool v) { set(Settings::copyToClipboardOnCapture, v); }
    bool enableAnnotateHotkey() const { return get(Settings::enableAnnotateHotkey); }
    void setEnableAnnotateHotkey(bool v) { set(Settings::enableAnnotateHotkey, v); }
    bool retentionEnabled() const { return get(Settings::retentionEnabled); }
    void setRetentionEnabled(bool v) { set(Settings::retentionEnabled, v); }
    qint64 retentionDays() const { return get(Settings::retentionDays); }
    void setRetentionDays(qint64 v) { set(Settings::retentionDays, v); }
    QString retentionAction() const { return get(Settings::retentionAction); }
    void setRetentionAction(const QString &v) { set(Settings::retentionAction, v); }
    bool dedupeDuplicates() const { return get(Settings::dedupeDuplicates); }
    void setDedupeDuplicates(bool v) { set(Settings::dedupeDuplicates, v); }

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
