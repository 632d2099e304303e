// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/Commands.h"

#include "library/LibrarySearch.h"
#include "library/ScreenshotIndex.h"
#include "platform/FileSystem.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

namespace Commands {

namespace {

int usage(const char *problem)
{
    std::fprintf(stderr, "pictrove: %s\nUsage: pictrove search [--app NAME] [--tag NAME] [--json] QUERY\n", problem);
    return 2;
}

QByteArray jsonLine(const ScreenshotIndexEntry &e)
{
    QJsonObject o;
    o.insert(QStringLiteral("path"), e.path);
    o.insert(QStringLiteral("appName"), e.appName);
    // Local time with its offset, so the line stands on its own.
    const QDateTime local = e.timestamp.toLocalTime();
    o.insert(QStringLiteral("timestamp"), local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODateWithMs));
    o.insert(QStringLiteral("tags"), QJsonArray::fromStringList(e.tags));
    o.insert(QStringLiteral("hasPII"), !e.piiRects.isEmpty());
    if (e.contentHash) {
        o.insert(QStringLiteral("contentHash"), *e.contentHash);
    }
    return QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n';
}

QByteArray textLine(const ScreenshotIndexEntry &e)
{
    return (e.path + QLatin1Char('\t') + e.appName + QLatin1Char('\t')
            + e.timestamp.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + QLatin1Char('\n'))
        .toUtf8();
}

} // namespace

int search(const QStringList &args)
{
    LibrarySearch::Filter filter;
    bool json = false;
    QStringList words;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (optionsEnded || !a.startsWith(QLatin1String("--"))) {
            words << a;
        } else if (a == QLatin1String("--")) {
            optionsEnded = true;
        } else if (a == QLatin1String("--json")) {
            json = true;
        } else if (a == QLatin1String("--app") || a == QLatin1String("--tag")) {
            if (i + 1 >= args.size()) {
                return usage("missing name after --app or --tag");
            }
            (a == QLatin1String("--app") ? filter.app : filter.tag) = args[++i];
        } else if (a.startsWith(QLatin1String("--app="))) {
            filter.app = a.mid(6);
        } else if (a.startsWith(QLatin1String("--tag="))) {
            filter.tag = a.mid(6);
        } else {
            return usage(qPrintable(QStringLiteral("unknown option %1").arg(a)));
        }
    }
    filter.query = words.join(QLatin1Char(' '));

    // Read only: the command never writes the index. Like the gallery it lists only files
    // that exist, but it asks the file system about the matches alone.
    QList<ScreenshotIndexEntry> found =
        LibrarySearch::search(ScreenshotIndex::readEntries(ScreenshotIndex::indexFileURL()), filter);
    found.removeIf([](const ScreenshotIndexEntry &e) { return !FileSystem::exists(e.path); });
    QByteArray out;
    for (const ScreenshotIndexEntry &e : found) {
        out += json ? jsonLine(e) : textLine(e);
        if (out.size() > (1 << 16)) {
            std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
            out.clear();
        }
    }
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    std::fflush(stdout);
    return found.isEmpty() ? 1 : 0;
}

} // namespace Commands
