// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/PIITypes.h"

#include <QString>
#include <QStringList>

// "--all", "--types LIST" and "--types=LIST", shared by the commands that scan.
namespace TypesOption {

enum class Outcome { NotThisOption, Taken, Error };

// Looks at args[i]; when it is one of the options, reads its value (advancing i past it) into
// types. On Error, error says what is wrong.
Outcome take(const QStringList &args, qsizetype &i, PIITypes *types, QString *error);

} // namespace TypesOption
