// SPDX-License-Identifier: GPL-3.0-or-later
#include "tags/widgets/TagChipView.h"

#include "ui/SurfaceParts.h"
#include "ui/Symbols.h"

#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionFocusRect>

namespace {

constexpr int dotSize = 8;
constexpr int markSize = 10;
constexpr int gap = 4;
constexpr int padX = 8;
constexpr int padY = 4;
constexpr qreal radius = 12;

using SurfaceParts::withAlpha;

// The small "x" in a disc at the end of a removable chip.
class RemoveMark : public QAbstractButton
{
public:
    explicit RemoveMark(QWidget *parent) : QAbstractButton(parent)
    {
        setFixedSize(markSize, markSize);
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::NoFocus); // the chip itself removes on Space
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        const QColor c = withAlpha(palette().color(QPalette::WindowText), underMouse() ? 0.75 : 0.5);
        Symbols::paint(p, Symbols::Symbol::XmarkCircleFill, QRectF(rect()), c);
    }
};

} // namespace

TagChipView::TagChipView(const TagItem &tag, bool isRemovable, bool isSelected, QWidget *parent)
    : QAbstractButton(parent), m_tag(tag)
{
    setCheckable(true);
    setChecked(isSelected);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setText(tag.name);
    setAccessibleName(tag.name);
    setFont(nameFont());
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    if (isRemovable) {
        m_remove = new RemoveMark(this);
        m_remove->setAccessibleName(QStringLiteral("Remove ") + tag.name);
        connect(m_remove, &QAbstractButton::clicked, this, [this] {
            if (onRemove) {
                onRemove();
            }
        });
    }
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (onTap) {
            onTap();
        }
    });
}

QFont TagChipView::nameFont() const
{
    QFont f = QWidget::font();
    f.setPointSizeF(f.pointSizeF() * 0.85);
    return f;
}

void TagChipView::setSelected(bool selected)
{
    if (selected != isChecked()) {
        setChecked(selected);
        update();
    }
}

QSize TagChipView::sizeHint() const
{
    const QFontMetrics fm(font());
    int w = padX + dotSize + gap + fm.horizontalAdvance(m_tag.name) + padX;
    if (m_remove) {
        w += gap + markSize;
    }
    const int h = std::max({fm.height(), dotSize, m_remove ? markSize : 0}) + 2 * padY;
    return QSize(w, h);
}

void TagChipView::resizeEvent(QResizeEvent *)
{
    if (m_remove) {
        m_remove->move(width() - padX - markSize, (height() - markSize) / 2);
    }
}

void TagChipView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor color = m_tag.color();
    const QRectF bounds = QRectF(rect());
    const bool selected = isChecked();

    p.setPen(Qt::NoPen);
    p.setBrush(withAlpha(color, selected ? 0.25 : 0.1));
    p.drawRoundedRect(bounds, radius, radius);
    if (selected) {
        // A 1-point line along the inside of the shape.
        p.setPen(QPen(withAlpha(color, 0.5), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(bounds.adjusted(0.5, 0.5, -0.5, -0.5), radius - 0.5, radius - 0.5);
    }
    if (hasFocus()) {
        p.setPen(QPen(palette().color(QPalette::Highlight), 2));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(bounds.adjusted(1, 1, -1, -1), radius - 1, radius - 1);
    }

    const qreal cy = bounds.center().y();
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(QRectF(padX, cy - dotSize / 2.0, dotSize, dotSize));

    p.setPen(palette().color(QPalette::WindowText));
    p.setFont(font());
    const int textLeft = padX + dotSize + gap;
    const int textRight = m_remove ? width() - padX - markSize - gap : width() - padX;
    p.drawText(QRect(textLeft, 0, textRight - textLeft, height()), Qt::AlignVCenter | Qt::AlignLeft, m_tag.name);
}
