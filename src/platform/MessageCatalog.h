// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Reads the desktop tools' installed gettext catalogues (.mo files), so that names and folders
// those tools translate can be recognised in the user's languages.
namespace MessageCatalog {

// The user's languages in order of preference, each followed by its more general forms:
// "de_DE.UTF-8@euro" gives "de_DE@euro", "de_DE", "de@euro", "de". Taken from LANGUAGE, then
// the first of LC_ALL, LC_MESSAGES, LANG; "C" and "POSIX" are left out.
QStringList userLanguages();

// Every distinct translation of msgid in the text domain, one per user language whose catalogue
// is installed (under each $XDG_DATA_DIRS entry's locale/<lang>/LC_MESSAGES/<domain>.mo),
// most preferred first. Empty when none is installed or none translates msgid.
QStringList translations(const QString &domain, const QByteArray &msgid);

// The translation of msgid in one .mo file, or a null string.
QString lookup(const QString &moFile, const QByteArray &msgid);

} // namespace MessageCatalog
