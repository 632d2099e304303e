// SPDX-License-Identifier: GPL-3.0-or-later
#include "annotation/ScreenshotImage.h"

#include <QFile>
#include <QImageReader>
#include <QtEndian>

#include <cmath>

namespace ScreenshotImage {

namespace {

constexpr double kMetresPerInch = 0.0254;
// The resolution is declared near the start: PNG puts pHYs before the image data, JPEG its
// JFIF header first. Reading this much covers every chunk that may come before it in practice.
constexpr qint64 kHeaderBytes = 64 * 1024;

std::optional<double> pngDpi(const QByteArray &b)
{
    qsizetype pos = 8;
    while (pos + 8 <= b.size()) {
        const quint32 length = qFromBigEndian<quint32>(b.constData() + pos);
        const QByteArray type = b.mid(pos + 4, 4);
        if (type == "IDAT" || type == "IEND") {
            break;
        }
        if (type == "pHYs" && length >= 9 && pos + 8 + 9 <= b.size()) {
            const char *d = b.constData() + pos + 8;
            const quint32 ppmX = qFromBigEndian<quint32>(d);
            const quint8 unit = quint8(d[8]);
            if (unit == 1 && ppmX > 0) {
                return ppmX * kMetresPerInch;
            }
            return std::nullopt;
        }
        if (length > quint32(b.size())) {
            break;
        }
        pos += 12 + qsizetype(length);
    }
    return std::nullopt;
}

std::optional<double> jpegDpi(const QByteArray &b)
{
    // SOI, then an APP0 segment "JFIF\0", version (2), units (1), X density (2), Y density (2).
    if (b.size() < 18 || quint8(b[2]) != 0xFF || quint8(b[3]) != 0xE0 || b.mid(6, 5) != QByteArray("JFIF\0", 5)) {
        return std::nullopt;
    }
    const quint8 units = quint8(b[13]);
    const quint16 x = qFromBigEndian<quint16>(b.constData() + 14);
    if (x == 0) {
        return std::nullopt;
    }
    if (units == 1) {
        return double(x);
    }
    if (units == 2) {
        return x * 2.54;
    }
    return std::nullopt;
}

} // namespace

std::optional<double> declaredDpi(const QByteArray &fileStart)
{
    if (fileStart.startsWith("\x89PNG\r\n\x1a\n")) {
        return pngDpi(fileStart);
    }
    if (fileStart.startsWith("\xFF\xD8")) {
        return jpegDpi(fileStart);
    }
    return std::nullopt;
}

double pixelsPerPoint(std::optional<double> dpi, int pixelWidth)
{
    if (!dpi || *dpi <= 0 || std::abs(*dpi - 96.0) < 0.5 || pixelWidth <= 0) {
        return 1.0;
    }
    // Files store dots per metre as whole numbers (5669 for 144 dpi), so take the nominal width
    // as the nearest whole point count, as the capture tool meant it.
    const double pointWidth = std::round(pixelWidth * 72.0 / *dpi);
    if (pointWidth < 1) {
        return 1.0;
    }
    return pixelWidth / pointWidth;
}

int dotsPerMetre(double pixelsPerPoint)
{
    return int(std::lround(72.0 * pixelsPerPoint / kMetresPerInch));
}

QImage load(const QString &path, QString *error)
{
    QImageReader reader(path);
    QImage image = reader.read();
    if (image.isNull()) {
        if (error) {
            *error = reader.errorString();
        }
        return {};
    }
    QByteArray head;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        head = file.read(kHeaderBytes);
    }
    image.setDevicePixelRatio(pixelsPerPoint(declaredDpi(head), image.width()));
    return image;
}

} // namespace ScreenshotImage
