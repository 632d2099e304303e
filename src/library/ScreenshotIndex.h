// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "library/ScreenshotIndexEntry.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QTimer>

#include <optional>

// The persistent catalogue of the library: one entry per filed screenshot, keyed by its
// absolute path, kept in index.json. Main thread only. Every change of the entries is
// announced with aboutToChange() before and changed() after it.
class ScreenshotIndex : public QObject
{
    Q_OBJECT

public:
    using Entries = QHash<QString, ScreenshotIndexEntry>;

    // The process-wide index, loaded from indexFileURL() on first use. A pending save is
    // written when the application quits.
    static ScreenshotIndex &shared();

    // $XDG_DATA_HOME/Pictrove/index.json
    static QString indexFileURL();

    // Loads the index kept at filePath (a missing file gives an empty index).
    explicit ScreenshotIndex(const QString &filePath, QObject *parent = nullptr);
    ~ScreenshotIndex() override;

    QString filePath() const { return m_filePath; }

    // Reads the index kept at filePath without keeping it: the entries whose files still
    // exist. Empty when the file is missing; `undecodable` tells a file that exists but
    // cannot be read or decoded; `dropped` counts the entries of vanished files.
    static Entries loadEntries(const QString &filePath, bool *undecodable = nullptr, qsizetype *dropped = nullptr);
    // The same without the existence checks, for readers that check only what they use.
    static Entries readEntries(const QString &filePath, bool *undecodable = nullptr);

    const Entries &entries() const { return m_entries; }
    std::optional<ScreenshotIndexEntry> entry(const QString &path) const;
    bool contains(const QString &path) const { return m_entries.contains(path); }

    // Direct changes; each caller calls scheduleSave() afterwards.
    void insert(const ScreenshotIndexEntry &entry); // stored under entry.path
    std::optional<ScreenshotIndexEntry> remove(const QString &path);

    // Another entry with this hash whose file still exists, or none.
    std::optional<ScreenshotIndexEntry> findDuplicate(const QString &contentHash, const QString &excludedPath) const;

    // Replace the named fields of the entry under path and schedule a save; nothing when
    // there is no such entry.
    void updateScanResult(const QString &path, const QString &ocrText, const QList<QRectF> &rects);
    void updateTags(const QString &path, const QStringList &tags);

    // Writes the file one second after the last call of a burst.
    void scheduleSave();
    bool hasPendingSave() const { return m_saveDeadline != 0; }
    // Writes a pending save now (used at quit and by commands that end without an event loop).
    void flush();
    // Writes the file now. False (and one log line) on failure; memory stays authoritative.
    bool save();

signals:
    void aboutToChange();
    // The paths whose entries were inserted, replaced or removed; all paths after a load.
    void changed(const QStringList &paths);
    // After every write attempt.
    void saved(bool ok);

private:
    void load();
    void onSaveTimer();

    QString m_filePath;
    Entries m_entries;
    QTimer m_saveTimer;
    qint64 m_saveDeadline = 0; // boot-clock nanoseconds; 0 when no save is pending
    bool m_keepAsideBeforeSave = false;
};
