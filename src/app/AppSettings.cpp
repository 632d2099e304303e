// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppSettings.h"

#include "platform/FileSystem.h"

#include <QMap>

namespace {

using Kind = AppSettings::Kind;

QSettings *openStore()
{
    // INI under $XDG_CONFIG_HOME/Pictrove/Pictrove.conf: one file a person can read and edit.
    return new QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Pictrove"), QStringLiteral("Pictrove"));
}

} // namespace

const QList<AppSettings::KeySpec> &AppSettings::keySpecs()
{
    static const QList<KeySpec> specs = {
        {"destinationFolder", Kind::String, QStringLiteral("~/Pictures/Pictrove"), {}},
        {"sourceFolder", Kind::String, QString(), {}},
        {"maxRecentTags", Kind::Integer, qint64(10), {}},
        {"showNotification", Kind::Boolean, true, {}},
        {"recentPreviewMinutes", Kind::Integer, qint64(5), {}},
        {"showFloatingThumbnail", Kind::Boolean, true, {}},
        {"disableSystemThumbnail", Kind::Boolean, true, {}},
        {"enablePIIRedaction", Kind::Boolean, true, {}},
        {"redactEmails", Kind::Boolean, true, {}},
        {"redactIPs", Kind::Boolean, true, {}},
        {"redactAPIKeys", Kind::Boolean, true, {}},
        {"redactPhones", Kind::Boolean, true, {}},
        {"redactCreditCards", Kind::Boolean, true, {}},
        {"redactAddresses", Kind::Boolean, false, {}},
        {"redactFaces", Kind::Boolean, false, {}},
        {"piiRedactionStyle", Kind::String, QStringLiteral("blur"), {"blur", "black"}},
        {"scanOnCapture", Kind::Boolean, true, {}},
        {"copyToClipboardOnCapture", Kind::Boolean, false, {}},
        {"enableAnnotateHotkey", Kind::Boolean, true, {}},
        {"retentionEnabled", Kind::Boolean, false, {}},
        {"retentionDays", Kind::Integer, qint64(30), {}},
        {"retentionAction", Kind::String, QStringLiteral("trash"), {"trash", "archive"}},
        {"dedupeDuplicates", Kind::Boolean, false, {}},
    };
    return specs;
}

const AppSettings::KeySpec *AppSettings::findKey(const QString &key)
{
    for (const KeySpec &spec : keySpecs()) {
        if (spec.key == key) {
            return &spec;
        }
    }
    return nullptr;
}

AppSettings &AppSettings::shared()
{
    static AppSettings *instance = new AppSettings();
    return *instance;
}

AppSettings::AppSettings(QObject *parent) : QObject(parent), m_store(openStore()) {}

AppSettings::~AppSettings() = default;

namespace {

// Reads a stored value as the key's kind; a value of another kind reads as the default.
QVariant coerce(const AppSettings::KeySpec &spec, const QVariant &stored)
{
    if (!stored.isValid()) {
        return spec.defaultValue;
    }
    switch (spec.kind) {
    case Kind::String:
        return stored.toString();
    case Kind::Integer: {
        bool ok = false;
        const qint64 v = stored.toLongLong(&ok);
        return ok ? QVariant(v) : spec.defaultValue;
    }
    case Kind::Boolean: {
        const QString text = stored.toString().trimmed().toLower();
        if (text == QLatin1String("true") || text == QLatin1String("1")) {
            return true;
        }
        if (text == QLatin1String("false") || text == QLatin1String("0")) {
            return false;
        }
        return spec.defaultValue;
    }
    }
    return spec.defaultValue;
}

} // namespace

QVariant AppSettings::value(const QString &key) const
{
    const KeySpec *spec = findKey(key);
    if (!spec) {
        return {};
    }
    return coerce(*spec, m_store->value(key));
}

bool AppSettings::isSet(const QString &key) const { return m_store->contains(key); }

Status AppSettings::setFromText(const QString &key, const QString &text)
{
    const KeySpec *spec = findKey(key);
    if (!spec) {
        return Status::failure(QStringLiteral("unknown setting \"%1\"").arg(key));
    }
    QVariant v;
    switch (spec->kind) {
    case Kind::String:
        v = text;
        break;
    case Kind::Integer: {
        bool ok = false;
        const qint64 n = text.trimmed().toLongLong(&ok);
        if (!ok) {
            return Status::failure(QStringLiteral("\"%1\" takes a whole number, not \"%2\"").arg(key, text));
        }
        v = n;
        break;
    }
    case Kind::Boolean: {
        const QString t = text.trimmed().toLower();
        if (t == QLatin1String("true") || t == QLatin1String("yes") || t == QLatin1String("on") || t == QLatin1String("1")) {
            v = true;
        } else if (t == QLatin1String("false") || t == QLatin1String("no") || t == QLatin1String("off") || t == QLatin1String("0")) {
            v = false;
        } else {
            return Status::failure(QStringLiteral("\"%1\" takes true or false, not \"%2\"").arg(key, text));
        }
        break;
    }
    }
    if (!spec->allowed.isEmpty() && !spec->allowed.contains(v.toString())) {
        return Status::failure(QStringLiteral("\"%1\" takes one of %2, not \"%3\"").arg(key, spec->allowed.join(QStringLiteral(", ")), text));
    }
    setValue(key, v);
    return Status::success();
}

void AppSettings::setValue(const QString &key, const QVariant &value)
{
    emit aboutToChange(key);
    m_store->setValue(key, value);
    m_store->sync();
    emit changed(key);
}

void AppSettings::reset(const QString &key)
{
    emit aboutToChange(key);
    m_store->remove(key);
    m_store->sync();
    emit changed(key);
}

QVariant AppSettings::rawValue(const QString &key) const { return m_store->value(key); }

void AppSettings::setRawValue(const QString &key, const QVariant &value) { setValue(key, value); }

void AppSettings::removeRawValue(const QString &key) { reset(key); }

void AppSettings::reload()
{
    QMap<QString, QVariant> before;
    for (const KeySpec &spec : keySpecs()) {
        before.insert(spec.key, value(spec.key));
    }
    const QVariant recentBefore = rawValue(recentTagsKey);
    const QVariant favBefore = rawValue(favoriteTagsKey);
    m_store->sync();
    for (const KeySpec &spec : keySpecs()) {
        if (value(spec.key) != before.value(spec.key)) {
            emit changed(spec.key);
        }
    }
    if (rawValue(recentTagsKey) != recentBefore) {
        emit changed(recentTagsKey);
    }
    if (rawValue(favoriteTagsKey) != favBefore) {
        emit changed(favoriteTagsKey);
    }
}

void AppSettings::sync() { m_store->sync(); }

#define PICTROVE_STRING_SETTING(getter, setter, key)                                                                   \
    QString AppSettings::getter() const { return value(QStringLiteral(key)).toString(); }                              \
    void AppSettings::setter(const QString &v) { setValue(QStringLiteral(key), v); }
#define PICTROVE_INT_SETTING(getter, setter, key)                                                                      \
    qint64 AppSettings::getter() const { return value(QStringLiteral(key)).toLongLong(); }                             \
    void AppSettings::setter(qint64 v) { setValue(QStringLiteral(key), v); }
#define PICTROVE_BOOL_SETTING(getter, setter, key)                                                                     \
    bool AppSettings::getter() const { return value(QStringLiteral(key)).toBool(); }                                   \
    void AppSettings::setter(bool v) { setValue(QStringLiteral(key), v); }

PICTROVE_STRING_SETTING(destinationFolder, setDestinationFolder, "destinationFolder")
PICTROVE_STRING_SETTING(sourceFolder, setSourceFolder, "sourceFolder")
PICTROVE_INT_SETTING(maxRecentTags, setMaxRecentTags, "maxRecentTags")
PICTROVE_BOOL_SETTING(showNotification, setShowNotification, "showNotification")
PICTROVE_INT_SETTING(recentPreviewMinutes, setRecentPreviewMinutes, "recentPreviewMinutes")
PICTROVE_BOOL_SETTING(showFloatingThumbnail, setShowFloatingThumbnail, "showFloatingThumbnail")
PICTROVE_BOOL_SETTING(disableSystemThumbnail, setDisableSystemThumbnail, "disableSystemThumbnail")
PICTROVE_BOOL_SETTING(enablePIIRedaction, setEnablePIIRedaction, "enablePIIRedaction")
PICTROVE_BOOL_SETTING(redactEmails, setRedactEmails, "redactEmails")
PICTROVE_BOOL_SETTING(redactIPs, setRedactIPs, "redactIPs")
PICTROVE_BOOL_SETTING(redactAPIKeys, setRedactAPIKeys, "redactAPIKeys")
PICTROVE_BOOL_SETTING(redactPhones, setRedactPhones, "redactPhones")
PICTROVE_BOOL_SETTING(redactCreditCards, setRedactCreditCards, "redactCreditCards")
PICTROVE_BOOL_SETTING(redactAddresses, setRedactAddresses, "redactAddresses")
PICTROVE_BOOL_SETTING(redactFaces, setRedactFaces, "redactFaces")
PICTROVE_STRING_SETTING(piiRedactionStyle, setPiiRedactionStyle, "piiRedactionStyle")
PICTROVE_BOOL_SETTING(scanOnCapture, setScanOnCapture, "scanOnCapture")
PICTROVE_BOOL_SETTING(copyToClipboardOnCapture, setCopyToClipboardOnCapture, "copyToClipboardOnCapture")
PICTROVE_BOOL_SETTING(enableAnnotateHotkey, setEnableAnnotateHotkey, "enableAnnotateHotkey")
PICTROVE_BOOL_SETTING(retentionEnabled, setRetentionEnabled, "retentionEnabled")
PICTROVE_INT_SETTING(retentionDays, setRetentionDays, "retentionDays")
PICTROVE_STRING_SETTING(retentionAction, setRetentionAction, "retentionAction")
PICTROVE_BOOL_SETTING(dedupeDuplicates, setDedupeDuplicates, "dedupeDuplicates")

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
