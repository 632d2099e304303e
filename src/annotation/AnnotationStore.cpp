// SPDX-License-Identifier: GPL-3.0-or-later
#include "annotation/AnnotationStore.h"
#include "annotation/PresetColors.h"

#include "annotation/ScreenshotImage.h"

#include <QLineF>

#include <algorithm>
#include <cmath>

namespace {

// Hit boxes include their left and top edges and exclude the right and bottom ones.
bool boxContains(const QRectF &box, const QPointF &p)
{
    const QRectF b = box.normalized();
    return p.x() >= b.left() && p.y() >= b.top() && p.x() < b.right() && p.y() < b.bottom();
}

double distanceToSegment(const QPointF &p, const QPointF &start, const QPointF &end)
{
    const QPointF d = end - start;
    const double dd = QPointF::dotProduct(d, d);
    if (!(dd > 0)) {
        return QLineF(p, start).length();
    }
    double t = QPointF::dotProduct(p - start, d) / dd;
    if (std::isnan(t)) {
        t = 0;
    }
    t = std::clamp(t, 0.0, 1.0);
    return QLineF(p, start + t * d).length();
}

bool hits(const Annotation &a, const QPointF &p, double tolerance)
{
    switch (a.tool()) {
    case AnnotationTool::text: {
        // A typed text has no size of its own, so the box is a fixed guess from the font size.
        const QRectF r = a.rect.normalized();
        const QRectF box(r.x() - tolerance, r.y() - tolerance, std::max(r.width(), 100.0) + 2 * tolerance,
                         std::max(r.height(), a.fontSize + 8) + 2 * tolerance);
        return boxContains(box, p);
    }
    case AnnotationTool::arrow:
        if (!a.arrowStart || !a.arrowEnd) {
            return false;
        }
        return a.strokeWidth + tolerance > distanceToSegment(p, *a.arrowStart, *a.arrowEnd);
    default:
        return boxContains(a.rect.normalized().adjusted(-tolerance, -tolerance, tolerance, tolerance), p);
    }
}

} // namespace

AnnotationStore::AnnotationStore(const QString &imagePath, QObject *parent)
    : QObject(parent), m_currentColor(PresetColors::systemRed()), m_imagePath(imagePath),
      m_originalImage(ScreenshotImage::load(imagePath))
{
}

void AnnotationStore::setAnnotations(const QList<Annotation> &annotations)
{
    setAnnotationsInternal(annotations);
}

void AnnotationStore::setCurrentTool(AnnotationTool tool)
{
    if (tool == m_currentTool) {
        return;
    }
    m_currentTool = tool;
    emit currentToolChanged(tool);
    emit changed();
}

void AnnotationStore::setCurrentColor(const QColor &color)
{
    if (color == m_currentColor) {
        return;
    }
    m_currentColor = color;
    emit currentColorChanged(color);
    emit changed();
}

void AnnotationStore::setStrokeWidth(double width)
{
    if (width == m_strokeWidth) {
        return;
    }
    m_strokeWidth = width;
    emit strokeWidthChanged(width);
    emit changed();
}

void AnnotationStore::setFontSize(double size)
{
    if (size == m_fontSize) {
        return;
    }
    m_fontSize = size;
    emit fontSizeChanged(size);
    emit changed();
}

void AnnotationStore::setSelectedAnnotationID(std::optional<QUuid> id)
{
    if (id == m_selectedAnnotationID) {
        return;
    }
    m_selectedAnnotationID = id;
    emit selectedAnnotationIDChanged();
    emit changed();
}

void AnnotationStore::setAnnotationsInternal(QList<Annotation> annotations)
{
    m_annotations = std::move(annotations);
    emit annotationsChanged();
    emit changed();
}

void AnnotationStore::setNextStepNumber(qint64 number)
{
    if (number == m_nextStepNumber) {
        return;
    }
    m_nextStepNumber = number;
    emit nextStepNumberChanged(number);
    emit changed();
}

void AnnotationStore::pushUndoState()
{
    m_undoStack.append(m_annotations);
    m_undoStepNumbers.append(m_nextStepNumber);
    m_redoStack.clear();
    m_redoStepNumbers.clear();
}

void AnnotationStore::addAnnotation(const Annotation &annotation)
{
    addAnnotations({annotation});
}

void AnnotationStore::addAnnotations(const QList<Annotation> &annotations)
{
    if (annotations.isEmpty()) {
        return;
    }
    pushUndoState();
    const auto badges = std::count_if(annotations.begin(), annotations.end(),
                                      [](const Annotation &a) { return a.tool() == AnnotationTool::stepNumber; });
    setAnnotationsInternal(m_annotations + annotations);
    setNextStepNumber(m_nextStepNumber + badges);
}

void AnnotationStore::moveSelectedAnnotation(double dx, double dy)
{
    if (!m_selectedAnnotationID) {
        return;
    }
    const auto it = std::find_if(m_annotations.cbegin(), m_annotations.cend(),
                                 [&](const Annotation &a) { return a.id() == *m_selectedAnnotationID; });
    if (it == m_annotations.cend()) {
        return;
    }
    pushUndoState();
    Annotation moved = *it;
    moved.rect.translate(dx, dy);
    if (moved.arrowStart && moved.arrowEnd) {
        *moved.arrowStart += QPointF(dx, dy);
        *moved.arrowEnd += QPointF(dx, dy);
    }
    QList<Annotation> list = m_annotations;
    list[it - m_annotations.cbegin()] = moved;
    setAnnotationsInternal(std::move(list));
}

void AnnotationStore::deleteSelectedAnnotation()
{
    if (!m_selectedAnnotationID) {
        return;
    }
    const QUuid id = *m_selectedAnnotationID;
    const auto matches = [&](const Annotation &a) { return a.id() == id; };
    if (std::none_of(m_annotations.cbegin(), m_annotations.cend(), matches)) {
        return;
    }
    pushUndoState();
    QList<Annotation> list = m_annotations;
    list.removeIf(matches);
    setAnnotationsInternal(std::move(list));
    setSelectedAnnotationID(std::nullopt);
}

void AnnotationStore::restore(QList<QList<Annotation>> &from, QList<qint64> &fromNumbers,
                              QList<QList<Annotation>> &to, QList<qint64> &toNumbers)
{
    if (from.isEmpty()) {
        return;
    }
    QList<Annotation> saved = from.takeLast();
    if (fromNumbers.isEmpty()) {
        return;
    }
    const qint64 number = fromNumbers.takeLast();
    to.append(m_annotations);
    toNumbers.append(m_nextStepNumber);
    setAnnotationsInternal(std::move(saved));
    setNextStepNumber(number);
    setSelectedAnnotationID(std::nullopt);
}

void AnnotationStore::undo()
{
    restore(m_undoStack, m_undoStepNumbers, m_redoStack, m_redoStepNumbers);
}

void AnnotationStore::redo()
{
    restore(m_redoStack, m_redoStepNumbers, m_undoStack, m_undoStepNumbers);
}

std::optional<Annotation> AnnotationStore::hitTest(const QPointF &point, double tolerance) const
{
    for (auto it = m_annotations.crbegin(); it != m_annotations.crend(); ++it) {
        if (hits(*it, point, tolerance)) {
            return *it;
        }
    }
    return std::nullopt;
}
