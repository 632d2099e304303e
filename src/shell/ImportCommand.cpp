// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/Commands.h"

#include "app/AppSettings.h"
#include "capture/CaptureOrganizer.h"
#include "capture/ImportProgress.h"
#include "capture/ScreenshotImporter.h"
#include "library/ScreenshotIndex.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace Commands {

namespace {

std::atomic<bool> g_interrupted{false};

extern "C" void onInterrupt(int)
{
    g_interrupted.store(true);
    // A second Ctrl-C ends the process at once.
    std::signal(SIGINT, SIG_DFL);
}

int usage(const char *problem)
{
    std::fprintf(stderr, "pictrove: %s\nUsage: pictrove import [--app NAME] [--all-images] PATH...\n", problem);
    return 2;
}

} // namespace

int import(const QStringList &args)
{
    ScreenshotImporter::Options options;
    QStringList paths;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (optionsEnded || !a.startsWith(QLatin1String("--"))) {
            paths << a;
        } else if (a == QLatin1String("--")) {
            optionsEnded = true;
        } else if (a == QLatin1String("--all-images")) {
            options.allImages = true;
        } else if (a == QLatin1String("--app")) {
            if (i + 1 >= args.size()) {
                return usage("missing name after --app");
            }
            options.appName = args[++i];
        } else if (a.startsWith(QLatin1String("--app="))) {
            options.appName = a.mid(6);
        } else {
            return usage(qPrintable(QStringLiteral("unknown option %1").arg(a)));
        }
    }
    if (paths.isEmpty()) {
        return usage("nothing to import");
    }

    AppSettings &settings = AppSettings::shared();
    ScreenshotIndex &index = ScreenshotIndex::shared();
    CaptureOrganizer organizer(settings, index);
    ScreenshotImporter importer(organizer, index, settings.libraryRoot());
    importer.setStopRequested([] { return g_interrupted.load(); });

    std::signal(SIGINT, onInterrupt);
    ImportProgress progress(stderr, ::isatty(::fileno(stderr)) == 1);
    const ImportProgress::Summary summary = importer.run(paths, options, progress);
    std::signal(SIGINT, SIG_DFL);

    if (summary.stopped) {
        return 130;
    }
    return summary.failed > 0 ? 1 : 0;
}

} // namespace Commands
