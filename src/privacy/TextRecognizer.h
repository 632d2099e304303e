// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "privacy/RecognizedLine.h"

#include <QImage>
#include <QList>

// Reads the text of a screenshot with Tesseract's LSTM engine, dictionaries off. Screens are
// not scanned pages, so the bitmap is prepared first: grey, dark themes inverted to dark text
// on light, small text enlarged until the recogniser reads it reliably. Boxes come back in the
// original bitmap's pixels. Large screens are cut into bands at blank rows and read by two
// engines at once.
class TextRecognizer
{
public:
    struct Options
    {
        int pageSegMode = 11;   // sparse text: keeps sidebar columns apart
        double scale = 0.0;     // 0 chooses from the measured text height
        int invert = -1;        // -1 chooses from the median luminance
        int bands = 0;          // 0 chooses from the image size and the number of cores
    };

    // Lines in reading order; empty when nothing was read or the engine is unavailable.
    static QList<RecognizedLine> recognize(const QImage &image);
    static QList<RecognizedLine> recognize(const QImage &image, const Options &options);

    // Preprocessing decisions, exposed for tests and measurements.
    static bool looksDark(const QImage &grey);
    static double chooseScale(const QImage &grey);
};
