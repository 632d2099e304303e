// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/PIITypes.h"

#include <QFuture>
#include <QImage>
#include <QList>
#include <QRectF>
#include <QString>

// Finds personal information in a screenshot: recognised text, padded rectangles of the
// sensitive matches, and padded face rectangles, in bitmap pixels, origin top-left.
namespace PIIDetector {

using Types = PIITypes;

struct ScanResult
{
    QString ocrText;
    QList<QRectF> piiRects;
    QList<QRectF> faceRects;

    bool isEmpty() const { return ocrText.isEmpty() && piiRects.isEmpty() && faceRects.isEmpty(); }
};

// Runs off the calling thread; never throws; an empty result on any failure. Nothing starts
// for an empty request without text.
QFuture<ScanResult> scan(const QImage &image, Types types, bool includeText);

// The same work on the calling thread, for the command line and tests.
ScanResult scanNow(const QImage &image, Types types, bool includeText);

} // namespace PIIDetector
