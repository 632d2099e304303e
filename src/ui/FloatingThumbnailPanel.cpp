// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/FloatingThumbnailPanel.h"

#include "platform/X11Compositing.h"
#include "ui/ThumbnailContentView.h"
#include "ui/ThumbnailGeometry.h"

#include <QCursor>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QPainterPath>
#include <QPropertyAnimation>
#include <QScreen>

namespace {

bool shadowsForced = false;
constexpr int shadowMargin = 14;

QImage loadImage(const QString &path)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    return reader.read();
}

} // namespace

void FloatingThumbnailPanel::setShadowsForced(bool forced) { shadowsForced = forced; }

QRect FloatingThumbnailPanel::targetVisibleArea()
{
    QScreen *screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen) {
        screen = QGuiApplication::primaryScreen();
    }
    return screen ? screen->availableGeometry() : QRect(0, 0, 0, 0);
}

FloatingThumbnailPanel::FloatingThumbnailPanel(const ScreenshotRecord &record)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus |
                           Qt::X11BypassWindowManagerHint | Qt::NoDropShadowWindowHint),
      m_record(record)
{
    // Not managed by the window manager: it cannot take the focus from the user's window and
    // stays put on every workspace.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_X11DoNotAcceptFocus);
    setFocusPolicy(Qt::NoFocus);
    setWindowTitle(QStringLiteral("Pictrove Thumbnail"));
    setAccessibleName(QStringLiteral("Screenshot thumbnail"));

    const QImage image = loadImage(record.movedURL);
    const QSize thumb = ThumbnailGeometry::previewSize(image.size());
    const QSize panel = ThumbnailGeometry::panelSize(thumb);

    if (shadowsForced || X11Compositing::isActive()) {
        setAttribute(Qt::WA_TranslucentBackground);
        m_margin = shadowMargin;
    }
    setFixedSize(panel + QSize(2 * m_margin, 2 * m_margin));
    m_content = new ThumbnailContentView(this, image, thumb);
    m_content->setGeometry(QRect(QPoint(m_margin, m_margin), panel));
    if (m_margin == 0) {
        // Without a compositor only a shape gives round corners.
        QPainterPath path;
        path.addRoundedRect(QRectF(QPointF(0, 0), panel), 12, 12);
        setMask(QRegion(path.toFillPolygon().toPolygon()));
    }

    const QRect visible = targetVisibleArea();
    setFramePosition(ThumbnailGeometry::offscreenPosition(visible, panel, 0));

    m_dismissTimer.setSingleShot(true);
    connect(&m_dismissTimer, &QTimer::timeout, this, [this] { dismiss(true); });
}

FloatingThumbnailPanel::~FloatingThumbnailPanel() = default;

QSize FloatingThumbnailPanel::panelSize() const { return size() - QSize(2 * m_margin, 2 * m_margin); }

QPoint FloatingThumbnailPanel::framePosition() const { return pos() + QPoint(m_margin, m_margin); }

void FloatingThumbnailPanel::setFramePosition(const QPoint &p) { move(p - QPoint(m_margin, m_margin)); }

void FloatingThumbnailPanel::animateTo(const QPoint &target, int ms, int easing, std::function<void()> finished)
{
    if (m_animation) {
        m_animation->stop();
        delete m_animation;
    }
    auto *animation = new QPropertyAnimation(this, "framePosition", this);
    animation->setStartValue(framePosition());
    animation->setEndValue(target);
    animation->setDuration(ms);
    animation->setEasingCurve(QEasingCurve::Type(easing));
    if (finished) {
        connect(animation, &QPropertyAnimation::finished, this, std::move(finished));
    }
    m_animation = animation;
    animation->start();
}

void FloatingThumbnailPanel::show(int stackOffset)
{
    const QRect visible = targetVisibleArea();
    const QSize panel = panelSize();
    setFramePosition(ThumbnailGeometry::offscreenPosition(visible, panel, stackOffset));
    m_restX = ThumbnailGeometry::restingPosition(visible, panel, stackOffset).x();
    QWidget::show();
    raise();
    animateTo(ThumbnailGeometry::restingPosition(visible, panel, stackOffset), showMs, QEasingCurve::OutCubic);
    startDismissTimer(defaultSeconds);
}

void FloatingThumbnailPanel::dismiss(bool animated, std::function<void()> completion)
{
    m_dismissTimer.stop();
    // A panel already on its way out finishes that way; a second request must not report twice.
    if (m_dismissing) {
        return;
    }
    m_dismissing = true;
    auto finish = [this, completion = std::move(completion), dismissed = onDismissed] {
        hide();
        if (completion) {
            completion();
        }
        if (dismissed) {
            dismissed();
        }
    };
    if (!animated) {
        if (m_animation) {
            m_animation->stop();
        }
        finish();
        return;
    }
    const QRect visible = targetVisibleArea();
    animateTo(QPoint(visible.x() + visible.width() + ThumbnailGeometry::offscreenGap, framePosition().y()), dismissMs,
              QEasingCurve::InCubic, std::move(finish));
}

void FloatingThumbnailPanel::startDismissTimer(int seconds)
{
    if (m_pinned || m_dismissing) {
        return;
    }
    m_dismissTimer.start(seconds * 1000);
}

void FloatingThumbnailPanel::pauseDismissTimer() { m_dismissTimer.stop(); }

void FloatingThumbnailPanel::togglePin()
{
    m_pinned = !m_pinned;
    if (m_pinned) {
        m_dismissTimer.stop();
    } else if (!m_dismissing) {
        m_dismissTimer.start(defaultSeconds * 1000);
    }
    m_content->updatePinIndicator(m_pinned);
}

void FloatingThumbnailPanel::performAction(ThumbnailAction action)
{
    const std::function<void(ThumbnailAction)> handler = onAction;
    dismiss(true, [handler, action] {
        if (handler) {
            handler(action);
        }
    });
}

void FloatingThumbnailPanel::moveTo(int y)
{
    if (m_dismissing) {
        return;
    }
    // A panel still sliding in keeps heading for its resting place.
    const int x = isVisible() ? m_restX : framePosition().x();
    animateTo(QPoint(x, y), moveMs, QEasingCurve::InOutQuad);
}

void FloatingThumbnailPanel::paintEvent(QPaintEvent *)
{
    if (m_margin == 0) {
        return;
    }
    // A soft shadow below the panel: black, strongest near the edge, a little lower than the panel.
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    const QRectF panel(QPointF(m_margin, m_margin + 3), QSizeF(panelSize()));
    const int steps = 10;
    for (int i = steps; i >= 1; --i) {
        const qreal grow = i * 1.0;
        const qreal alpha = 0.35 * (1.0 - qreal(i) / (steps + 1)) / steps * 2.2;
        p.setBrush(QColor(0, 0, 0, int(255 * alpha)));
        p.drawRoundedRect(panel.adjusted(-grow, -grow, grow, grow), 12 + grow, 12 + grow);
    }
}
