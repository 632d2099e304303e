// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "privacy/PIIDetector.h"
#include "privacy/TextMatch.h"

#include <QByteArray>
#include <QString>

// The one-line JSON the command line prints for scans and text findings.
namespace ScanJson {

QByteArray string(const QString &text);
// {"ocrText": "...", "piiRects": [[x,y,w,h],...], "faceRects": [...]}
QByteArray scanResult(const PIIDetector::ScanResult &result);
// {"line": N, "matches": [{"kind": "...", "start": S, "length": L, "text": "..."}]}
QByteArray lineMatches(int lineNumber, const QString &line, const TextMatches &matches);
// {"error": "..."}
QByteArray error(const QString &message);

} // namespace ScanJson
