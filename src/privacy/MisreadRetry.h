// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/PIITypes.h"
#include "privacy/LineContext.h"
#include "privacy/RecognizedLine.h"
#include "privacy/TextMatch.h"

#include <QImage>
#include <QList>
#include <QRectF>

// Sparse reading of small monospace type misreads long tokens by one character ("ASTA..." for
// "ASIA...", "a@" for "a0", "rootGexample.net", a full stop of an IPv4 address as a space), and
// cuts an IPv6 address into two cells.
// Where the first reading holds such a near-miss of a pattern, that stretch alone is read
// again, enlarged, as a single line; what the second reading matches is taken. Only
// near-misses are reread, and only a few per screen, so a scan costs about the same.
namespace MisreadRetry {

struct Region
{
    QRectF box;         // in the scanned bitmap's pixels, padded around the stretch
    PIIType::Type kind; // the kind the stretch nearly is
    double lineHeight = 0; // of the line it was seen on
    LineContext context;   // of that line: the second reading is judged as the first was
};

constexpr int kMaxRegions = 6;

// The near-misses of the first reading, at most kMaxRegions: lines in reading order, with
// `found` the matches of each line as already found, `contexts` (if given) their layout.
QList<Region> nearMisses(const QList<RecognizedLine> &lines, const QList<TextMatches> &found, PIITypes types,
                         const QList<LineContext> &contexts = {});

// Reads each region again; the boxes (bitmap pixels, unpadded) of the matches of its kind.
QList<QRectF> reread(const QImage &image, const QList<Region> &regions);

} // namespace MisreadRetry
