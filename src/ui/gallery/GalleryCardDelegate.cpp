// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/gallery/GalleryCardDelegate.h"

#include "ui/SurfaceParts.h"
#include "ui/Symbols.h"
#include "ui/gallery/GalleryGrid.h"
#include "ui/gallery/GalleryModel.h"
#include "ui/gallery/GalleryThumbnails.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>

namespace {

constexpr int half = GalleryGrid::spacing / 2;
constexpr int gap = 6;      // between the thumbnail and the text
constexpr int textPad = 4;  // around the text
constexpr int radius = 8;

using SurfaceParts::withAlpha;

QRect cardRect(const QRect &cell) { return cell.adjusted(half, half, -half, -half); }

} // namespace

GalleryCardDelegate::GalleryCardDelegate(const GalleryModel &model, const GalleryThumbnails &thumbnails, QObject *parent)
    : QStyledItemDelegate(parent), m_model(model), m_thumbnails(thumbnails)
{
}

QFont GalleryCardDelegate::captionFont(const QFont &base)
{
    QFont f = base;
    f.setPointSizeF(base.pointSizeF() * 0.9);
    f.setWeight(QFont::Medium);
    return f;
}

QFont GalleryCardDelegate::caption2Font(const QFont &base)
{
    QFont f = base;
    f.setPointSizeF(base.pointSizeF() * 0.82);
    return f;
}

int GalleryCardDelegate::cardHeight(const QFont &font)
{
    return GalleryGrid::thumbnailHeight + gap + textPad + QFontMetrics(captionFont(font)).height() + 2
        + QFontMetrics(caption2Font(font)).height() + textPad;
}

QRect GalleryCardDelegate::shieldRect(const QRect &cell)
{
    const QRect card = cardRect(cell);
    constexpr int size = 14 + 2 * 5;
    return QRect(card.right() - 6 - size + 1, card.top() + 6, size, size);
}

QSize GalleryCardDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const
{
    return m_cell.isValid() ? m_cell : QSize(GalleryGrid::minCardWidth, cardHeight(option.font)) + QSize(12, 12);
}

void GalleryCardDelegate::paint(QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const GalleryItem &item = m_model.itemAt(index.row());
    const QPalette &pal = option.palette;
    const QColor text = pal.color(QPalette::Text);
    const QRect card = cardRect(option.rect);
    const QRect thumb(card.left(), card.top(), card.width(), GalleryGrid::thumbnailHeight);
    p->save();
    p->setRenderHint(QPainter::Antialiasing);
    p->setRenderHint(QPainter::SmoothPixmapTransform);

    const bool selected = option.state & QStyle::State_Selected;
    const bool focused = option.state & QStyle::State_HasFocus;
    const bool hovered = option.state & QStyle::State_MouseOver;
    if (selected || hovered) {
        p->setPen(Qt::NoPen);
        p->setBrush(withAlpha(pal.color(QPalette::Highlight), selected ? 0.18 : 0.07));
        p->drawRoundedRect(QRectF(card).adjusted(-3, -3, 3, 3), radius + 2, radius + 2);
    }

    QPainterPath clip;
    clip.addRoundedRect(QRectF(thumb), radius, radius);
    const QPixmap pm = m_thumbnails.pixmap(item.url);
    if (!pm.isNull()) {
        // Fill and crop: the middle part of the picture with the area's proportions.
        const QSizeF src = QSizeF(thumb.size()).scaled(pm.size(), Qt::KeepAspectRatio);
        const QRectF source((pm.width() - src.width()) / 2, (pm.height() - src.height()) / 2, src.width(), src.height());
        p->setClipPath(clip);
        p->drawPixmap(QRectF(thumb), pm, source);
        p->setClipping(false);
    } else {
        p->fillPath(clip, withAlpha(text, 0.07));
        const int s = 28;
        Symbols::paint(*p, Symbols::Symbol::Photo, QRectF(thumb.center().x() - s / 2.0, thumb.center().y() - s / 2.0, s, s),
                       withAlpha(text, 0.3));
    }
    if (selected || focused) {
        p->setPen(QPen(pal.color(QPalette::Highlight), selected ? 2.5 : 1.5));
        p->setBrush(Qt::NoBrush);
        p->drawRoundedRect(QRectF(thumb).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    }
    if (item.hasPII) {
        const QRect shield = shieldRect(option.rect);
        p->setPen(Qt::NoPen);
        p->setBrush(QColor(0, 0, 0, 128));
        p->drawEllipse(shield);
        Symbols::paint(*p, Symbols::Symbol::ExclamationShield, QRectF(shield).adjusted(5, 5, -5, -5), Qt::white,
                       QColor(0xff, 0x95, 0x00));
    }

    // Application, then the date and the tags on one line.
    const QRect textArea(card.left() + textPad, thumb.bottom() + 1 + gap + textPad, card.width() - 2 * textPad,
                         card.bottom() - thumb.bottom() - gap - textPad);
    const QFont caption = captionFont(option.font);
    const QFont caption2 = caption2Font(option.font);
    const QFontMetrics fm1(caption), fm2(caption2);
    p->setFont(caption);
    p->setPen(text);
    p->drawText(QRect(textArea.left(), textArea.top(), textArea.width(), fm1.height()), Qt::AlignLeft | Qt::AlignVCenter,
                fm1.elidedText(item.appName, Qt::ElideRight, textArea.width()));
    const QRect line2(textArea.left(), textArea.top() + fm1.height() + 2, textArea.width(), fm2.height());
    const QString date = m_model.dateText(index.row());
    p->setFont(caption2);
    p->setPen(withAlpha(text, 0.62));
    const QString shownDate = fm2.elidedText(date, Qt::ElideRight, line2.width());
    p->drawText(line2, Qt::AlignLeft | Qt::AlignVCenter, shownDate);
    if (!item.tags.isEmpty()) {
        const int used = fm2.horizontalAdvance(shownDate);
        const QRect rest = line2.adjusted(used, 0, 0, 0);
        if (rest.width() > fm2.horizontalAdvance(QStringLiteral("· …"))) {
            p->setPen(withAlpha(text, 0.42));
            p->drawText(rest, Qt::AlignLeft | Qt::AlignVCenter,
                        fm2.elidedText(QStringLiteral(" · ") + item.tags.join(QStringLiteral(", ")), Qt::ElideRight,
                                       rest.width()));
        }
    }
    p->restore();
}

bool GalleryCardDelegate::helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                                    const QModelIndex &index)
{
    if (event->type() == QEvent::ToolTip && index.isValid()) {
        if (m_model.itemAt(index.row()).hasPII && shieldRect(option.rect).contains(event->pos())) {
            QToolTip::showText(event->globalPos(), QStringLiteral("Sensitive info detected in this screenshot"), view);
            return true;
        }
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    return QStyledItemDelegate::helpEvent(event, view, option, index);
}
