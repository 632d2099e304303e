// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ThumbnailContentView.h"

#include "platform/Clipboard.h"
#include "platform/FileSystem.h"
#include "platform/Log.h"
#include "platform/Workspace.h"
#include "ui/FloatingThumbnailPanel.h"
#include "ui/Symbols.h"
#include "ui/ThumbnailBadge.h"
#include "ui/ThumbnailGeometry.h"

#include <QContextMenuEvent>
#include <QDrag>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QUrl>

namespace {

// The round "pinned" marker in the top-left corner.
class PinMarker : public QWidget
{
public:
    explicit PinMarker(QWidget *parent) : QWidget(parent)
    {
        setFixedSize(20, 20);
        setAccessibleName(QStringLiteral("Pinned"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, int(255 * 0.55)));
        p.drawEllipse(QRectF(rect()));
        Symbols::paint(p, Symbols::Symbol::PinFill, QRectF(4, 4, 12, 12), Qt::white);
    }
};

const QString pinLabel = QStringLiteral("Pin Thumbnail");
const QString unpinLabel = QStringLiteral("Unpin");

} // namespace

ThumbnailContentView::ThumbnailContentView(FloatingThumbnailPanel *panel, const QImage &image, const QSize &thumbSize)
    : QWidget(panel), m_image(image), m_thumbSize(thumbSize), m_panel(panel)
{
    setMouseTracking(false);
    setFocusPolicy(Qt::NoFocus);
    startFileDrag = [this] { beginFileDrag(); };
}

QWidget *ThumbnailContentView::piiBadge() const { return m_piiBadge; }

void ThumbnailContentView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF bounds = QRectF(rect());
    // Card: window colour with a hairline separator border.
    QColor border = palette().color(QPalette::WindowText);
    border.setAlphaF(0.18);
    p.setPen(QPen(border, 0.5));
    p.setBrush(palette().color(QPalette::Window));
    p.drawRoundedRect(bounds.adjusted(0.25, 0.25, -0.25, -0.25), 12, 12);

    const QRectF imageRect(QPointF(ThumbnailGeometry::frameWidth, ThumbnailGeometry::frameWidth), QSizeF(m_thumbSize));
    if (!m_image.isNull()) {
        QPainterPath clip;
        clip.addRoundedRect(imageRect, 10, 10);
        p.save();
        p.setClipPath(clip);
        p.drawImage(imageRect, m_image);
        p.restore();
    }
    if (m_highlighted) {
        p.setPen(QPen(QColor(255, 255, 255, int(255 * 0.30)), 1));
        p.setBrush(QColor(255, 255, 255, int(255 * 0.08)));
        p.drawRoundedRect(bounds.adjusted(0.5, 0.5, -0.5, -0.5), 12, 12);
    }
}

void ThumbnailContentView::enterEvent(QEnterEvent *)
{
    if (!m_panel) {
        return;
    }
    m_panel->pauseDismissTimer();
    m_highlighted = true;
    update();
}

void ThumbnailContentView::leaveEvent(QEvent *)
{
    // The open context menu takes the pointer; that is no leaving.
    if (!m_panel || m_menuOpen) {
        return;
    }
    m_panel->startDismissTimer(FloatingThumbnailPanel::defaultSeconds);
    m_highlighted = false;
    update();
}

void ThumbnailContentView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_dragStartPoint = event->position();
    }
}

void ThumbnailContentView::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragStartPoint || !m_panel) {
        return;
    }
    const QPointF delta = event->position() - *m_dragStartPoint;
    // Screen y grows downwards; the gesture test only compares sizes, so no flip is needed.
    switch (ThumbnailGeometry::classifyDrag(delta)) {
    case ThumbnailGeometry::Gesture::None:
        return;
    case ThumbnailGeometry::Gesture::Swipe:
        m_dragStartPoint.reset();
        m_panel->dismiss(true);
        return;
    case ThumbnailGeometry::Gesture::Drag:
        m_dragStartPoint.reset();
        if (startFileDrag) {
            startFileDrag();
        }
        return;
    }
}

void ThumbnailContentView::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_dragStartPoint) {
        return;
    }
    const QPointF delta = event->position() - *m_dragStartPoint;
    m_dragStartPoint.reset();
    if (ThumbnailGeometry::isClick(delta) && m_panel) {
        m_panel->performAction(ThumbnailAction::tagScreenshot);
    }
}

void ThumbnailContentView::beginFileDrag()
{
    QPointer<FloatingThumbnailPanel> panel = m_panel;
    if (!panel) {
        return;
    }
    auto *drag = new QDrag(this);
    auto *data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile(panel->record().movedURL)});
    drag->setMimeData(data);
    if (!m_image.isNull()) {
        drag->setPixmap(QPixmap::fromImage(m_image.scaled(64, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    }
    const Qt::DropAction result = drag->exec(Qt::CopyAction);
    if (panel && result != Qt::IgnoreAction) {
        panel->dismiss(true);
    }
}

QMenu *ThumbnailContentView::buildMenu()
{
    auto *menu = new QMenu(this);
    const bool pinned = m_panel && m_panel->isPinned();
    menu->addAction(pinned ? unpinLabel : pinLabel, this, [this] {
        if (m_panel) {
            m_panel->togglePin();
        }
    });
    menu->addSeparator();
    menu->addAction(QStringLiteral("Tag in Pictrove"), this, [this] {
        if (m_panel) {
            m_panel->performAction(ThumbnailAction::tagScreenshot);
        }
    });
    menu->addAction(QStringLiteral("Annotate"), this, [this] {
        if (m_panel) {
            m_panel->performAction(ThumbnailAction::annotate);
        }
    });
    menu->addSeparator();
    menu->addAction(QStringLiteral("Copy to Clipboard"), this, &ThumbnailContentView::menuCopy);
    menu->addAction(QStringLiteral("Show in Folder"), this, &ThumbnailContentView::menuReveal);
    menu->addSeparator();
    menu->addAction(QStringLiteral("Delete Screenshot"), this, &ThumbnailContentView::menuDelete);
    menu->addSeparator();
    menu->addAction(QStringLiteral("Dismiss"), this, [this] {
        if (m_panel) {
            m_panel->dismiss(true);
        }
    });
    return menu;
}

QStringList ThumbnailContentView::contextMenuLabels() const
{
    QMenu *menu = const_cast<ThumbnailContentView *>(this)->buildMenu();
    QStringList labels;
    for (QAction *a : menu->actions()) {
        labels << (a->isSeparator() ? QStringLiteral("-") : a->text());
    }
    delete menu;
    return labels;
}

void ThumbnailContentView::runContextMenuItem(const QString &label)
{
    QMenu *menu = buildMenu();
    for (QAction *a : menu->actions()) {
        if (a->text() == label) {
            a->trigger();
            break;
        }
    }
    menu->deleteLater();
}

void ThumbnailContentView::contextMenuEvent(QContextMenuEvent *event)
{
    if (!m_panel) {
        return;
    }
    m_panel->pauseDismissTimer();
    QPointer<ThumbnailContentView> self(this);
    QMenu *menu = buildMenu();
    m_menuOpen = true;
    menu->exec(event->globalPos());
    if (!self) {
        return;
    }
    m_menuOpen = false;
    menu->deleteLater();
}

void ThumbnailContentView::menuCopy()
{
    if (!m_panel) {
        return;
    }
    Clipboard::copyFile(m_panel->record().movedURL, m_image);
    m_panel->dismiss(true);
}

void ThumbnailContentView::menuReveal()
{
    if (!m_panel) {
        return;
    }
    Workspace::reveal(m_panel->record().movedURL);
    m_panel->dismiss(true);
}

void ThumbnailContentView::menuDelete()
{
    if (!m_panel) {
        return;
    }
    const Result<QString> trashed = FileSystem::moveToTrash(m_panel->record().movedURL);
    if (!trashed) {
        Log::line(QStringLiteral("Failed to trash screenshot: ") + trashed.error());
    }
    m_panel->performAction(ThumbnailAction::deleteScreenshot);
}

void ThumbnailContentView::badgeClicked()
{
    if (m_panel) {
        m_panel->performAction(ThumbnailAction::redactPII);
    }
}

void ThumbnailContentView::showPIIBadge()
{
    if (m_piiBadge) {
        return;
    }
    m_piiBadge = new ThumbnailBadge(this);
    m_piiBadge->move(width() - 32, 8);
    connect(m_piiBadge, &QAbstractButton::clicked, this, &ThumbnailContentView::badgeClicked);
    m_piiBadge->show();
    m_piiBadge->appear();
}

void ThumbnailContentView::updatePinIndicator(bool pinned)
{
    if (pinned && !m_pinIndicator) {
        m_pinIndicator = new PinMarker(this);
        m_pinIndicator->move(8, 8);
        m_pinIndicator->show();
    } else if (!pinned && m_pinIndicator) {
        delete m_pinIndicator;
        m_pinIndicator = nullptr;
    }
}
