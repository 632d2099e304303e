// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Setting.h"

#include <QStringList>

namespace {

std::optional<bool> boolFromText(const QString &text, bool wordsToo)
{
    const QString t = text.trimmed().toLower();
    if (t == QLatin1String("true") || t == QLatin1String("1") ||
        (wordsToo && (t == QLatin1String("yes") || t == QLatin1String("on")))) {
        return true;
    }
    if (t == QLatin1String("false") || t == QLatin1String("0") ||
        (wordsToo && (t == QLatin1String("no") || t == QLatin1String("off")))) {
        return false;
    }
    return std::nullopt;
}

} // namespace

Result<QVariant> SettingSpec::fromText(const QString &text) const
{
    QVariant v;
    switch (kind) {
    case SettingKind::String:
        v = text;
        break;
    case SettingKind::Integer: {
        bool ok = false;
        const qint64 n = text.trimmed().toLongLong(&ok);
        if (!ok) {
            return Result<QVariant>::failure(QStringLiteral("\"%1\" takes a whole number, not \"%2\"").arg(key, text));
        }
        if (range && (n < range->minimum || n > range->maximum)) {
            return Result<QVariant>::failure(
                QStringLiteral("\"%1\" takes a whole number from %2, not \"%3\"").arg(key, allowedText(), text));
        }
        v = n;
        break;
    }
    case SettingKind::Boolean: {
        const std::optional<bool> b = boolFromText(text, true);
        if (!b) {
            return Result<QVariant>::failure(QStringLiteral("\"%1\" takes true or false, not \"%2\"").arg(key, text));
        }
        v = *b;
        break;
    }
    }
    if (!choices.isEmpty() && !choices.contains(v)) {
        return Result<QVariant>::failure(
            QStringLiteral("\"%1\" takes one of %2, not \"%3\"").arg(key, allowedText(), text));
    }
    return Result<QVariant>::success(v);
}

QString SettingSpec::toText(const QVariant &value) const
{
    switch (kind) {
    case SettingKind::Boolean:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case SettingKind::Integer:
        return QString::number(value.toLongLong());
    case SettingKind::String:
        break;
    }
    return value.toString();
}

QVariant SettingSpec::read(const QVariant &stored) const
{
    if (!stored.isValid()) {
        return defaultValue;
    }
    switch (kind) {
    case SettingKind::String:
        return stored.toString();
    case SettingKind::Integer: {
        bool ok = false;
        const qint64 v = stored.toLongLong(&ok);
        return ok ? QVariant(v) : defaultValue;
    }
    case SettingKind::Boolean: {
        // The store writes "true" or "false"; a hand-edited file may say 1 or 0.
        const std::optional<bool> b = boolFromText(stored.toString(), false);
        return b ? QVariant(*b) : defaultValue;
    }
    }
    return defaultValue;
}

QString SettingSpec::allowedText() const
{
    if (range) {
        return QStringLiteral("%1 to %2").arg(range->minimum).arg(range->maximum);
    }
    QStringList texts;
    for (const QVariant &v : choices) {
        texts.append(toText(v));
    }
    return texts.join(QStringLiteral(", "));
}
