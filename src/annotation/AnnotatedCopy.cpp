// SPDX-License-Identifier: GPL-3.0-or-later
#include "annotation/AnnotatedCopy.h"

#include "annotation/AnnotationRenderer.h"
#include "annotation/AnnotationStore.h"
#include "annotation/ScreenshotImage.h"
#include "platform/FileSystem.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>

namespace AnnotatedCopy {

namespace {

// zlib level 3 (Qt maps quality 69 to it). On a 3840×2160 screenshot (bench_annotation) levels 1
// to 3 cost the same time and level 3 is the smallest of them; the default level 6 is 10 % smaller
// but takes half as long again, level 9 seven times as long.
constexpr int kPngQuality = 69;

} // namespace

std::optional<QByteArray> renderAnnotatedPNG(const QList<Annotation> &annotations, const QImage &image)
{
    if (image.isNull()) {
        return std::nullopt;
    }
    // A fresh surface, so nothing of the file but its pixels reaches the copy: no text chunks,
    // no embedded profiles or thumbnails. Opaque screenshots are drawn and written without alpha.
    QImage surface(image.size(), image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (surface.isNull()) {
        return std::nullopt;
    }
    const double scale = image.devicePixelRatio();
    const int dpm = ScreenshotImage::dotsPerMetre(scale);
    surface.setDotsPerMeterX(dpm);
    surface.setDotsPerMeterY(dpm);
    surface.fill(Qt::transparent);
    {
        QPainter painter(&surface);
        if (!painter.isActive()) {
            return std::nullopt;
        }
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(QRectF(QPointF(0, 0), QSizeF(image.size())), image);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        const AnnotationRenderer::Target target = AnnotationRenderer::Target::exportImage(image);
        for (const Annotation &a : annotations) {
            AnnotationRenderer::drawAnnotation(painter, a, target);
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    writer.setQuality(kPngQuality);
    if (!writer.write(surface)) {
        return std::nullopt;
    }
    return bytes;
}

QString candidatePath(const QString &imagePath, int n)
{
    const QFileInfo info(imagePath);
    const QString name = info.fileName();
    // Only the last extension goes; a leading dot starts a name, not an extension.
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString base = dot > 0 ? name.left(dot) : name;
    QString extension = dot > 0 ? name.mid(dot + 1) : QString();
    if (extension.isEmpty()) {
        extension = QStringLiteral("png");
    }
    const QString suffix = n <= 1 ? QStringLiteral("_annotated.") : QStringLiteral("_annotated_%1.").arg(n);
    return info.dir().filePath(base + suffix + extension);
}

Result<QString> writeBeside(const QString &imagePath, const QByteArray &png)
{
    // Each name is claimed by creating the file exclusively: a file that appears between a
    // check and the write (another save, a sync client) is never overwritten.
    for (int n = 1;; ++n) {
        const QString path = candidatePath(imagePath, n);
        if (FileSystem::exists(path)) {
            continue;
        }
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (FileSystem::exists(path)) {
                continue;
            }
            return Result<QString>::failure(QStringLiteral("Failed to save: ") + file.errorString());
        }
        if (file.write(png) != png.size() || !file.flush()) {
            const QString error = file.errorString();
            file.remove();
            return Result<QString>::failure(QStringLiteral("Failed to save: ") + error);
        }
        return Result<QString>::success(path);
    }
}

Result<QString> writeCopy(const QList<Annotation> &annotations, const QImage &image, const QString &imagePath,
                          const QString &outputPath)
{
    const std::optional<QByteArray> png = renderAnnotatedPNG(annotations, image);
    if (!png) {
        return Result<QString>::failure(kRenderFailed);
    }
    if (outputPath.isEmpty()) {
        return writeBeside(imagePath, *png);
    }
    const Status written = FileSystem::writeFile(outputPath, *png, true);
    if (!written) {
        return Result<QString>::failure(QStringLiteral("Failed to save: ") + written.error());
    }
    return Result<QString>::success(outputPath);
}

Result<QString> saveAnnotatedCopy(const AnnotationStore &store)
{
    return writeCopy(store.annotations(), store.originalImage(), store.imagePath());
}

} // namespace AnnotatedCopy
