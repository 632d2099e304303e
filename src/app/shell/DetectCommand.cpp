// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/shell/Commands.h"

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
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--all")) {
            types = PIITypes::fromInt(kAllPIITypesMask);
        } else if (a == QLatin1String("--types") || a.startsWith(QLatin1String("--types="))) {
            QString list;
            if (a.contains(QLatin1Char('='))) {
                list = a.section(QLatin1Char('='), 1);
            } else if (i + 1 < args.size()) {
                list = args[++i];
            } else {
                std::fputs("pictrove detect: --types needs a list\n", stderr);
                return 2;
            }
            if (!PatternMatcher::parseKinds(list, &types)) {
                std::fprintf(stderr, "pictrove detect: unknown kind in \"%s\" (use emails,ips,apiKeys,phones,"
                                     "creditCards,addresses,faces)\n",
                             list.toLocal8Bit().constData());
                return 2;
            }
        } else {
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
