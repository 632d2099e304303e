// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

// Sub-commands of the pictrove executable. Each takes the arguments after its name,
// prints results on standard output and errors on standard error, and returns the exit status.
namespace Commands {

int config(const QStringList &args);
int detect(const QStringList &args);
int scan(const QStringList &args);
int search(const QStringList &args);
int import(const QStringList &args);
int tag(const QStringList &args);
int redact(const QStringList &args);
int annotate(const QStringList &args);
int preferences(const QStringList &args);
int library(const QStringList &args);

} // namespace Commands
