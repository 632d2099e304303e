// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/RecentRow.h"

#include "platform/NotificationCenter.h"
#include "platform/Workspace.h"
#include "ui/PreviewImage.h"
#include "ui/RelativeTime.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QUrl>

namespace {

constexpr QSize previewSize(36, 28);

QPixmap loadPreview(const QString &path, qreal dpr)
{
    const QImage image = PreviewImage::read(path, previewSize * dpr, Qt::KeepAspectRatioByExpanding);
    if (image.isNull()) {
        return {};
    }
    QPixmap pm = QPixmap::fromImage(image);
    pm.setDevicePixelRatio(dpr);
    return pm;
}

} // namespace

RecentRow::RecentRow(const ScreenshotRecord &record, const QDateTime &now, QWidget *parent)
    : MenuItemButton(Symbols::Symbol::Photo, record.appName, parent), m_record(record),
      m_relative(RelativeTime::format(record.timestamp, now)), m_preview(loadPreview(record.movedURL, devicePixelRatioF()))
{
    setAccessibleName(record.appName + QStringLiteral(", ") + m_relative);
    connect(this, &QAbstractButton::clicked, this, [this] { Workspace::reveal(m_record.movedURL); });
}

QString RecentRow::tagText() const
{
    const qsizetype n = m_record.tags.size();
    if (n == 0) {
        return {};
    }
    return n == 1 ? QStringLiteral("1 tag") : QStringLiteral("%1 tags").arg(n);
}

QSize RecentRow::sizeHint() const { return QSize(200, previewSize.height() + 10); }

void RecentRow::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    paintBackground(p);
    const QRect inner = rect().adjusted(8, 5, -8, -5);
    const QRectF previewRect(inner.left(), inner.center().y() - previewSize.height() / 2.0 + 0.5, previewSize.width(),
                             previewSize.height());
    QPainterPath clip;
    clip.addRoundedRect(previewRect, 4, 4);
    QColor fill = palette().color(QPalette::WindowText);
    fill.setAlphaF(0.08);
    if (!m_preview.isNull()) {
        p.save();
        p.setClipPath(clip);
        const QSizeF pm = m_preview.deviceIndependentSize();
        p.drawPixmap(QPointF(previewRect.center().x() - pm.width() / 2, previewRect.center().y() - pm.height() / 2),
                     m_preview);
        p.restore();
    } else {
        p.fillPath(clip, fill);
        QColor symbol = palette().color(QPalette::WindowText);
        symbol.setAlphaF(0.5);
        Symbols::paint(p, Symbols::Symbol::Photo, QRectF(previewRect.center() - QPointF(6, 6), QSizeF(12, 12)), symbol);
    }

    QFont caption = font();
    caption.setPointSizeF(font().pointSizeF() * 0.92);
    QFont caption2 = font();
    caption2.setPointSizeF(font().pointSizeF() * 0.85);
    const QColor primary = palette().color(QPalette::WindowText);
    QColor secondary = primary;
    secondary.setAlphaF(0.6);
    QColor tertiary = primary;
    tertiary.setAlphaF(0.4);

    QRect text = inner.adjusted(previewSize.width() + 8, 0, 0, 0);
    const QString tags = tagText();
    if (!tags.isEmpty()) {
        p.setFont(caption2);
        p.setPen(tertiary);
        const int w = QFontMetrics(caption2).horizontalAdvance(tags);
        p.drawText(QRect(text.right() - w, text.top(), w, text.height()), Qt::AlignVCenter | Qt::AlignRight, tags);
        text.setRight(text.right() - w - 8);
    }
    const int half = text.height() / 2;
    p.setFont(caption);
    p.setPen(primary);
    p.drawText(QRect(text.left(), text.top(), text.width(), half), Qt::AlignBottom | Qt::AlignLeft,
               QFontMetrics(caption).elidedText(m_record.appName, Qt::ElideRight, text.width()));
    p.setFont(caption2);
    p.setPen(secondary);
    p.drawText(QRect(text.left(), text.top() + half + 1, text.width(), half), Qt::AlignTop | Qt::AlignLeft, m_relative);
}

void RecentRow::runContextMenuItem(const QString &label)
{
    if (label == QLatin1String("Annotate")) {
        NotificationCenter::defaultCenter().post(NotificationCenter::openAnnotationEditor,
                                                 {{QStringLiteral("url"), QUrl::fromLocalFile(m_record.movedURL)}});
    } else if (label == QLatin1String("Show in Folder")) {
        Workspace::reveal(m_record.movedURL);
    }
}

void RecentRow::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu(this);
    const QColor fg = palette().color(QPalette::WindowText);
    menu.addAction(Symbols::icon(Symbols::Symbol::Pencil, fg), QStringLiteral("Annotate"), this,
                   [this] { runContextMenuItem(QStringLiteral("Annotate")); });
    menu.addAction(Symbols::icon(Symbols::Symbol::Folder, fg), QStringLiteral("Show in Folder"), this,
                   [this] { runContextMenuItem(QStringLiteral("Show in Folder")); });
    menu.exec(event->globalPos());
}
