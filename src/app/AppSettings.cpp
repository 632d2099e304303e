// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppSettings.h"

#include "platform/FileSystem.h"
#include "platform/LoginItems.h"
#include "platform/Log.h"
#include "platform/ScreenshotToolDomain.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QMap>
#include <QStandardPaths>
#include <QTimer>

namespace {

QSettings *openStore()
{
    // INI under $XDG_CONFIG_HOME/Pictrove/Pictrove.conf: one file a person can read and edit.
    return new QSettings(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                             QStringLiteral("/Pictrove/Pictrove.conf"),
                         QSettings::IniFormat);
}

} // namespace

AppSettings &AppSettings::shared()
{
    static AppSettings *instance = [] {
        auto *settings = new AppSettings();
        settings->followExternalChanges();
        return settings;
    }();
    return *instance;
}

AppSettings::AppSettings(QObject *parent) : QObject(parent), m_store(openStore()), m_seen(snapshot()) {}

AppSettings::~AppSettings() = default;

QVariant AppSettings::value(const QString &key) const
{
    const SettingSpec *spec = Settings::find(key);
    return spec ? spec->read(m_store->value(key)) : QVariant();
}

bool AppSettings::isSet(const QString &key) const { return m_store->contains(key); }

Status AppSettings::setFromText(const QString &key, const QString &text)
{
    const SettingSpec *spec = Settings::find(key);
    if (!spec) {
        return Status::failure(QStringLiteral("unknown setting \"%1\"").arg(key));
    }
    const Result<QVariant> v = spec->fromText(text);
    if (!v) {
        return Status::failure(v.error());
    }
    setValue(key, *v);
    return Status::success();
}

void AppSettings::setValue(const QString &key, const QVariant &value)
{
    emit aboutToChange(key);
    m_store->setValue(key, value);
    m_store->sync();
    noteSeen(key);
    emit changed(key);
}

void AppSettings::reset(const QString &key)
{
    emit aboutToChange(key);
    m_store->remove(key);
    m_store->sync();
    noteSeen(key);
    emit changed(key);
}

void AppSettings::noteSeen(const QString &key)
{
    if (m_seen.contains(key)) {
        m_seen.insert(key, Settings::find(key) ? value(key) : rawValue(key));
    }
}

QVariant AppSettings::rawValue(const QString &key) const { return m_store->value(key); }

void AppSettings::setRawValue(const QString &key, const QVariant &value) { setValue(key, value); }

void AppSettings::removeRawValue(const QString &key) { reset(key); }

QMap<QString, QVariant> AppSettings::snapshot() const
{
    QMap<QString, QVariant> values;
    for (const SettingSpec *spec : Settings::all()) {
        values.insert(spec->key, value(spec->key));
    }
    values.insert(recentTagsKey, rawValue(recentTagsKey));
    values.insert(favoriteTagsKey, rawValue(favoriteTagsKey));
    return values;
}

void AppSettings::reload()
{
    // Compared with what this object last saw, not with the store just before the sync: the
    // store may have re-read the file on its own in between.
    m_store->sync();
    const QMap<QString, QVariant> now = snapshot();
    const QMap<QString, QVariant> before = std::exchange(m_seen, now);
    for (auto it = now.cbegin(); it != now.cend(); ++it) {
        if (before.value(it.key()) != it.value()) {
            emit changed(it.key());
        }
    }
}

void AppSettings::sync() { m_store->sync(); }

QString AppSettings::fileName() const { return m_store->fileName(); }

void AppSettings::followExternalChanges()
{
    if (m_fileWatcher) {
        return;
    }
    m_fileWatcher = new QFileSystemWatcher(this);
    m_reloadTimer = new QTimer(this);
    // One reload for a burst of changes (the writer's lock file, the temporary file, the rename).
    m_reloadTimer->setSingleShot(true);
    m_reloadTimer->setInterval(50);
    connect(m_reloadTimer, &QTimer::timeout, this, [this] {
        reload();
        watchStore();
    });
    const auto changed = [this] { m_reloadTimer->start(); };
    connect(m_fileWatcher, &QFileSystemWatcher::fileChanged, this, changed);
    connect(m_fileWatcher, &QFileSystemWatcher::directoryChanged, this, changed);
    watchStore();
}

void AppSettings::watchStore()
{
    // Writers replace the file by renaming a new one over it, which ends a watch on the file
    // itself; the folder's watch sees the rename, and the file is watched again afterwards.
    const QString file = m_store->fileName();
    const QString folder = QFileInfo(file).absolutePath();
    (void)FileSystem::createFolder(folder);
    if (!m_fileWatcher->directories().contains(folder)) {
        m_fileWatcher->addPath(folder);
    }
    if (QFileInfo::exists(file) && !m_fileWatcher->files().contains(file)) {
        m_fileWatcher->addPath(file);
    }
}

QString AppSettings::libraryRoot() const { return FileSystem::expandTilde(destinationFolder()); }

PIITypes AppSettings::enabledPIITypes() const
{
    PIITypes types;
    if (redactEmails()) types |= PIIType::emails;
    if (redactIPs()) types |= PIIType::ips;
    if (redactAPIKeys()) types |= PIIType::apiKeys;
    if (redactPhones()) types |= PIIType::phones;
    if (redactCreditCards()) types |= PIIType::creditCards;
    if (redactAddresses()) types |= PIIType::addresses;
    if (redactFaces()) types |= PIIType::faces;
    return types;
}

QString AppSettings::resolvedSourceFolder() const
{
    if (!sourceFolder().isEmpty()) {
        return FileSystem::expandTilde(sourceFolder());
    }
    const std::unique_ptr<ScreenshotToolDomain> domain = ScreenshotToolDomain::open();
    if (domain && domain->location()) {
        return FileSystem::expandTilde(*domain->location());
    }
    return FileSystem::homeFolder() + QStringLiteral("/Desktop");
}

namespace {
const QString kPriorThumbnailKey = QStringLiteral("priorSystemThumbnailState");
} // namespace

void AppSettings::applySystemThumbnailPreference()
{
    if (!disableSystemThumbnail()) {
        return;
    }
    const std::unique_ptr<ScreenshotToolDomain> domain = ScreenshotToolDomain::open();
    // Remember the state from before the very first switch-off only, so that it survives any
    // number of launches and crashes until an orderly quit restores it.
    if (rawValue(kPriorThumbnailKey).typeId() != QMetaType::QString) {
        const QVariant current = domain ? domain->showThumbnail() : QVariant();
        const QString state = current.typeId() == QMetaType::Bool ? (current.toBool() ? QStringLiteral("true") : QStringLiteral("false"))
                                                                   : QStringLiteral("unset");
        setRawValue(kPriorThumbnailKey, state);
    }
    if (domain) {
        domain->setShowThumbnail(false);
        (void)domain->sync();
    }
}

void AppSettings::restoreSystemThumbnail()
{
    const std::unique_ptr<ScreenshotToolDomain> domain = ScreenshotToolDomain::open();
    const QVariant prior = rawValue(kPriorThumbnailKey);
    if (domain) {
        if (prior.typeId() == QMetaType::QString && prior.toString() == QLatin1String("false")) {
            domain->setShowThumbnail(false);
        } else if (prior.typeId() == QMetaType::QString && prior.toString() == QLatin1String("unset")) {
            domain->removeShowThumbnail();
        } else {
            domain->setShowThumbnail(true);
        }
        (void)domain->sync();
    }
    removeRawValue(kPriorThumbnailKey);
}

void AppSettings::setLaunchAtLogin(bool enabled)
{
    const QString key = QStringLiteral("launchAtLogin");
    emit aboutToChange(key);
    const Status st = LoginItems::setEnabled(enabled);
    if (!st) {
        Log::line(QStringLiteral("Failed to %1 launch at login: %2").arg(enabled ? QStringLiteral("enable") : QStringLiteral("disable"), st.error()));
    }
    emit changed(key);
}

bool AppSettings::launchAtLogin() const { return LoginItems::isEnabled(); }
