// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/TypesOption.h"

#include "privacy/PatternMatcher.h"

namespace TypesOption {

Outcome take(const QStringList &args, qsizetype &i, PIITypes *types, QString *error)
{
    const QString &a = args[i];
    if (a == QLatin1String("--all")) {
        *types = PIITypes::fromInt(kAllPIITypesMask);
        return Outcome::Taken;
    }
    if (a != QLatin1String("--types") && !a.startsWith(QLatin1String("--types="))) {
        return Outcome::NotThisOption;
    }
    QString list;
    if (a.contains(QLatin1Char('='))) {
        list = a.section(QLatin1Char('='), 1);
    } else if (i + 1 < args.size()) {
        list = args[++i];
    } else {
        *error = QStringLiteral("--types needs a list");
        return Outcome::Error;
    }
    if (!PatternMatcher::parseKinds(list, types)) {
        *error = QStringLiteral("unknown kind in \"%1\" (use emails,ips,apiKeys,phones,creditCards,addresses,faces)")
                     .arg(list);
        return Outcome::Error;
    }
    return Outcome::Taken;
}

} // namespace TypesOption
