// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/Commands.h"
#include "shell/TypesOption.h"

#include "annotation/AnnotatedCopy.h"
#include "annotation/RedactionMarks.h"
#include "annotation/ScreenshotImage.h"
#include "app/AppSettings.h"
#include "privacy/PIIDetector.h"

#include <cstdio>
#include <optional>

namespace Commands {

namespace {

constexpr const char *kUsage =
    "Usage: pictrove redact IMAGE [--style blur|black] [--types LIST | --all] [-o OUTPUT]\n"
    "LIST is a comma-separated list of emails,ips,apiKeys,phones,creditCards,addresses,faces.\n";

void printError(const QString &message)
{
    std::fprintf(stderr, "pictrove: %s\n", message.toLocal8Bit().constData());
}

int usageError(const QString &message)
{
    printError(message);
    std::fputs(kUsage, stderr);
    return 2;
}

} // namespace

int redact(const QStringList &args)
{
    QString imagePath;
    QString outputPath;
    std::optional<QString> style;
    std::optional<PIITypes> types;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        const auto value = [&]() -> std::optional<QString> {
            if (i + 1 >= args.size()) {
                return std::nullopt;
            }
            return args[++i];
        };
        PIITypes parsed;
        QString optionError;
        const TypesOption::Outcome option = TypesOption::take(args, i, &parsed, &optionError);
        if (option == TypesOption::Outcome::Error) {
            return usageError(optionError);
        }
        if (option == TypesOption::Outcome::Taken) {
            types = parsed;
            continue;
        }
        if (arg == QLatin1String("-h") || arg == QLatin1String("--help")) {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg == QLatin1String("--style")) {
            style = value();
            if (!style || (*style != QLatin1String("blur") && *style != QLatin1String("black"))) {
                return usageError(QStringLiteral("--style takes blur or black"));
            }
        } else if (arg == QLatin1String("-o") || arg == QLatin1String("--output")) {
            const std::optional<QString> out = value();
            if (!out || out->isEmpty()) {
                return usageError(QStringLiteral("-o takes a file name"));
            }
            outputPath = *out;
        } else if (arg.startsWith(QLatin1Char('-')) && arg.size() > 1) {
            return usageError(QStringLiteral("unknown option %1").arg(arg));
        } else if (imagePath.isEmpty()) {
            imagePath = arg;
        } else {
            return usageError(QStringLiteral("one image at a time"));
        }
    }
    if (imagePath.isEmpty()) {
        return usageError(QStringLiteral("no image given"));
    }

    QString error;
    const QImage image = ScreenshotImage::load(imagePath, &error);
    if (image.isNull()) {
        printError(QStringLiteral("cannot read %1: %2").arg(imagePath, error));
        return 1;
    }
    const AppSettings &settings = AppSettings::shared();
    const PIITypes kinds = types.value_or(settings.enabledPIITypes());
    const PIIDetector::ScanResult result = PIIDetector::scanNow(image, kinds, false);
    const QList<QRectF> rects = result.piiRects + result.faceRects;
    if (rects.isEmpty()) {
        printError(QStringLiteral("no personal information found in %1; nothing written").arg(imagePath));
        return 0;
    }
    const QList<Annotation> marks = RedactionMarks::make(rects, style.value_or(settings.piiRedactionStyle()));
    const Result<QString> written = AnnotatedCopy::writeCopy(marks, image, imagePath, outputPath);
    if (!written) {
        printError(written.error());
        return 1;
    }
    std::printf("%s\n", written.value().toLocal8Bit().constData());
    return 0;
}

} // namespace Commands
