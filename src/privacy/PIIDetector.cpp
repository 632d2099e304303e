// SPDX-License-Identifier: GPL-3.0-or-later
#include "privacy/PIIDetector.h"

#include "privacy/AddressDetector.h"
#include "privacy/FaceDetector.h"
#include "privacy/LineContext.h"
#include "privacy/MisreadRetry.h"
#include "privacy/PatternMatcher.h"
#include "privacy/PhoneDetector.h"
#include "privacy/ScanPipeline.h"

#include <QStringList>
#include <QtConcurrent>

#include <exception>

namespace PIIDetector {

namespace {

constexpr double kTextMargin = 4.0;

// The smoothed edges of large glyphs (2x screens) reach further above and below the outlines
// the recogniser gives than a fixed few pixels, so the margin above and below grows with the
// line's height. Sideways it stays small: the next word is only a space away.
QRectF padTextBox(const QRectF &box, double lineHeight)
{
    const double dy = std::max(kTextMargin, 0.2 * lineHeight);
    return QRectF(box.x() - kTextMargin, box.y() - dy, box.width() + 2 * kTextMargin, box.height() + 2 * dy);
}

QRectF padTextBox(const QRectF &lineBox) { return padTextBox(lineBox, lineBox.height()); }

// The five dashes either side of a private key header are often not read at all, and a box
// over the words alone leaves them showing: measured coverage fell to 91 %. Widen by five
// mean character widths on each side where the dashes are missing.
QRectF withUnreadDashes(const QString &match, QRectF box)
{
    if (!match.contains(QLatin1String("PRIVATE KEY")) || match.isEmpty()) {
        return box;
    }
    const double charWidth = box.width() / double(match.size());
    if (!match.startsWith(QLatin1String("--"))) {
        box.setLeft(box.left() - 5.5 * charWidth);
    }
    if (!match.endsWith(QLatin1String("--"))) {
        box.setRight(box.right() + 5.5 * charWidth);
    }
    return box;
}

} // namespace

ScanResult runScan(const QImage &image, Types types, bool includeText, const TextRecognizer::Options &options)
{
    ScanResult result;
    const bool textNeeded = includeText || (int(types) & kTextPIITypesMask) != 0;
    const bool facesNeeded = types.testFlag(PIIType::faces);
    // Faces are looked for on another core while this one reads the text.
    QFuture<QList<QRectF>> faces;
    if (facesNeeded) {
        faces = textNeeded ? QtConcurrent::run([image] { return FaceDetector::detect(image); })
                           : QtFuture::makeReadyFuture(FaceDetector::detect(image));
    }
    if (textNeeded) {
        const QList<RecognizedLine> lines = TextRecognizer::recognize(image, options);
        const QList<RecognizedLine> cells = LineContexts::cellsOf(lines);
        const QList<LineContext> contexts = LineContexts::of(cells);
        QStringList texts;
        for (const RecognizedLine &line : lines) {
            texts << line.text;
        }
        QList<TextMatches> found;
        for (qsizetype i = 0; i < cells.size(); ++i) {
            const RecognizedLine &line = cells[i];
            found << PatternMatcher::findInRecognizedLine(line.text, types, contexts[i]);
            for (const TextMatch &m : found.last()) {
                if (const std::optional<QRectF> box = line.boundingBox(m.start, m.length)) {
                    result.piiRects.append(padTextBox(withUnreadDashes(line.text.mid(m.start, m.length), *box)));
                }
            }
        }
        for (const QRectF &box : MisreadRetry::reread(image, MisreadRetry::nearMisses(cells, found, types, contexts))) {
            result.piiRects.append(padTextBox(box));
        }
        if (types.testFlag(PIIType::phones)) {
            for (const PhoneDetector::LineMatch &w : PhoneDetector::forUserLocale().findWrapped(cells, contexts)) {
                if (const std::optional<QRectF> box = cells[w.line].boundingBox(w.match.start, w.match.length)) {
                    result.piiRects.append(padTextBox(*box));
                }
            }
        }
        // Addresses written over several lines or form fields: one rectangle over all of them.
        if (types.testFlag(PIIType::addresses)) {
            for (const AddressDetector::Block &block : AddressDetector::findAcrossLines(lines)) {
                result.piiRects.append(padTextBox(block.box, 0));
            }
        }
        result.ocrText = texts.join(QLatin1Char('\n'));
    }
    if (facesNeeded) {
        for (const QRectF &face : faces.result()) {
            result.faceRects.append(FaceDetector::padded(face));
        }
    }
    return result;
}

ScanResult scanNow(const QImage &image, Types types, bool includeText)
{
    types &= Types::fromInt(kAllPIITypesMask);
    if (image.isNull() || (!includeText && types == Types())) {
        return {};
    }
    try {
        return runScan(image, types, includeText, TextRecognizer::Options{});
    } catch (...) {
        return {};
    }
}

QFuture<ScanResult> scan(const QImage &image, Types types, bool includeText)
{
    types &= Types::fromInt(kAllPIITypesMask);
    if (image.isNull() || (!includeText && types == Types())) {
        return QtFuture::makeReadyFuture(ScanResult{});
    }
    return QtConcurrent::run([image, types, includeText] { return scanNow(image, types, includeText); });
}

} // namespace PIIDetector
