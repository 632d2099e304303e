// SPDX-License-Identifier: GPL-3.0-or-later
#include "annotation/widgets/AnnotationCanvasView.h"

#include "annotation/AnnotationRenderer.h"
#include "annotation/AnnotationStore.h"
#include "annotation/CanvasMapping.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

AnnotationCanvasView::AnnotationCanvasView(AnnotationStore &store, QWidget *parent) : QWidget(parent), m_store(store)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(QStringLiteral("Screenshot"));
    setAccessibleDescription(QStringLiteral("Drawing area: draw with the chosen tool"));
    connect(&m_store, &AnnotationStore::changed, this, qOverload<>(&QWidget::update));
}

QSizeF AnnotationCanvasView::pixelSize() const
{
    return QSizeF(m_store.originalImage().size());
}

QRectF AnnotationCanvasView::imageRect() const
{
    const QImage &image = m_store.originalImage();
    const double dpr = image.devicePixelRatio() > 0 ? image.devicePixelRatio() : 1;
    return CanvasMapping::imageRect(QSizeF(size()), QSizeF(image.size()) / dpr);
}

QPointF AnnotationCanvasView::viewToImage(const QPointF &p) const
{
    return CanvasMapping::viewToImage(p, imageRect(), pixelSize());
}

QPointF AnnotationCanvasView::imageToView(const QPointF &p) const
{
    return CanvasMapping::imageToView(p, imageRect(), pixelSize());
}

QRectF AnnotationCanvasView::imageToView(const QRectF &r) const
{
    return CanvasMapping::imageToView(r, imageRect(), pixelSize());
}

void AnnotationCanvasView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPointF p = event->position();
    const AnnotationTool tool = m_store.currentTool();
    if (tool != AnnotationTool::cursor) {
        // A press with a drawing tool always clears the selection, even over an annotation.
        m_store.setSelectedAnnotationID(std::nullopt);
        switch (tool) {
        case AnnotationTool::text:
            beginTextEntry(p);
            return;
        case AnnotationTool::stepNumber:
            placeStepBadge(p);
            return;
        default:
            m_dragOrigin = p;
            m_currentDragEnd = p;
            m_isDragging = true;
            return;
        }
    }
    const QPointF q = viewToImage(p);
    if (const std::optional<Annotation> hit = m_store.hitTest(q, kHitTolerance)) {
        m_store.setSelectedAnnotationID(hit->id());
        m_isMoving = true;
        m_moveLastPoint = q;
    } else {
        m_store.setSelectedAnnotationID(std::nullopt);
    }
    update();
}

void AnnotationCanvasView::mouseMoveEvent(QMouseEvent *event)
{
    const QPointF p = event->position();
    if (m_isMoving && m_moveLastPoint) {
        const QPointF q = viewToImage(p);
        const QPointF d = q - *m_moveLastPoint;
        m_store.moveSelectedAnnotation(d.x(), d.y());
        m_moveLastPoint = q;
        update();
    } else if (m_isDragging) {
        // Only the area the preview covered and now covers changes.
        const QRect dirty = previewBounds(m_currentDragEnd.value_or(p)).united(previewBounds(p));
        m_currentDragEnd = p;
        update(dirty);
    }
}

void AnnotationCanvasView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    if (m_isMoving) {
        m_isMoving = false;
        m_moveLastPoint.reset();
        return;
    }
    if (!m_isDragging || !m_dragOrigin) {
        return;
    }
    const QPointF o = *m_dragOrigin;
    m_isDragging = false;
    m_dragOrigin.reset();
    m_currentDragEnd.reset();
    finishShape(o, event->position());
    update();
}

void AnnotationCanvasView::finishShape(const QPointF &o, const QPointF &p)
{
    const AnnotationTool tool = m_store.currentTool();
    const QColor color = m_store.currentColor();
    const double width = m_store.strokeWidth();
    switch (tool) {
    case AnnotationTool::rectangle:
    case AnnotationTool::ellipse:
    case AnnotationTool::blur:
    case AnnotationTool::redact: {
        const QRectF q = QRectF(o, p).normalized();
        if (q.width() > kMinimumShape && q.height() > kMinimumShape) {
            const QPointF a = viewToImage(q.topLeft());
            const QPointF b = viewToImage(q.bottomRight());
            m_store.addAnnotation(Annotation(tool, QRectF(a, b), color, width));
        }
        break;
    }
    case AnnotationTool::arrow:
        // No minimum length: a click makes a zero-length arrow.
        m_store.addAnnotation(Annotation(tool, QRectF(), color, width, std::nullopt, std::nullopt, viewToImage(o),
                                         viewToImage(p)));
        break;
    default:
        break;
    }
}

void AnnotationCanvasView::placeStepBadge(const QPointF &p)
{
    const QPointF c = viewToImage(p);
    const QRectF r = imageRect();
    // 32 points wide at the present zoom, so its size in the image depends on the window's size.
    const double side = r.width() > 0 ? pixelSize().width() / r.width() * kBadgeSide : kBadgeSide;
    const double size = side > 0 ? side : kBadgeSide;
    m_store.addAnnotation(Annotation(AnnotationTool::stepNumber, QRectF(c.x() - size / 2, c.y() - size / 2, size, size),
                                     m_store.currentColor(), m_store.strokeWidth(), std::nullopt,
                                     m_store.nextStepNumber()));
    update();
}

void AnnotationCanvasView::beginTextEntry(const QPointF &p)
{
    textFieldDidReturn();
    m_textOriginInImage = viewToImage(p);
    auto *field = new QLineEdit(this);
    field->setGeometry(QRect(QPoint(int(std::lround(p.x())), int(std::lround(p.y()))), kTextFieldSize));
    field->setPlaceholderText(QStringLiteral("Type annotation text..."));
    field->setAccessibleName(QStringLiteral("Annotation text"));
    QFont font = field->font();
    font.setPixelSize(14);
    field->setFont(font);
    field->setFrame(false);
    const QColor color = m_store.currentColor().isValid() ? m_store.currentColor() : QColor(Qt::red);
    const QColor ring = palette().color(QPalette::Highlight);
    // White behind the text whatever the theme, with a focus ring drawn outside the text.
    field->setStyleSheet(QStringLiteral("QLineEdit { background: white; color: %1; border: 2px solid %2;"
                                        " border-radius: 3px; padding: 0 3px; }")
                             .arg(color.name(QColor::HexArgb), ring.name()));
    connect(field, &QLineEdit::returnPressed, this, &AnnotationCanvasView::textFieldDidReturn);
    field->show();
    if (window()->isVisible()) {
        field->setFocus(Qt::MouseFocusReason);
    }
    m_activeTextField = field;
}

void AnnotationCanvasView::textFieldDidReturn()
{
    if (!m_activeTextField || !m_textOriginInImage) {
        return;
    }
    QString text = m_activeTextField->text();
    const auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    qsizetype start = 0, end = text.size();
    while (start < end && blank(text[start])) {
        ++start;
    }
    while (end > start && blank(text[end - 1])) {
        --end;
    }
    text = text.mid(start, end - start);
    if (!text.isEmpty()) {
        m_store.addAnnotation(Annotation(AnnotationTool::text, QRectF(*m_textOriginInImage, QSizeF(0, 0)),
                                         m_store.currentColor(), m_store.strokeWidth(), text, std::nullopt,
                                         std::nullopt, std::nullopt, m_store.fontSize()));
    }
    QLineEdit *field = m_activeTextField;
    m_activeTextField = nullptr;
    m_textOriginInImage.reset();
    const bool hadFocus = field->hasFocus();
    field->hide();
    field->deleteLater();
    if (hadFocus) {
        setFocus(Qt::OtherFocusReason);
    }
    update();
}

void AnnotationCanvasView::keyPressEvent(QKeyEvent *event)
{
    const bool deleteKey = event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete;
    if (deleteKey && m_store.currentTool() == AnnotationTool::cursor && m_store.selectedAnnotationID()) {
        m_store.deleteSelectedAnnotation();
        update();
        return;
    }
    event->ignore(); // on to the window's other handlers
}

QRect AnnotationCanvasView::previewBounds(const QPointF &end) const
{
    if (!m_dragOrigin) {
        return QRect();
    }
    // Room for the stroke and an arrow head, which reaches past the end.
    const double margin = 4 + std::max(15.0, 5 * m_store.strokeWidth()) + m_store.strokeWidth();
    return QRectF(*m_dragOrigin, end).normalized().adjusted(-margin, -margin, margin, margin).toAlignedRect();
}

void AnnotationCanvasView::resizeEvent(QResizeEvent *event)
{
    m_scaled = QPixmap();
    QWidget::resizeEvent(event);
}

const QPixmap &AnnotationCanvasView::scaledImage()
{
    const QImage &image = m_store.originalImage();
    const QSize target = (imageRect().size() * devicePixelRatioF()).toSize();
    if (!image.isNull() && m_scaled.size() != target && !target.isEmpty()) {
        QImage scaled = image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        scaled.setDevicePixelRatio(devicePixelRatioF());
        m_scaled = QPixmap::fromImage(std::move(scaled));
    }
    return m_scaled;
}

void AnnotationCanvasView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setClipRegion(event->region());
    painter.fillRect(rect(), palette().color(QPalette::Base));
    const QRectF r = imageRect();
    if (!m_store.originalImage().isNull()) {
        painter.drawPixmap(r.topLeft(), scaledImage());
    }
    const QTransform toView = CanvasMapping::imageToViewTransform(r, pixelSize());
    const AnnotationRenderer::Target target = AnnotationRenderer::Target::canvas(toView, &m_store.originalImage());
    const std::optional<QUuid> selected = m_store.selectedAnnotationID();
    const QColor accent = palette().color(QPalette::Highlight);
    for (const Annotation &a : m_store.annotations()) {
        AnnotationRenderer::drawAnnotation(painter, a, target);
        if (selected && a.id() == *selected) {
            AnnotationRenderer::drawSelection(painter, a, toView, accent);
        }
    }
    if (m_isDragging && m_dragOrigin && m_currentDragEnd) {
        AnnotationRenderer::drawDragPreview(painter, m_store.currentTool(), m_store.currentColor(),
                                            m_store.strokeWidth(), *m_dragOrigin, *m_currentDragEnd);
    }
}
