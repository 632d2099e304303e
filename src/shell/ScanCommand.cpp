// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/Commands.h"
#include "shell/TypesOption.h"

#include "app/AppSettings.h"
#include "privacy/PIIDetector.h"
#include "privacy/ScanJson.h"

#include <QImage>
#include <QImageReader>

#include <cstdio>

namespace Commands {

namespace {

void printLine(const QByteArray &json)
{
    std::fwrite(json.constData(), 1, size_t(json.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace

// Scans each image and prints one JSON line per image, in argument order.
int scan(const QStringList &args)
{
    PIITypes types = AppSettings::shared().enabledPIITypes();
    bool includeText = false;
    QStringList images;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        QString optionError;
        const TypesOption::Outcome option = TypesOption::take(args, i, &types, &optionError);
        if (option == TypesOption::Outcome::Error) {
            std::fprintf(stderr, "pictrove scan: %s\n", optionError.toLocal8Bit().constData());
            return 2;
        }
        if (option == TypesOption::Outcome::Taken) {
            continue;
        }
        if (a == QLatin1String("--text")) {
            includeText = true;
        } else if (a == QLatin1String("--")) {
            images << args.mid(i + 1);
            break;
        } else if (a.startsWith(QLatin1String("--"))) {
            std::fprintf(stderr, "pictrove scan: unknown option \"%s\"\n", a.toLocal8Bit().constData());
            return 2;
        } else {
            images << a;
        }
    }
    if (images.isEmpty()) {
        std::fputs("usage: pictrove scan [--types LIST | --all] [--text] IMAGE...\n", stderr);
        return 2;
    }

    int status = 0;
    for (const QString &path : images) {
        QImageReader reader(path);
        reader.setAutoTransform(true);
        const QImage image = reader.read();
        if (image.isNull()) {
            printLine(ScanJson::error(QStringLiteral("cannot read %1: %2").arg(path, reader.errorString())));
            status = 1;
            continue;
        }
        printLine(ScanJson::scanResult(PIIDetector::scanNow(image, types, includeText)));
    }
    return status;
}

} // namespace Commands
