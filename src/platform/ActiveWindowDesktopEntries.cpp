// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/ActiveWindowDesktopEntries.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSet>
#include <QStandardPaths>

namespace {

// Exec's first word that is the program: skips "env" and its assignments.
QString programFromExec(const QString &exec)
{
    const QStringList words = exec.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    bool afterEnv = false;
    for (QString word : words) {
        word.remove(QLatin1Char('"'));
        const QString base = QFileInfo(word).fileName();
        if (base == QLatin1String("env")) {
            afterEnv = true;
            continue;
        }
        if (afterEnv && (word.contains(QLatin1Char('=')) || word.startsWith(QLatin1Char('-')))) {
            continue;
        }
        return base;
    }
    return {};
}

QString capitalised(const QString &s)
{
    if (s.isEmpty()) {
        return s;
    }
    return s.left(1).toUpper() + s.mid(1);
}

} // namespace

QStringList ActiveWindowDesktopEntries::defaultFolders()
{
    // Same order of precedence as the menu: the user's own entries override the system's.
    return QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
}

ActiveWindowDesktopEntries::ActiveWindowDesktopEntries(QStringList folders, QString locale)
    : m_folders(std::move(folders)), m_locale(locale.isEmpty() ? QLocale().name() : std::move(locale))
{
}

bool ActiveWindowDesktopEntries::parse(const QString &path, const QString &id, const QString &locale, Entry *entry)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return false;
    }
    const QString language = locale.section(QLatin1Char('_'), 0, 0);
    const QString countryLocale = locale.section(QLatin1Char('.'), 0, 0).section(QLatin1Char('@'), 0, 0);
    bool inMain = false;
    QString name, nameCountry, nameLanguage, type, exec;
    bool hidden = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) {
            continue;
        }
        if (line.startsWith(QLatin1Char('['))) {
            inMain = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (!inMain) {
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0) {
            continue;
        }
        const QString key = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1).trimmed();
        if (key == QLatin1String("Name")) {
            name = value;
        } else if (key == QStringLiteral("Name[%1]").arg(countryLocale)) {
            nameCountry = value;
        } else if (key == QStringLiteral("Name[%1]").arg(language)) {
            nameLanguage = value;
        } else if (key == QLatin1String("Type")) {
            type = value;
        } else if (key == QLatin1String("Exec")) {
            exec = value;
        } else if (key == QLatin1String("StartupWMClass")) {
            entry->startupWMClass = value;
        } else if (key == QLatin1String("Hidden")) {
            hidden = value == QLatin1String("true");
        }
    }
    if (hidden || type != QLatin1String("Application") || name.isEmpty()) {
        return false;
    }
    entry->id = id;
    entry->name = !nameCountry.isEmpty() ? nameCountry : !nameLanguage.isEmpty() ? nameLanguage : name;
    entry->program = programFromExec(exec);
    return true;
}

void ActiveWindowDesktopEntries::load()
{
    m_entries.clear();
    QSet<QString> seen;
    for (const QString &folder : std::as_const(m_folders)) {
        const QDir root(folder);
        QDirIterator it(folder, {QStringLiteral("*.desktop")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            // The desktop-file id: the path below applications/ with "/" turned into "-".
            QString id = root.relativeFilePath(path);
            id.chop(8);
            id.replace(QLatin1Char('/'), QLatin1Char('-'));
            if (seen.contains(id)) {
                continue; // shadowed by an entry of the same id in a more important folder
            }
            seen.insert(id);
            Entry entry;
            if (parse(path, id, m_locale, &entry)) {
                m_entries.append(entry);
            }
        }
    }
    m_loadedAt = QDateTime::currentDateTimeUtc();
}

const ActiveWindowDesktopEntries::Entry *ActiveWindowDesktopEntries::match(const ActiveWindow &w) const
{
    auto find = [this](auto &&predicate) -> const Entry * {
        for (const Entry &e : m_entries) {
            if (predicate(e)) {
                return &e;
            }
        }
        return nullptr;
    };
    const auto ci = Qt::CaseInsensitive;
    if (!w.applicationId.isEmpty()) {
        if (const Entry *e = find([&](const Entry &e) { return e.id.compare(w.applicationId, ci) == 0; })) {
            return e;
        }
    }
    for (const QString &cls : {w.wmClass, w.wmInstance}) {
        if (cls.isEmpty()) {
            continue;
        }
        if (const Entry *e = find([&](const Entry &e) { return e.startupWMClass.compare(cls, ci) == 0; })) {
            return e;
        }
        // Reverse-domain ids end in the class ("org.kde.dolphin" for "dolphin").
        if (const Entry *e = find([&](const Entry &e) {
                return e.id.compare(cls, ci) == 0 || e.id.endsWith(QLatin1Char('.') + cls, ci);
            })) {
            return e;
        }
    }
    const QString program = programOf(w.pid);
    for (const QString &p : {program, w.wmInstance}) {
        if (p.isEmpty()) {
            continue;
        }
        if (const Entry *e = find([&](const Entry &e) { return e.program.compare(p, ci) == 0; })) {
            return e;
        }
    }
    return nullptr;
}

QString ActiveWindowDesktopEntries::displayName(const ActiveWindow &window)
{
    if (window.isEmpty()) {
        return {};
    }
    if (!m_loadedAt.isValid()) {
        load();
    }
    const Entry *e = match(window);
    // An application installed while we run: look again, but not on every activation.
    if (!e && m_loadedAt.secsTo(QDateTime::currentDateTimeUtc()) > 30) {
        load();
        e = match(window);
    }
    if (e) {
        return e->name;
    }
    return capitalised(!window.wmClass.isEmpty() ? window.wmClass : window.wmInstance);
}

QString ActiveWindowDesktopEntries::programOf(qint64 pid)
{
    if (pid <= 0) {
        return {};
    }
    QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
    if (!cmdline.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray first = cmdline.readAll().split('\0').value(0);
    return QFileInfo(QString::fromLocal8Bit(first)).fileName();
}
