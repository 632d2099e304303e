// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "annotation/Annotation.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QObject>
#include <QUrl>
#include <QUuid>

#include <optional>

// The model of one open editor: the screenshot, its annotations, the tool settings, the
// selection and the undo history. Shared by the views of that editor; main thread only.
// Every published field announces its change with its own signal and with `changed`.
class AnnotationStore : public QObject
{
    Q_OBJECT

public:
    // Loads the screenshot; a file that cannot be read gives an empty image and the store
    // works on regardless.
    explicit AnnotationStore(const QString &imagePath, QObject *parent = nullptr);

    const QList<Annotation> &annotations() const { return m_annotations; }
    // The editor's initial list, set right after creation; not recorded for undo.
    void setAnnotations(const QList<Annotation> &annotations);

    AnnotationTool currentTool() const { return m_currentTool; }
    void setCurrentTool(AnnotationTool tool);
    QColor currentColor() const { return m_currentColor; }
    void setCurrentColor(const QColor &color);
    double strokeWidth() const { return m_strokeWidth; }
    void setStrokeWidth(double width);
    double fontSize() const { return m_fontSize; }
    void setFontSize(double size);
    qint64 nextStepNumber() const { return m_nextStepNumber; }
    std::optional<QUuid> selectedAnnotationID() const { return m_selectedAnnotationID; }
    void setSelectedAnnotationID(std::optional<QUuid> id);

    const QList<QList<Annotation>> &undoStack() const { return m_undoStack; }
    const QList<QList<Annotation>> &redoStack() const { return m_redoStack; }
    const QList<qint64> &undoStepNumbers() const { return m_undoStepNumbers; }
    const QList<qint64> &redoStepNumbers() const { return m_redoStepNumbers; }
    bool canUndo() const { return !m_undoStack.isEmpty(); }
    bool canRedo() const { return !m_redoStack.isEmpty(); }

    QString imagePath() const { return m_imagePath; }
    QUrl imageURL() const { return QUrl::fromLocalFile(m_imagePath); }
    // The screenshot as loaded; never modified. Its device pixel ratio is pixels per point.
    const QImage &originalImage() const { return m_originalImage; }

    // Records the present annotations and step number for undo and forgets the redo history.
    void pushUndoState();
    void addAnnotation(const Annotation &annotation);
    // One undo step for the whole list; an empty list records nothing.
    void addAnnotations(const QList<Annotation> &annotations);
    // One undo step per call: the canvas calls it for every drag event of a move.
    void moveSelectedAnnotation(double dx, double dy);
    void deleteSelectedAnnotation();
    void undo();
    void redo();

    // The topmost annotation at the point (image pixels) within the tolerance, or nothing.
    std::optional<Annotation> hitTest(const QPointF &point, double tolerance) const;

signals:
    void annotationsChanged();
    void currentToolChanged(AnnotationTool tool);
    void currentColorChanged(const QColor &color);
    void strokeWidthChanged(double width);
    void fontSizeChanged(double size);
    void nextStepNumberChanged(qint64 number);
    void selectedAnnotationIDChanged();
    // Any published field changed; views redraw on it.
    void changed();

private:
    void setAnnotationsInternal(QList<Annotation> annotations);
    void setNextStepNumber(qint64 number);
    void restore(QList<QList<Annotation>> &from, QList<qint64> &fromNumbers, QList<QList<Annotation>> &to,
                 QList<qint64> &toNumbers);

    QList<Annotation> m_annotations;
    AnnotationTool m_currentTool = AnnotationTool::cursor;
    QColor m_currentColor;
    double m_strokeWidth = 3;
    double m_fontSize = 16;
    qint64 m_nextStepNumber = 1;
    std::optional<QUuid> m_selectedAnnotationID;
    QList<QList<Annotation>> m_undoStack;
    QList<QList<Annotation>> m_redoStack;
    QList<qint64> m_undoStepNumbers;
    QList<qint64> m_redoStepNumbers;
    QString m_imagePath;
    QImage m_originalImage;
};
