// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ActiveWindow.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// Finds the display name of a window's application in the installed desktop entries, matching
// as task managers do: the application id the toolkit published, StartupWMClass against the
// window class, the entry's id against the class, and Exec against the process's command.
class ActiveWindowDesktopEntries
{
public:
    struct Entry
    {
        QString id; // "org.gnome.Screenshot" for …/applications/org.gnome.Screenshot.desktop
        QString name;
        QString startupWMClass;
        QString program; // file name of Exec's program, e.g. "xterm"
    };

    // The applications folders under $XDG_DATA_HOME and $XDG_DATA_DIRS, most important first.
    static QStringList defaultFolders();

    explicit ActiveWindowDesktopEntries(QStringList folders = defaultFolders(), QString locale = QString());

    // The localised name of the window's application; the capitalised window class when no entry
    // matches; empty when the window tells nothing.
    QString displayName(const ActiveWindow &window);

    // The program file name the process runs ("firefox-esr" for /usr/lib/firefox-esr/firefox-esr),
    // empty when unknown.
    static QString programOf(qint64 pid);

    // Parses one desktop file; false when it is not a visible application entry.
    static bool parse(const QString &path, const QString &id, const QString &locale, Entry *entry);

private:
    void load();
    const Entry *match(const ActiveWindow &window) const;

    QStringList m_folders;
    QString m_locale;
    QList<Entry> m_entries;
    QDateTime m_loadedAt;
};
