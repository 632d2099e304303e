// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/RetentionService.h"

#include "app/AppSettings.h"
#include "library/ScreenshotIndex.h"
#include "platform/FileSystem.h"
#include "platform/Log.h"

#include <QDir>
#include <QFileInfo>
#include <QtConcurrent>

namespace {

constexpr qint64 kSecondsPerDay = 86400;

QString fileName(const QString &path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString parentOf(const QString &path)
{
    return path.left(path.lastIndexOf(QLatin1Char('/')));
}

// The archive must stay inside the library: a symbolic link at any folder between the
// root and the destination would carry the file elsewhere.
std::optional<QString> linkOnTheWay(const QString &root, const QString &folder)
{
    QString current = root;
    const QStringList parts = folder.mid(root.size() + 1).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        current += QLatin1Char('/') + part;
        if (QFileInfo(current).isSymLink()) {
            return QStringLiteral("%1 is a symbolic link").arg(current);
        }
    }
    return std::nullopt;
}

} // namespace

const QStringList &RetentionService::imageExtensions()
{
    static const QStringList extensions = {QStringLiteral("png"), QStringLiteral("jpg"), QStringLiteral("jpeg"),
                                           QStringLiteral("tiff"), QStringLiteral("heic"), QStringLiteral("gif"),
                                           QStringLiteral("webp")};
    return extensions;
}

bool RetentionService::isImagePath(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot <= slash + 1) { // no extension, or a name that is only ".ext"
        return false;
    }
    const QStringView extension = QStringView(path).mid(dot + 1);
    for (const QString &known : imageExtensions()) {
        if (extension.compare(known, Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

std::optional<RetentionService::Config> RetentionService::configFrom(const AppSettings &settings)
{
    if (!settings.retentionEnabled() || settings.retentionDays() <= 0) {
        return std::nullopt;
    }
    Config config;
    config.root = settings.libraryRoot();
    config.days = settings.retentionDays();
    config.archive = settings.retentionAction() == QLatin1String("archive");
    return config;
}

QFuture<void> RetentionService::runIfEnabled(const AppSettings &settings, ScreenshotIndex &index)
{
    const std::optional<Config> config = configFrom(settings);
    if (!config) {
        return QtFuture::makeReadyFuture();
    }
    return QtConcurrent::run([c = *config] { return collectExpired(c); })
        .then(&index, [c = *config, target = &index](const Moves &moves) {
            if (!moves.isEmpty()) {
                applyToIndex(moves, c, *target);
            }
        });
}

RetentionService::Moves RetentionService::collectExpired(const Config &config, const QDateTime &now)
{
    Moves moves;
    const QString root = QDir::cleanPath(config.root);
    if (root.isEmpty() || root == QLatin1String("/") || config.days <= 0) {
        return moves;
    }
    const QDateTime cutoff = now.addSecs(-config.days * kSecondsPerDay);
    const QString archiveRoot = root + QStringLiteral("/Archive");
    const QString prefix = root + QLatin1Char('/');

    FileSystem::walk(root, [&](const FileSystem::WalkItem &item) {
        if (!item.path.startsWith(prefix)) {
            return false;
        }
        if (item.isDirectory) {
            // Files already archived stay out of later runs; an "Archive" deeper down is
            // an ordinary folder.
            return item.path != archiveRoot;
        }
        if (item.path.startsWith(archiveRoot + QLatin1Char('/')) || !isImagePath(item.path)) {
            return true;
        }
        if (!item.created.isValid() || !(item.created < cutoff)) {
            return true;
        }
        // A link is never moved or trashed, whatever it points to.
        if (QFileInfo(item.path).isSymLink()) {
            return true;
        }
        if (config.archive) {
            const QString destination = archiveRoot + QLatin1Char('/') + item.path.mid(prefix.size());
            const QString folder = parentOf(destination);
            if (const auto link = linkOnTheWay(root, folder)) {
                Log::line(QStringLiteral("Failed to archive ") + fileName(item.path) + QStringLiteral(": ") + *link);
                return true;
            }
            Status status = FileSystem::createFolder(folder);
            if (status) {
                status = FileSystem::move(item.path, destination);
            }
            if (!status) {
                Log::line(QStringLiteral("Failed to archive ") + fileName(item.path) + QStringLiteral(": ")
                          + status.error());
                return true;
            }
            moves.append({item.path, destination});
        } else {
            const auto trashed = FileSystem::moveToTrash(item.path);
            if (!trashed) {
                Log::line(QStringLiteral("Failed to trash ") + fileName(item.path) + QStringLiteral(": ")
                          + trashed.error());
                return true;
            }
            moves.append({item.path, std::nullopt});
        }
        return true;
    });
    return moves;
}

void RetentionService::applyToIndex(const Moves &moves, const Config &config, ScreenshotIndex &index)
{
    for (const Move &move : moves) {
        std::optional<ScreenshotIndexEntry> entry = index.remove(move.from);
        if (!entry) {
            continue;
        }
        if (move.to) {
            entry->path = *move.to;
            index.insert(*entry);
        }
        index.scheduleSave();
    }
    Log::line(QStringLiteral("Retention %1 %2 screenshot(s)")
                  .arg(config.archive ? QStringLiteral("archived") : QStringLiteral("trashed"))
                  .arg(moves.size()));
}
