// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <optional>

// Loading a screenshot for annotation. The loaded image's device pixel ratio is its pixels per
// point: 2 for a double-density capture, so its nominal size is its pixel size divided by it.
namespace ScreenshotImage {

// The image at path, or a null image when the file cannot be read as one. `error` receives
// the reader's description of the failure.
QImage load(const QString &path, QString *error = nullptr);

// The resolution a PNG (pHYs) or JPEG (JFIF density) file declares, in dots per inch, or
// nothing when it declares none.
std::optional<double> declaredDpi(const QByteArray &fileStart);

// Pixels per point for a declared resolution: points are 1/72 inch, so 144 dpi is 2.
// 96 dpi counts as 1: it is the toolkit's default, written by tools that mean no density.
double pixelsPerPoint(std::optional<double> dpi, int pixelWidth);

// Dots per metre that a written PNG declares so that reading it back gives the same ratio.
int dotsPerMetre(double pixelsPerPoint);

} // namespace ScreenshotImage
