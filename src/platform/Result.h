// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>
#include <utility>

// The outcome of a platform operation: a value, or the platform's description of what failed.
template <typename T>
class Result
{
public:
    static Result success(T value) { return Result(std::move(value)); }
    static Result failure(QString error) { return Result(std::nullopt, std::move(error)); }

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }
    const T &value() const { return *m_value; }
    T &value() { return *m_value; }
    const T &operator*() const { return *m_value; }
    const T *operator->() const { return &*m_value; }
    const QString &error() const { return m_error; }

private:
    explicit Result(std::optional<T> v, QString e = {}) : m_value(std::move(v)), m_error(std::move(e)) {}
    std::optional<T> m_value;
    QString m_error;
};

// Success or an error description, for operations with nothing to return.
class Status
{
public:
    static Status success() { return Status({}); }
    static Status failure(QString error) { return Status(error.isEmpty() ? QStringLiteral("Unknown error") : std::move(error)); }

    bool ok() const { return m_error.isEmpty(); }
    explicit operator bool() const { return ok(); }
    const QString &error() const { return m_error; }

private:
    explicit Status(QString e) : m_error(std::move(e)) {}
    QString m_error;
};
