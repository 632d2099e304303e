// SPDX-License-Identifier: GPL-3.0-or-later
#include "privacy/PIIDetector.h"

#include <QtConcurrent>

namespace PIIDetector {

QFuture<ScanResult> scan(const QImage &, Types, bool)
{
    return QtFuture::makeReadyFuture(ScanResult{});
}

} // namespace PIIDetector
