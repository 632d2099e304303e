// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QString>

#include <cstdio>

// Progress of an import on standard error: a bar with count and rate on a terminal, one
// line per file otherwise, and a summary at the end.
class ImportProgress
{
public:
    enum class Result { Filed, Duplicate, Failed };

    struct Summary
    {
        int filed = 0;
        int duplicates = 0;
        int failed = 0;
        int total = 0;
        bool stopped = false;
    };

    ImportProgress(FILE *out, bool terminal);

    void start(int total);
    // detail: the new path, the earlier copy, or the error.
    void item(Result result, const QString &source, const QString &detail);
    void finish(bool stopped);

    const Summary &summary() const { return m_summary; }

private:
    void write(const QString &text);
    void drawBar(const QString &current);

    FILE *m_out;
    bool m_terminal;
    Summary m_summary;
    QElapsedTimer m_clock;
};
