// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/Commands.h"
#include "shell/WindowCommand.h"

#include "annotation/ScreenshotImage.h"
#include "platform/NotificationCenter.h"

#include <QFileInfo>
#include <QUrl>

#include <cstdio>

namespace Commands {

int annotate(const QStringList &args)
{
    if (args.size() == 1 && (args[0] == QLatin1String("-h") || args[0] == QLatin1String("--help"))) {
        std::fputs("Usage: pictrove annotate IMAGE\n", stdout);
        return 0;
    }
    if (args.size() != 1 || args[0].isEmpty()) {
        std::fputs("pictrove: annotate takes one image\nUsage: pictrove annotate IMAGE\n", stderr);
        return 2;
    }
    const QFileInfo file(args[0]);
    if (!file.isFile()) {
        std::fprintf(stderr, "pictrove: cannot read %s: no such file\n", args[0].toLocal8Bit().constData());
        return 1;
    }
    // Check the image here: the editor of a running Pictrove cannot report a bad file back.
    QString error;
    if (ScreenshotImage::load(file.absoluteFilePath(), &error).isNull()) {
        std::fprintf(stderr, "pictrove: cannot read %s: %s\n", args[0].toLocal8Bit().constData(),
                     error.toLocal8Bit().constData());
        return 1;
    }
    return WindowCommand::open(NotificationCenter::openAnnotationEditor,
                               {{QStringLiteral("url"), QUrl::fromLocalFile(file.absoluteFilePath())}});
}

} // namespace Commands
