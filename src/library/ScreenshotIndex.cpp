// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/ScreenshotIndex.h"

#include "library/ScreenshotIndexCodec.h"
#include "platform/FileSystem.h"
#include "platform/Log.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QtConcurrent>

#include <ctime>

namespace {

// The debounce counts on the clock that keeps running while the computer sleeps.
qint64 bootClockNanos()
{
    timespec ts {};
    clock_gettime(CLOCK_BOOTTIME, &ts);
    return qint64(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

constexpr qint64 kSaveDelayNanos = 1000000000LL;

} // namespace

ScreenshotIndex &ScreenshotIndex::shared()
{
    // Never destroyed while the application runs; a pending save is written at quit.
    static ScreenshotIndex *instance = [] {
        auto *index = new ScreenshotIndex(indexFileURL());
        if (QCoreApplication *app = QCoreApplication::instance()) {
            QObject::connect(app, &QCoreApplication::aboutToQuit, index, &ScreenshotIndex::flush);
        }
        return index;
    }();
    return *instance;
}

QString ScreenshotIndex::indexFileURL()
{
    return FileSystem::applicationDataFolder() + QStringLiteral("/index.json");
}

ScreenshotIndex::ScreenshotIndex(const QString &filePath, QObject *parent)
    : QObject(parent)
    , m_filePath(filePath)
{
    m_saveTimer.setSingleShot(true);
    m_saveTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_saveTimer, &QTimer::timeout, this, &ScreenshotIndex::onSaveTimer);
    load();
}

ScreenshotIndex::~ScreenshotIndex()
{
    flush();
}

ScreenshotIndex::Entries ScreenshotIndex::readEntries(const QString &filePath, bool *undecodable)
{
    if (undecodable) {
        *undecodable = false;
    }
    if (!FileSystem::exists(filePath)) {
        return {};
    }
    Result<QByteArray> bytes = FileSystem::readFile(filePath);
    std::optional<Entries> decoded;
    if (bytes.ok()) {
        // Handed over, not shared: the decoder works in place on these bytes.
        decoded = ScreenshotIndexCodec::decode(std::move(bytes.value()));
    }
    if (!decoded) {
        if (undecodable) {
            *undecodable = true;
        }
        return {};
    }
    return std::move(*decoded);
}

ScreenshotIndex::Entries ScreenshotIndex::loadEntries(const QString &filePath, bool *undecodable, qsizetype *dropped)
{
    Entries entries = readEntries(filePath, undecodable);
    // One existence check per entry dominates a large load; spread them over the cores.
    const QStringList vanished = QtConcurrent::blockingFiltered(entries.keys(), [](const QString &path) {
        return !FileSystem::exists(path);
    });
    for (const QString &path : vanished) {
        entries.remove(path);
    }
    if (dropped) {
        *dropped = vanished.size();
    }
    return entries;
}

void ScreenshotIndex::load()
{
    bool undecodable = false;
    qsizetype dropped = 0;
    m_entries = loadEntries(m_filePath, &undecodable, &dropped);
    // The index starts empty then, but the file may hold every tag and recognised text of
    // the library: keep it aside instead of letting the next save overwrite it.
    m_keepAsideBeforeSave = undecodable;
    if (dropped > 0) {
        scheduleSave();
    }
}

std::optional<ScreenshotIndexEntry> ScreenshotIndex::entry(const QString &path) const
{
    const auto it = m_entries.constFind(path);
    if (it == m_entries.cend()) {
        return std::nullopt;
    }
    return *it;
}

void ScreenshotIndex::insert(const ScreenshotIndexEntry &entry)
{
    emit aboutToChange();
    m_entries.insert(entry.path, entry);
    emit changed({entry.path});
}

std::optional<ScreenshotIndexEntry> ScreenshotIndex::remove(const QString &path)
{
    const auto it = m_entries.constFind(path);
    if (it == m_entries.cend()) {
        return std::nullopt;
    }
    emit aboutToChange();
    std::optional<ScreenshotIndexEntry> removed = m_entries.take(path);
    emit changed({path});
    return removed;
}

std::optional<ScreenshotIndexEntry> ScreenshotIndex::findDuplicate(const QString &contentHash,
                                                                   const QString &excludedPath) const
{
    for (const ScreenshotIndexEntry &e : m_entries) {
        if (!e.contentHash || *e.contentHash != contentHash || e.path == excludedPath) {
            continue;
        }
        if (FileSystem::exists(e.path)) {
            return e;
        }
    }
    return std::nullopt;
}

void ScreenshotIndex::updateScanResult(const QString &path, const QString &ocrText, const QList<QRectF> &rects)
{
    const auto found = m_entries.constFind(path);
    if (found == m_entries.cend()) {
        return;
    }
    emit aboutToChange();
    ScreenshotIndexEntry &e = m_entries[path];
    e.ocrText = ocrText;
    e.piiRects = rects;
    emit changed({path});
    scheduleSave();
}

void ScreenshotIndex::updateTags(const QString &path, const QStringList &tags)
{
    const auto found = m_entries.constFind(path);
    if (found == m_entries.cend()) {
        return;
    }
    emit aboutToChange();
    m_entries[path].tags = tags;
    emit changed({path});
    scheduleSave();
}

void ScreenshotIndex::scheduleSave()
{
    // A burst moves the deadline only; the timer, once running, re-arms itself for the
    // remainder, so each call costs a clock read.
    m_saveDeadline = bootClockNanos() + kSaveDelayNanos;
    if (!m_saveTimer.isActive()) {
        m_saveTimer.start(int(kSaveDelayNanos / 1000000));
    }
}

void ScreenshotIndex::onSaveTimer()
{
    if (m_saveDeadline == 0) {
        return;
    }
    const qint64 remaining = m_saveDeadline - bootClockNanos();
    if (remaining > 0) {
        m_saveTimer.start(int((remaining + 999999) / 1000000));
        return;
    }
    m_saveDeadline = 0;
    save();
}

void ScreenshotIndex::flush()
{
    if (!hasPendingSave()) {
        return;
    }
    m_saveTimer.stop();
    m_saveDeadline = 0;
    save();
}

bool ScreenshotIndex::save()
{
    const QByteArray bytes = ScreenshotIndexCodec::encode(m_entries);
    const Status folder = FileSystem::createFolder(QFileInfo(m_filePath).absolutePath());
    if (!folder) {
        Log::line(QStringLiteral("Failed to save index: ") + folder.error());
        emit saved(false);
        return false;
    }
    if (m_keepAsideBeforeSave) {
        if (FileSystem::exists(m_filePath)) {
            const QString aside = m_filePath + QStringLiteral(".corrupt-")
                + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
            const Status moved = FileSystem::move(m_filePath, aside);
            if (!moved) {
                Log::line(QStringLiteral("Failed to save index: could not keep the unreadable index aside: ")
                          + moved.error());
                emit saved(false);
                return false;
            }
            Log::line(QStringLiteral("The index file could not be read; kept it as ") + aside);
        }
        m_keepAsideBeforeSave = false;
    }
    const Status written = FileSystem::writeFile(m_filePath, bytes, true);
    if (!written) {
        Log::line(QStringLiteral("Failed to save index: ") + written.error());
        emit saved(false);
        return false;
    }
    emit saved(true);
    return true;
}
