// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointF>
#include <QPixmap>
#include <QPointer>
#include <QRectF>
#include <QWidget>

#include <optional>

class AnnotationStore;
#include <QLineEdit>

// The editor's drawing area: the screenshot fitted and centred, the annotations over it, and the
// gestures that make, select, move and delete them. Draws through AnnotationRenderer only, the
// same code that renders the saved copy.
class AnnotationCanvasView : public QWidget
{
    Q_OBJECT

public:
    static constexpr double kHitTolerance = 8;   // image pixels
    static constexpr double kBadgeSide = 32;     // view points
    static constexpr double kMinimumShape = 2;   // a drag must exceed it both ways (view points)
    static constexpr QSize kTextFieldSize{250, 28};

    explicit AnnotationCanvasView(AnnotationStore &store, QWidget *parent = nullptr);

    AnnotationStore &store() const { return m_store; }

    QRectF imageRect() const;
    QPointF viewToImage(const QPointF &p) const;
    QPointF imageToView(const QPointF &p) const;
    QRectF imageToView(const QRectF &r) const;

    QLineEdit *activeTextField() const { return m_activeTextField; }
    // Turns the open text entry into an annotation (when it holds more than blanks) and closes it.
    void textFieldDidReturn();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QSizeF pixelSize() const;
    void beginTextEntry(const QPointF &p);
    void placeStepBadge(const QPointF &p);
    void finishShape(const QPointF &o, const QPointF &p);
    // The view area the drag preview from the origin to `end` can paint on.
    QRect previewBounds(const QPointF &end) const;
    const QPixmap &scaledImage();

    AnnotationStore &m_store;
    std::optional<QPointF> m_dragOrigin;
    std::optional<QPointF> m_currentDragEnd;
    bool m_isDragging = false;
    bool m_isMoving = false;
    std::optional<QPointF> m_moveLastPoint;
    QPointer<QLineEdit> m_activeTextField;
    std::optional<QPointF> m_textOriginInImage;
    // The screenshot at its present on-screen size: scaling a large capture on every paint would
    // cost more than the rest of the drawing.
    QPixmap m_scaled;
};
