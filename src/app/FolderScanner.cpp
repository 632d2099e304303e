// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FolderScanner.h"

#include "app/ScreenshotNames.h"
#include "platform/FileSystem.h"

#include <utility>

FolderScanner::FolderScanner(QString directory, QSet<QString> knownFiles)
    : FolderScanner(std::move(directory), std::move(knownFiles), Timing())
{
}

FolderScanner::FolderScanner(QString directory, QSet<QString> knownFiles, Timing timing)
    : m_directory(std::move(directory)), m_timing(timing), m_known(std::move(knownFiles))
{
}

void FolderScanner::note(const FolderEvents::Event &event)
{
    switch (event.kind) {
    case FolderEvents::Kind::added:
        if (event.movedIn) {
            m_finishedSize.insert(event.name, FolderEvents::inspect(m_directory + QLatin1Char('/') + event.name).size);
        } else {
            m_finishedSize.remove(event.name);
        }
        break;
    case FolderEvents::Kind::closedAfterWrite:
        m_finishedSize.insert(event.name, FolderEvents::inspect(m_directory + QLatin1Char('/') + event.name).size);
        break;
    case FolderEvents::Kind::removed:
        m_finishedSize.remove(event.name);
        break;
    case FolderEvents::Kind::overflow:
        break;
    }
}

QSet<QString> FolderScanner::newNames(const QSet<QString> &current, const QSet<QString> &known)
{
    QSet<QString> fresh;
    for (const QString &name : current) {
        if (!known.contains(name)) {
            fresh.insert(name);
        }
    }
    return fresh;
}

FolderScanner::Verdict FolderScanner::examine(const QString &name, Pending &state, Clock::time_point now) const
{
    const QString path = m_directory + QLatin1Char('/') + name;
    const FolderEvents::Entry entry = FolderEvents::inspect(path);
    if (!entry.exists) {
        // Gone for now: the next listing decides whether it is forgotten.
        return Verdict::wait;
    }
    // A link would file whatever it points to; a folder is no capture.
    if (!entry.regularFile) {
        return Verdict::skip;
    }
    if (entry.size != state.size) {
        state.size = entry.size;
        state.sizeSince = now;
    }
    if (entry.size == 0) {
        return now - state.firstSeen >= m_timing.emptyLimit ? Verdict::skip : Verdict::wait;
    }
    const auto finished = m_finishedSize.constFind(name);
    if (finished != m_finishedSize.cend() && *finished == entry.size) {
        return Verdict::report;
    }
    const auto steady = now - state.sizeSince;
    if (steady >= m_timing.markerStable && FolderEvents::hasImageEnd(path)) {
        return Verdict::report;
    }
    if (steady >= m_timing.stable) {
        return Verdict::report;
    }
    return Verdict::wait;
}

QStringList FolderScanner::scan(Clock::time_point now)
{
    Result<QSet<QString>> listing = FileSystem::listEntryNames(m_directory);
    QSet<QString> current = listing.ok() ? std::move(listing.value()) : QSet<QString>();
    const QSet<QString> fresh = newNames(current, m_known);
    m_known = std::move(current);

    for (auto it = m_pending.begin(); it != m_pending.end();) {
        it = m_known.contains(it.key()) ? std::next(it) : m_pending.erase(it);
    }
    QStringList complete;
    for (const QString &name : fresh) {
        if (!ScreenshotNames::isScreenshotName(name)) {
            continue;
        }
        Pending state{0, now, now};
        switch (examine(name, state, now)) {
        case Verdict::report:
            complete << name;
            break;
        case Verdict::wait:
            m_pending.insert(name, state);
            break;
        case Verdict::skip:
            break;
        }
    }
    // What the events said matters only for files still to be decided on.
    for (auto it = m_finishedSize.begin(); it != m_finishedSize.end();) {
        it = m_pending.contains(it.key()) ? std::next(it) : m_finishedSize.erase(it);
    }
    return complete;
}

QStringList FolderScanner::recheck(Clock::time_point now)
{
    QStringList complete;
    for (auto it = m_pending.begin(); it != m_pending.end();) {
        switch (examine(it.key(), it.value(), now)) {
        case Verdict::report:
            complete << it.key();
            m_finishedSize.remove(it.key());
            it = m_pending.erase(it);
            break;
        case Verdict::skip:
            m_finishedSize.remove(it.key());
            it = m_pending.erase(it);
            break;
        case Verdict::wait:
            ++it;
            break;
        }
    }
    return complete;
}
