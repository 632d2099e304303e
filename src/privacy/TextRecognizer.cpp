// SPDX-License-Identifier: GPL-3.0-or-later
#include "privacy/TextRecognizer.h"

#include "privacy/TesseractEnginePool.h"
#include "privacy/TextPatches.h"

#include <QThread>
#include <QtConcurrent>

#include <tesseract/baseapi.h>
#include <tesseract/resultiterator.h>

#include <algorithm>
#include <cmath>
#include <array>
#include <memory>

namespace {

// The median grey level, from every fourth pixel of every fourth row: the background of a
// screen, since most of a screen is background.
int medianLuminance(const QImage &grey)
{
    std::array<qint64, 256> histogram{};
    qint64 total = 0;
    for (int y = 0; y < grey.height(); y += 4) {
        const uchar *row = grey.constScanLine(y);
        for (int x = 0; x < grey.width(); x += 4) {
            ++histogram[row[x]];
            ++total;
        }
    }
    qint64 seen = 0;
    for (int v = 0; v < 256; ++v) {
        seen += histogram[size_t(v)];
        if (seen * 2 >= total) {
            return v;
        }
    }
    return 255;
}

// Pixels per row that differ clearly from the background: text lives where this is not zero.
std::vector<int> inkPerRow(const QImage &grey, int background)
{
    std::vector<int> ink(size_t(grey.height()), 0);
    for (int y = 0; y < grey.height(); ++y) {
        const uchar *row = grey.constScanLine(y);
        int n = 0;
        for (int x = 0; x < grey.width(); ++x) {
            n += std::abs(int(row[x]) - background) > 48 ? 1 : 0;
        }
        ink[size_t(y)] = n;
    }
    return ink;
}

struct Band
{
    int top = 0;
    int height = 0;
};

// Cuts where each band holds a like share of the ink, at the nearest row without ink, so no
// text line is split between engines and both engines finish at about the same time.
QList<Band> splitIntoBands(const QImage &grey, int background, int count)
{
    QList<Band> bands;
    if (count <= 1) {
        bands.append({0, grey.height()});
        return bands;
    }
    const std::vector<int> ink = inkPerRow(grey, background);
    const int h = grey.height();
    qint64 total = 0;
    for (int n : ink) {
        total += n;
    }
    QList<int> cuts{0};
    qint64 seen = 0;
    int y = 0;
    for (int i = 1; i < count; ++i) {
        while (y < h && seen * count < total * i) {
            seen += ink[size_t(y++)];
        }
        const int ideal = y;
        const int reach = h / (2 * count);
        int best = -1;
        for (int d = 0; d <= reach && best < 0; ++d) {
            for (int c : {ideal - d, ideal + d}) {
                if (c > cuts.last() + 16 && c < h - 16 && ink[size_t(c)] == 0) {
                    best = c;
                    break;
                }
            }
        }
        if (best > 0) {
            cuts << best;
        }
    }
    cuts << h;
    for (int i = 0; i + 1 < cuts.size(); ++i) {
        bands.append({cuts[i], cuts[i + 1] - cuts[i]});
    }
    return bands;
}

QList<RecognizedLine> readLines(tesseract::TessBaseAPI *api, double scale, double offsetY)
{
    QList<RecognizedLine> lines;
    std::unique_ptr<tesseract::ResultIterator> it(api->GetIterator());
    if (!it) {
        return lines;
    }
    auto toOriginal = [scale, offsetY](int l, int t, int r, int b) {
        return QRectF(l / scale, t / scale + offsetY, (r - l) / scale, (b - t) / scale);
    };
    RecognizedLine *current = nullptr;
    int word = 0;
    QRectF wordBox;
    do {
        if (it->Empty(tesseract::RIL_SYMBOL)) {
            continue;
        }
        if (it->IsAtBeginningOf(tesseract::RIL_TEXTLINE) || !current) {
            lines.append(RecognizedLine{});
            current = &lines.last();
            word = -1;
            int l, t, r, b;
            if (it->BoundingBox(tesseract::RIL_TEXTLINE, &l, &t, &r, &b)) {
                current->box = toOriginal(l, t, r, b);
            }
        } else if (it->IsAtBeginningOf(tesseract::RIL_WORD)) {
            current->text += QLatin1Char(' ');
        }
        if (it->IsAtBeginningOf(tesseract::RIL_WORD) || word < 0) {
            ++word;
            int l, t, r, b;
            wordBox = it->BoundingBox(tesseract::RIL_WORD, &l, &t, &r, &b) ? toOriginal(l, t, r, b) : QRectF();
        }
        std::unique_ptr<char[]> utf8(it->GetUTF8Text(tesseract::RIL_SYMBOL));
        if (!utf8) {
            continue;
        }
        const QString symbol = QString::fromUtf8(utf8.get());
        RecognizedLine::Symbol s;
        s.start = int(current->text.size());
        s.length = int(symbol.size());
        int l, t, r, b;
        if (it->BoundingBox(tesseract::RIL_SYMBOL, &l, &t, &r, &b)) {
            s.box = toOriginal(l, t, r, b);
            s.word = word;
            s.wordBox = wordBox;
            current->symbols.append(s);
        }
        current->text += symbol;
    } while (it->Next(tesseract::RIL_SYMBOL));
    lines.removeIf([](const RecognizedLine &l) { return l.text.trimmed().isEmpty(); });
    return lines;
}

QList<RecognizedLine> recognizeBand(const QImage &prepared, const Band &band, double scale, int psm)
{
    TesseractEnginePool::Lease engine = TesseractEnginePool::shared().acquire();
    if (!engine) {
        return {};
    }
    const QImage part = prepared.copy(0, int(band.top * scale), prepared.width(), int(band.height * scale));
    engine->SetPageSegMode(tesseract::PageSegMode(psm));
    engine->SetImage(part.constBits(), part.width(), part.height(), 1, int(part.bytesPerLine()));
    engine->SetSourceResolution(int(96 * scale));
    if (engine->Recognize(nullptr) != 0) {
        return {};
    }
    return readLines(engine.get(), scale, band.top);
}

} // namespace

bool TextRecognizer::looksDark(const QImage &grey)
{
    return !grey.isNull() && medianLuminance(grey) < 128;
}

double TextRecognizer::chooseScale(const QImage &grey)
{
    // Heights of runs of rows holding ink, in strips narrow enough to keep columns apart:
    // their median is about the height of a text line.
    if (grey.isNull()) {
        return 1.0;
    }
    const int background = medianLuminance(grey);
    const int strip = 160;
    std::vector<int> heights;
    for (int x0 = 0; x0 < grey.width(); x0 += strip) {
        const int x1 = std::min(grey.width(), x0 + strip);
        int run = 0;
        for (int y = 0; y <= grey.height(); ++y) {
            bool ink = false;
            if (y < grey.height()) {
                const uchar *row = grey.constScanLine(y);
                for (int x = x0; x < x1; ++x) {
                    if (std::abs(int(row[x]) - background) > 80) {
                        ink = true;
                        break;
                    }
                }
            }
            if (ink) {
                ++run;
            } else {
                if (run >= 5 && run <= 60) {
                    heights.push_back(run);
                }
                run = 0;
            }
        }
    }
    if (heights.size() < 3) {
        return 1.0;
    }
    std::nth_element(heights.begin(), heights.begin() + long(heights.size() / 2), heights.end());
    const int median = heights[heights.size() / 2];
    // Lines under about 20 px (1x screens, 11-16 px fonts) are read far better at double size.
    return median < 20 ? 2.0 : 1.0;
}

QList<RecognizedLine> TextRecognizer::recognize(const QImage &image)
{
    return recognize(image, Options{});
}

QList<RecognizedLine> TextRecognizer::recognize(const QImage &image, const Options &options)
{
    if (image.isNull() || image.width() < 3 || image.height() < 3) {
        return {};
    }
    QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    const bool invert = options.invert < 0 ? looksDark(grey) : options.invert > 0;
    if (invert) {
        grey.invertPixels();
    }
    double scale = options.scale > 0 ? options.scale : chooseScale(grey);
    TextPatches::evenOut(grey, medianLuminance(grey));
    // Enlarging a very large capture would cost more memory than the text gains: at most
    // about 24 megapixels are handed to the recogniser.
    const double pixels = double(grey.width()) * grey.height();
    if (options.scale <= 0 && pixels * scale * scale > 24e6) {
        scale = std::max(1.0, std::sqrt(24e6 / pixels));
    }
    QImage prepared = scale == 1.0
        ? grey
        : grey.scaled(int(grey.width() * scale), int(grey.height() * scale), Qt::IgnoreAspectRatio,
                      Qt::SmoothTransformation);
    if (prepared.format() != QImage::Format_Grayscale8) {
        prepared = prepared.convertToFormat(QImage::Format_Grayscale8);
    }

    int bandCount = options.bands;
    if (bandCount <= 0) {
        const qint64 pixels = qint64(prepared.width()) * prepared.height();
        bandCount = pixels > 1'000'000 ? std::max(1, std::min(QThread::idealThreadCount(), 4)) : 1;
    }
    const QList<Band> bands = splitIntoBands(grey, medianLuminance(grey), bandCount);
    if (bands.size() == 1) {
        return recognizeBand(prepared, bands.first(), scale, options.pageSegMode);
    }
    // Each band on its own engine; the calling thread takes the first band itself.
    QList<QFuture<QList<RecognizedLine>>> others;
    for (int i = 1; i < bands.size(); ++i) {
        others.append(QtConcurrent::run([&prepared, band = bands[i], scale, psm = options.pageSegMode] {
            return recognizeBand(prepared, band, scale, psm);
        }));
    }
    QList<RecognizedLine> lines = recognizeBand(prepared, bands.first(), scale, options.pageSegMode);
    for (auto &f : others) {
        lines.append(f.result());
    }
    return lines;
}
