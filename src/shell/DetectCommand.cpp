// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/Commands.h"
#include "shell/TypesOption.h"

#include "app/AppSettings.h"
#include "privacy/PatternMatcher.h"
#include "privacy/ScanJson.h"

#include <QFile>
#include <QString>

#include <cstdio>

namespace Commands {

// Reads text on standard input and prints one JSON line per input line with findings:
// the detector without recognition, for text about to be pasted somewhere.
int detect(const QStringList &args)
{
    PIITypes types = AppSettings::shared().enabledPIITypes();
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        QString optionError;
        const TypesOption::Outcome option = TypesOption::take(args, i, &types, &optionError);
        if (option == TypesOption::Outcome::Error) {
            std::fprintf(stderr, "pictrove detect: %s\n", optionError.toLocal8Bit().constData());
            return 2;
        }
        if (option == TypesOption::Outcome::NotThisOption) {
            std::fprintf(stderr, "pictrove detect: unknown argument \"%s\"\n", a.toLocal8Bit().constData());
            return 2;
        }
    }

    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly)) {
        std::fputs("pictrove detect: cannot read standard input\n", stderr);
        return 1;
    }
    int number = 0;
    while (!in.atEnd()) {
        QByteArray bytes = in.readLine();
        ++number;
        if (bytes.endsWith('\n')) {
            bytes.chop(1);
        }
        if (bytes.endsWith('\r')) {
            bytes.chop(1);
        }
        const QString line = QString::fromUtf8(bytes);
        const TextMatches matches = PatternMatcher::findSensitiveRanges(line, types);
        if (!matches.isEmpty()) {
            const QByteArray json = ScanJson::lineMatches(number, line, matches) + '\n';
            std::fwrite(json.constData(), 1, size_t(json.size()), stdout);
        }
    }
    std::fflush(stdout);
    return 0;
}

} // namespace Commands
