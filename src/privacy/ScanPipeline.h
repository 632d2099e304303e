// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "privacy/PIIDetector.h"
#include "privacy/TextRecognizer.h"

namespace PIIDetector {

// The scan's work with the recogniser's preparation chosen by the caller, on the calling
// thread; measurements compare preparations with it. May throw; scanNow does not.
ScanResult runScan(const QImage &image, Types types, bool includeText, const TextRecognizer::Options &options);

} // namespace PIIDetector
