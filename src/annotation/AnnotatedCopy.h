// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "annotation/Annotation.h"
#include "platform/Result.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

#include <optional>

class AnnotationStore;

// The flattened copy of an annotated screenshot: rendering, naming and writing.
namespace AnnotatedCopy {

inline const QString kRenderFailed = QStringLiteral("Failed to render annotated image.");

// The image with the annotations burnt in, at its full pixel size, as PNG bytes; nothing when
// the image has no pixels or encoding fails. The PNG holds the pixels and resolution only.
std::optional<QByteArray> renderAnnotatedPNG(const QList<Annotation> &annotations, const QImage &image);

// The n-th name tried for the copy of the screenshot at imagePath (n = 1 is the plain
// "_annotated" name, then "_annotated_2", ...). The screenshot's extension is kept, "png" when
// it has none, whatever the bytes written.
QString candidatePath(const QString &imagePath, int n);

// Writes the PNG to the first candidate name that is free and returns its path, or
// "Failed to save: " + the system's description.
Result<QString> writeBeside(const QString &imagePath, const QByteArray &png);

// Renders the annotations over the image and writes the copy to outputPath (replaced whole),
// or beside the screenshot at imagePath under the first free "_annotated" name when outputPath
// is empty. Returns the written path, or the message to show.
Result<QString> writeCopy(const QList<Annotation> &annotations, const QImage &image, const QString &imagePath,
                          const QString &outputPath = QString());

// Renders the store's annotations over its screenshot and writes the copy beside it. The
// screenshot itself is never touched. The error is the message to show.
Result<QString> saveAnnotatedCopy(const AnnotationStore &store);

} // namespace AnnotatedCopy
