// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/Commands.h"

#include "library/ScreenshotIndex.h"
#include "platform/FileSystem.h"
#include "platform/NotificationCenter.h"
#include "shell/WindowCommand.h"
#include "tags/FavoriteTags.h"
#include "tags/FileTags.h"
#include "tags/TagLists.h"

#include <QFileInfo>
#include <QImageReader>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <optional>

namespace Commands {

namespace {

const char *const kUsage = "usage: pictrove tag FILE [NAME... | --add NAME | --remove NAME]\n"
                           "       pictrove tag --dialog FILE\n";

int fail(const QString &message)
{
    std::fputs(("pictrove: " + message + "\n").toUtf8().constData(), stderr);
    return 1;
}

struct Change
{
    enum Kind { Add, Remove } kind;
    QString name;
};

struct Request
{
    QString file;
    std::optional<QStringList> replacement; // NAME...
    QList<Change> changes;                   // --add / --remove, in order
};

std::optional<Request> parse(const QStringList &args, QString *error)
{
    Request request;
    QStringList positional;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (!optionsEnded && arg == QLatin1String("--")) {
            optionsEnded = true;
        } else if (!optionsEnded && (arg == QLatin1String("--add") || arg == QLatin1String("--remove"))) {
            if (i + 1 >= args.size()) {
                *error = arg + QStringLiteral(" needs a tag name");
                return std::nullopt;
            }
            request.changes.append({arg == QLatin1String("--add") ? Change::Add : Change::Remove, args.at(++i)});
        } else if (!optionsEnded && arg.startsWith(QLatin1Char('-')) && arg.size() > 1) {
            *error = QStringLiteral("unknown option %1").arg(arg);
            return std::nullopt;
        } else {
            positional << arg;
        }
    }
    if (positional.isEmpty()) {
        *error = QStringLiteral("no file given");
        return std::nullopt;
    }
    request.file = positional.takeFirst();
    if (!positional.isEmpty()) {
        if (!request.changes.isEmpty()) {
            *error = QStringLiteral("give either the new tag names or --add/--remove, not both");
            return std::nullopt;
        }
        request.replacement = positional;
    }
    return request;
}

// The colour a name already has in the recent, favourite or file-manager lists, so that
// tagging from here keeps the colour the dialog would show.
qint64 knownColor(const TagLists &lists, const QString &name)
{
    for (const QList<TagItem> &source : {lists.recentTags(), lists.favoriteTags(), FavoriteTags::finderFavoriteTags()}) {
        for (const TagItem &tag : source) {
            if (sameTagName(tag.name, name)) {
                return tag.colorIndex;
            }
        }
    }
    return 0;
}

// The index keys entries by the path the file was filed under.
std::optional<QString> indexedPath(const ScreenshotIndex &index, const QString &file)
{
    const QFileInfo info(file);
    for (const QString &path : {info.absoluteFilePath(), info.canonicalFilePath()}) {
        if (!path.isEmpty() && index.contains(path)) {
            return path;
        }
    }
    return std::nullopt;
}

// pictrove tag --dialog FILE: the tag dialog for any image, in the running Pictrove if there is one.
int tagDialog(const QStringList &args)
{
    QStringList files = args;
    files.removeAll(QStringLiteral("--dialog"));
    if (files.size() != 1 || (files.first().startsWith(QLatin1Char('-')) && files.first().size() > 1)) {
        std::fputs(kUsage, stderr);
        return 1;
    }
    const QString path = QFileInfo(files.first()).absoluteFilePath();
    if (!FileSystem::exists(path)) {
        return fail(QStringLiteral("%1: no such file").arg(files.first()));
    }
    QImageReader reader(path);
    if (!reader.canRead()) {
        return fail(QStringLiteral("%1: not an image that can be read").arg(files.first()));
    }
    // A string, not a QUrl: the request may travel over D-Bus.
    return WindowCommand::open(NotificationCenter::openTagDialog,
                               {{QStringLiteral("url"), QUrl::fromLocalFile(path).toString()}});
}

} // namespace

int tag(const QStringList &args)
{
    if (args.contains(QLatin1String("--dialog"))) {
        return tagDialog(args);
    }
    QString error;
    const std::optional<Request> request = parse(args, &error);
    if (!request) {
        fail(error);
        std::fputs(kUsage, stderr);
        return 1;
    }
    const QString path = QFileInfo(request->file).absoluteFilePath();
    if (!FileSystem::exists(path)) {
        return fail(QStringLiteral("%1: no such file").arg(request->file));
    }

    QStringList names;
    QStringList applied; // the names that go to the recent list, in the order applied
    if (request->replacement) {
        names = *request->replacement;
        applied = names;
    } else {
        const Result<QStringList> current = FileTags::tryReadTags(path);
        if (!current) {
            return fail(QStringLiteral("cannot read the tags of %1: %2").arg(request->file, current.error()));
        }
        if (request->changes.isEmpty()) {
            for (const QString &name : current.value()) {
                std::fputs((name + "\n").toUtf8().constData(), stdout);
            }
            return 0;
        }
        names = current.value();
        for (const Change &change : request->changes) {
            const auto same = [&](const QString &name) { return sameTagName(name, change.name); };
            if (change.kind == Change::Add) {
                if (std::none_of(names.cbegin(), names.cend(), same)) {
                    names << change.name;
                }
                applied.removeIf(same);
                applied << change.name;
            } else {
                names.removeIf(same);
                applied.removeIf(same);
            }
        }
    }

    const Status written = FileTags::tryWriteTags(path, names);
    if (!written) {
        return fail(QStringLiteral("cannot set the tags of %1: %2").arg(request->file, written.error()));
    }

    ScreenshotIndex &index = ScreenshotIndex::shared();
    if (const std::optional<QString> key = indexedPath(index, path)) {
        bool saved = true;
        const QMetaObject::Connection watch =
            QObject::connect(&index, &ScreenshotIndex::saved, &index, [&saved](bool ok) { saved = ok; });
        index.updateTags(*key, names);
        // No event loop runs here to fire the debounced save.
        index.flush();
        QObject::disconnect(watch);
        if (!saved) {
            return fail(QStringLiteral("the tags were set on the file but the index could not be saved"));
        }
    }

    TagLists lists;
    for (const QString &name : std::as_const(applied)) {
        lists.addRecentTag(TagItem::create(name, knownColor(lists, name)));
    }
    return 0;
}

} // namespace Commands
