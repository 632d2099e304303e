// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/gallery/PngThumbnailReader.h"

#include <QColorSpace>
#include <QFile>

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// The source rows that fall into one row of the thumbnail, added up per byte (R, G, B and A
// when there is one, as the file holds them), with the colour weighted by alpha so that transparent
// pixels lend no colour to their neighbours. Adding whole rows is one loop over the bytes,
// sixteen at a time where the processor can; the columns are summed once per thumbnail row.
struct BoxRow
{
    std::vector<quint32> sums;
    int rows = 0;
};

void addRow(BoxRow &box, uchar *pixels, int width, bool alpha)
{
    const int channels = alpha ? 4 : 3;
    if (alpha) {
        for (int x = 0; x < width; ++x) {
            uchar *p = pixels + 4 * x;
            const unsigned a = p[3];
            p[0] = uchar((p[0] * a + 127) / 255);
            p[1] = uchar((p[1] * a + 127) / 255);
            p[2] = uchar((p[2] * a + 127) / 255);
        }
    }
    quint32 *sums = box.sums.data();
    const size_t bytes = size_t(width) * size_t(channels);
    const bool first = box.rows == 0; // the first row of a box sets the sums: no clearing pass
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    for (; i + 16 <= bytes; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(pixels + i));
        const __m128i lo = _mm_unpacklo_epi8(v, zero);
        const __m128i hi = _mm_unpackhi_epi8(v, zero);
        const __m128i words[4] = {_mm_unpacklo_epi16(lo, zero), _mm_unpackhi_epi16(lo, zero),
                                  _mm_unpacklo_epi16(hi, zero), _mm_unpackhi_epi16(hi, zero)};
        auto *s = reinterpret_cast<__m128i *>(sums + i);
        for (int k = 0; k < 4; ++k) {
            _mm_storeu_si128(s + k, first ? words[k] : _mm_add_epi32(_mm_loadu_si128(s + k), words[k]));
        }
    }
#endif
    for (; i < bytes; ++i) {
        sums[i] = first ? pixels[i] : sums[i] + pixels[i];
    }
    ++box.rows;
}

// firstColumn[tx] .. firstColumn[tx + 1] are the source columns of thumbnail column tx.
void emitRow(BoxRow &box, const std::vector<int> &firstColumn, uchar *out, bool alpha)
{
    const int columns = int(firstColumn.size()) - 1;
    const int channels = alpha ? 4 : 3;
    const quint32 *sums = box.sums.data();
    for (int tx = 0; tx < columns; ++tx) {
        quint32 r = 0, g = 0, b = 0, a = 0;
        for (int x = firstColumn[size_t(tx)]; x < firstColumn[size_t(tx) + 1]; ++x) {
            const quint32 *s = sums + channels * x;
            r += s[0];
            g += s[1];
            b += s[2];
            if (alpha) {
                a += s[3];
            }
        }
        const quint32 n = quint32(firstColumn[size_t(tx) + 1] - firstColumn[size_t(tx)]) * quint32(box.rows);
        auto *o = reinterpret_cast<QRgb *>(out) + tx;
        *o = qRgba(int((r + n / 2) / n), int((g + n / 2) / n), int((b + n / 2) / n), alpha ? int((a + n / 2) / n) : 0xff);
    }
    box.rows = 0;
}

struct Decoder
{
    FILE *file = nullptr;
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::vector<uchar> row;
    std::vector<int> firstColumn;
    BoxRow box;
    QImage image;

    ~Decoder()
    {
        if (png) {
            png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
        }
        if (file) {
            std::fclose(file);
        }
    }
};

void quietWarning(png_structp, png_const_charp) {}

// A damaged file is an ordinary outcome here: no message, straight back to decode().
[[noreturn]] void quietError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

// Decodes into d.image; on any libpng error it jumps back here and returns false. Everything
// that needs freeing lives in d, outside this frame.
bool decode(Decoder &d, int side)
{
    if (setjmp(png_jmpbuf(d.png))) {
        return false;
    }
    png_init_io(d.png, d.file);
    png_read_info(d.png, d.info);
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int depth = 0;
    int colorType = 0;
    int interlace = 0;
    png_get_IHDR(d.png, d.info, &width, &height, &depth, &colorType, &interlace, nullptr, nullptr);
    // Interlaced rows arrive in passes, not top to bottom; such files are rare and read whole.
    if (interlace != PNG_INTERLACE_NONE || width == 0 || height == 0 || width > 1u << 16 || height > 1u << 16) {
        return false;
    }
    const bool alpha = (colorType & PNG_COLOR_MASK_ALPHA) || png_get_valid(d.png, d.info, PNG_INFO_tRNS);
    png_set_expand(d.png);
    png_set_scale_16(d.png);
    png_set_gray_to_rgb(d.png);
    const QSize source{int(width), int(height)};
    const QSize target = qMax(source.width(), source.height()) > side
        ? source.scaled(side, side, Qt::KeepAspectRatio).expandedTo(QSize(1, 1))
        : source;
    const bool whole = target == source;
    if (whole) {
        // Rows go straight into the picture, in its own byte order.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
        png_set_bgr(d.png);
        if (!alpha) {
            png_set_filler(d.png, 0xff, PNG_FILLER_AFTER);
        }
#else
        if (alpha) {
            png_set_swap_alpha(d.png);
        } else {
            png_set_filler(d.png, 0xff, PNG_FILLER_BEFORE);
        }
#endif
    }
    png_read_update_info(d.png, d.info);
    if (png_get_rowbytes(d.png, d.info) != size_t(width) * (whole || alpha ? 4 : 3)) {
        return false;
    }
    d.image = QImage(target, alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (d.image.isNull()) {
        return false;
    }
    if (whole) {
        for (int y = 0; y < source.height(); ++y) {
            png_read_row(d.png, d.image.scanLine(y), nullptr);
        }
        if (alpha) {
            d.image.reinterpretAsFormat(QImage::Format_ARGB32);
            d.image.convertTo(QImage::Format_ARGB32_Premultiplied);
        }
    } else {
        d.row.resize(png_get_rowbytes(d.png, d.info));
        d.firstColumn.resize(size_t(target.width()) + 1);
        for (int tx = 0; tx <= target.width(); ++tx) {
            // The first source column whose centre maps into tx: every column lands in one.
            d.firstColumn[size_t(tx)] = int((qint64(tx) * source.width() + target.width() - 1) / target.width());
        }
        d.box.sums.assign(d.row.size(), 0u);
        int targetRow = 0;
        for (int y = 0; y < source.height(); ++y) {
            const int ty = int(qint64(y) * target.height() / source.height());
            if (ty != targetRow) {
                emitRow(d.box, d.firstColumn, d.image.scanLine(targetRow), alpha);
                targetRow = ty;
            }
            png_read_row(d.png, d.row.data(), nullptr);
            addRow(d.box, d.row.data(), source.width(), alpha);
        }
        emitRow(d.box, d.firstColumn, d.image.scanLine(targetRow), alpha);
    }
    png_read_end(d.png, nullptr);

    // The colour space the file declares, as Qt's own reader attaches it.
    png_charp name = nullptr;
    png_bytep profile = nullptr;
    png_uint_32 length = 0;
    int compression = 0;
    if (png_get_iCCP(d.png, d.info, &name, &compression, &profile, &length) && profile && length > 0) {
        d.image.setColorSpace(QColorSpace::fromIccProfile(
            QByteArray(reinterpret_cast<const char *>(profile), qsizetype(length))));
    } else if (png_get_valid(d.png, d.info, PNG_INFO_sRGB)) {
        d.image.setColorSpace(QColorSpace::SRgb);
    }
    return true;
}

} // namespace

QImage PngThumbnailReader::read(const QString &path, int side)
{
    Decoder d;
    d.file = std::fopen(QFile::encodeName(path).constData(), "rb");
    if (!d.file) {
        return QImage();
    }
    png_byte signature[8];
    if (std::fread(signature, 1, sizeof signature, d.file) != sizeof signature || png_sig_cmp(signature, 0, 8) != 0) {
        return QImage();
    }
    d.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, quietError, quietWarning);
    d.info = d.png ? png_create_info_struct(d.png) : nullptr;
    if (!d.info) {
        return QImage();
    }
    png_set_sig_bytes(d.png, 8);
    // Only a thumbnail is made here and the picture is read whole elsewhere (the scan, the
    // editor), so its checksums are not worth their time: a cut file still fails.
    png_set_crc_action(d.png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
#ifdef PNG_IGNORE_ADLER32
    png_set_option(d.png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
    if (!decode(d, qMax(1, side))) {
        return QImage();
    }
    return std::move(d.image);
}
