// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

#include <unicode/uversion.h>

U_NAMESPACE_BEGIN
class RegexPattern;
U_NAMESPACE_END

// Tells screenshot names from other names: the generic "Screenshot <date> <time>" pattern and
// the names the Linux desktops' screenshot tools write (GNOME Shell, gnome-screenshot, KDE
// Spectacle, Xfce), also in the user's languages where a tool's message catalogue is installed. A name matches when
// one pattern matches it as a whole, case-insensitively, after both are put in Unicode NFC.
// Once made, a matcher may be used from any thread.
class ScreenshotNameMatcher
{
public:
    // Reads the installed catalogues for the user's languages as the environment names them now.
    ScreenshotNameMatcher();
    ~ScreenshotNameMatcher();
    ScreenshotNameMatcher(const ScreenshotNameMatcher &) = delete;
    ScreenshotNameMatcher &operator=(const ScreenshotNameMatcher &) = delete;

    // The process-wide matcher, made on first use.
    static const ScreenshotNameMatcher &shared();

    bool matches(const QString &name) const;

    // The regular expressions in use, in table order, without duplicates.
    const QStringList &patterns() const { return m_sources; }

private:
    QStringList m_sources;
    std::vector<std::unique_ptr<icu::RegexPattern>> m_patterns;
};
