// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Result.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <optional>
#include <type_traits>

enum class SettingKind { String, Integer, Boolean };

// One stored setting as the generic code sees it (the command line, the store's change
// tracking, a form that lists them): its key, the kind of value, the value while the key was
// never written, and the values it may take.
struct SettingSpec
{
    struct Range
    {
        qint64 minimum;
        qint64 maximum;
    };

    QString key;
    SettingKind kind;
    QVariant defaultValue;
    QVariantList choices;       // empty: any value of the kind (within the range)
    std::optional<Range> range; // integers only; inclusive

    // The text as a value of the kind, refused when it is not one the setting may take.
    Result<QVariant> fromText(const QString &text) const;
    // The value written as fromText reads it back.
    QString toText(const QVariant &value) const;
    // A stored value as the kind; one of another kind reads as the default. Values outside
    // the choices or the range still read as stored: nothing a user stored is dropped.
    QVariant read(const QVariant &stored) const;
    // The allowed values as a person reads them ("blur, black", "5 to 50"); empty when any
    // value of the kind goes.
    QString allowedText() const;
};

// A setting declared with its C++ type, so that reads and writes through
// AppSettings::get/set are typed. T is QString, qint64 or bool.
template <typename T> struct Setting : SettingSpec
{
    static_assert(std::is_same_v<T, QString> || std::is_same_v<T, qint64> || std::is_same_v<T, bool>);

    Setting(QString key, const T &defaultValue, const QList<T> &choices = {})
        : SettingSpec{std::move(key), kindOf(), QVariant::fromValue(defaultValue), toVariants(choices), std::nullopt}
    {}
    Setting(QString key, qint64 defaultValue, Range range) requires std::is_same_v<T, qint64>
        : SettingSpec{std::move(key), SettingKind::Integer, QVariant::fromValue(defaultValue), {}, range}
    {}

    T typedDefault() const { return defaultValue.value<T>(); }
    QList<T> typedChoices() const
    {
        QList<T> values;
        for (const QVariant &v : choices) {
            values.append(v.value<T>());
        }
        return values;
    }

private:
    static constexpr SettingKind kindOf()
    {
        if constexpr (std::is_same_v<T, bool>) {
            return SettingKind::Boolean;
        } else if constexpr (std::is_same_v<T, qint64>) {
            return SettingKind::Integer;
        } else {
            return SettingKind::String;
        }
    }
    static QVariantList toVariants(const QList<T> &values)
    {
        QVariantList list;
        for (const T &v : values) {
            list.append(QVariant::fromValue(v));
        }
        return list;
    }
};
