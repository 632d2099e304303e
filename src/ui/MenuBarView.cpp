// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/MenuBarView.h"

#include "platform/FileSystem.h"
#include "platform/NotificationCenter.h"
#include "platform/Workspace.h"
#include "ui/MenuItemButton.h"
#include "ui/RecentRow.h"
#include "ui/RecentWindow.h"
#include "ui/SurfaceParts.h"
#include "ui/Symbols.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QUrl>
#include <QVariantAnimation>

namespace {

using Symbol = Symbols::Symbol;

using SurfaceParts::Divider;
using SurfaceParts::scaled;
using SurfaceParts::withAlpha;
using SymbolLabel = SurfaceParts::SymbolView;

class StatusDot : public QWidget
{
public:
    explicit StatusDot(QWidget *parent) : QWidget(parent) { setFixedSize(6, 6); }
    bool green = false;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(green ? QColor(0x34, 0xc7, 0x59) : QColor(0xff, 0x3b, 0x30));
        p.drawEllipse(QRectF(rect()));
    }
};

} // namespace

MenuBarView::MenuBarView(QWidget *parent) : QWidget(parent), m_now(QDateTime::currentDateTime())
{
    setFixedWidth(panelWidth);
    setAccessibleName(QStringLiteral("Pictrove"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(8);

    // Header.
    auto *header = new QHBoxLayout;
    header->setSpacing(6);
    header->addWidget(new SymbolLabel(Symbol::CameraViewfinder, 18, [](const QPalette &) { return QColor(0x0a, 0x84, 0xff); }, this));
    auto *title = new QLabel(QStringLiteral("Pictrove"), this);
    title->setFont(scaled(font(), 1.0, QFont::DemiBold));
    header->addWidget(title);
    header->addStretch();
    auto *dot = new StatusDot(this);
    m_statusDot = dot;
    header->addWidget(dot);
    m_statusLabel = new QLabel(this);
    m_statusLabel->setFont(scaled(font(), 0.85));
    header->addWidget(m_statusLabel);
    layout->addLayout(header);
    layout->addWidget(new Divider(this));

    // Notices from the start, each followed by its own divider; none at all when all is well.
    m_noticeLayout = new QVBoxLayout;
    m_noticeLayout->setContentsMargins(0, 0, 0, 0);
    m_noticeLayout->setSpacing(8);
    layout->addLayout(m_noticeLayout);

    // Search.
    auto *box = new SurfaceParts::SearchBox(this);
    auto *boxLayout = new QHBoxLayout(box);
    boxLayout->setContentsMargins(8, 5, 8, 5);
    boxLayout->setSpacing(6);
    boxLayout->addWidget(new SymbolLabel(Symbol::MagnifyingGlass, 12, [](const QPalette &p) {
        return withAlpha(p.color(QPalette::WindowText), 0.6);
    }, box));
    m_search = new QLineEdit(box);
    m_search->setFrame(false);
    m_search->setPlaceholderText(QStringLiteral("Search screenshots…"));
    m_search->setFont(scaled(font(), 0.92));
    m_search->setAttribute(Qt::WA_MacShowFocusRect, false);
    QPalette searchPalette = m_search->palette();
    searchPalette.setColor(QPalette::Base, Qt::transparent);
    m_search->setPalette(searchPalette);
    connect(m_search, &QLineEdit::returnPressed, this, &MenuBarView::submitSearch);
    boxLayout->addWidget(m_search);
    layout->addWidget(box);

    // Recent section, rebuilt when its inputs change.
    m_recentLayout = new QVBoxLayout;
    m_recentLayout->setSpacing(2);
    m_recentLayout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(m_recentLayout);
    layout->addWidget(new Divider(this));

    auto addCommand = [this, layout](Symbol s, const QString &text, auto action) {
        auto *b = new MenuItemButton(s, text, this);
        connect(b, &QAbstractButton::clicked, this, action);
        layout->addWidget(b);
        m_commands.append(b);
        return b;
    };
    m_pauseResume = addCommand(Symbol::PauseCircle, QString(), [this] { emit pauseResumeRequested(); });
    addCommand(Symbol::Gear, QStringLiteral("Preferences..."), [this] {
        emit commandChosen();
        NotificationCenter::defaultCenter().post(NotificationCenter::openPreferences);
    });
    addCommand(Symbol::Grid2x2, QStringLiteral("Browse All Screenshots"), [this] {
        emit commandChosen();
        NotificationCenter::defaultCenter().post(NotificationCenter::openGallery);
    });
    addCommand(Symbol::Folder, QStringLiteral("Open Screenshot Folder"), [this] {
        emit commandChosen();
        Workspace::open(QUrl::fromLocalFile(FileSystem::expandTilde(m_destination)));
    });
    layout->addWidget(new Divider(this));
    addCommand(Symbol::Power, QStringLiteral("Quit Pictrove"), [this] { emit quitRequested(); });

    // Entries age out of the window only at ticks, and only while the panel is on screen.
    m_refresh.setInterval(refreshSeconds * 1000);
    connect(&m_refresh, &QTimer::timeout, this, [this] { setNow(QDateTime::currentDateTime()); });

    updateStatus();
    rebuildRecents();
}

void MenuBarView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
}

void MenuBarView::showEvent(QShowEvent *) { m_refresh.start(); }

void MenuBarView::hideEvent(QHideEvent *) { m_refresh.stop(); }

void MenuBarView::setMonitoring(bool monitoring)
{
    m_monitoring = monitoring;
    updateStatus();
}

void MenuBarView::setRecentScreenshots(const QList<ScreenshotRecord> &recents)
{
    m_recents = recents;
    rebuildRecents();
}

void MenuBarView::setRecentPreviewMinutes(qint64 minutes)
{
    m_minutes = minutes;
    rebuildRecents();
}

void MenuBarView::setNotices(const QList<StartupNotices::Notice> &notices)
{
    QStringList before;
    for (const StartupNotices::Notice &n : m_notices) {
        before << n.text;
    }
    m_notices = notices;
    if (before == noticeTexts()) {
        return;
    }
    while (QLayoutItem *item = m_noticeLayout->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    const QColor warning(0xff, 0x9f, 0x0a);
    for (const StartupNotices::Notice &n : m_notices) {
        auto *row = new QWidget(this);
        auto *rowLayout = new QHBoxLayout(row);
        rowLayout->setContentsMargins(0, 0, 0, 0);
        rowLayout->setSpacing(8);
        auto *mark = new QLabel(row);
        mark->setPixmap(Symbols::pixmap(Symbol::ExclamationTriangle, 14, warning, devicePixelRatioF()));
        mark->setAlignment(Qt::AlignTop);
        mark->setAccessibleName(QStringLiteral("Warning"));
        rowLayout->addWidget(mark, 0, Qt::AlignTop);
        auto *text = new QLabel(n.text, row);
        text->setWordWrap(true);
        text->setFont(scaled(font(), 0.92));
        text->setAccessibleName(n.text);
        text->setTextInteractionFlags(Qt::TextSelectableByMouse);
        // The panel and the window holding it size themselves from plain size hints, which
        // know nothing of wrapping: fix the label at the height of its lines at the width it
        // gets, and let it no longer ask for a height for its width.
        text->setFixedHeight(text->heightForWidth(panelWidth - 2 * 12 - 14 - rowLayout->spacing()));
        QSizePolicy policy = text->sizePolicy();
        policy.setHeightForWidth(false);
        text->setSizePolicy(policy);
        rowLayout->addWidget(text, 1);
        m_noticeLayout->addWidget(row);
        m_noticeLayout->addWidget(new Divider(this));
    }
    settle();
}

QStringList MenuBarView::noticeTexts() const
{
    QStringList texts;
    for (const StartupNotices::Notice &n : m_notices) {
        texts << n.text;
    }
    return texts;
}

void MenuBarView::setDestinationFolder(const QString &folder) { m_destination = folder; }

void MenuBarView::setNow(const QDateTime &now)
{
    m_now = now;
    rebuildRecents();
}

QString MenuBarView::statusText() const { return m_monitoring ? QStringLiteral("Active") : QStringLiteral("Paused"); }

QString MenuBarView::pauseResumeText() const
{
    return m_monitoring ? QStringLiteral("Pause Monitoring") : QStringLiteral("Resume Monitoring");
}

QList<RecentRow *> MenuBarView::visibleRows() const { return m_visibleRows; }

QList<RecentRow *> MenuBarView::olderRows() const { return m_showMore ? m_olderRows : QList<RecentRow *>(); }

QString MenuBarView::expanderText() const { return m_expanderText; }

MenuItemButton *MenuBarView::commandButton(const QString &text) const
{
    for (MenuItemButton *b : m_commands) {
        if (b->text() == text) {
            return b;
        }
    }
    return nullptr;
}

void MenuBarView::updateStatus()
{
    static_cast<StatusDot *>(m_statusDot)->green = m_monitoring;
    m_statusDot->update();
    m_statusLabel->setText(statusText());
    QPalette pal = m_statusLabel->palette();
    pal.setColor(QPalette::WindowText, withAlpha(palette().color(QPalette::WindowText), 0.6));
    m_statusLabel->setPalette(pal);
    m_pauseResume->setText(pauseResumeText());
    m_pauseResume->setAccessibleName(pauseResumeText());
    m_pauseResume->setSymbol(m_monitoring ? Symbol::PauseCircle : Symbol::PlayCircle);
}

void MenuBarView::toggleMoreRecents()
{
    m_showMore = !m_showMore;
    m_animateExpander = m_showMore && isVisible();
    rebuildRecents();
}

void MenuBarView::rebuildRecents()
{
    while (QLayoutItem *item = m_recentLayout->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    m_visibleRows.clear();
    m_olderRows.clear();
    m_expanderText.clear();

    const QList<ScreenshotRecord> window = RecentWindow::inWindow(m_recents, m_now, m_minutes);
    const QList<ScreenshotRecord> visible = RecentWindow::visible(window);
    const QList<ScreenshotRecord> older = RecentWindow::older(window);
    const QColor secondary = withAlpha(palette().color(QPalette::WindowText), 0.6);

    if (visible.isEmpty()) {
        auto *empty = new QLabel(QStringLiteral("No recent screenshots"), this);
        empty->setFont(scaled(font(), 0.92));
        empty->setContentsMargins(0, 4, 0, 4);
        QPalette pal = empty->palette();
        pal.setColor(QPalette::WindowText, secondary);
        empty->setPalette(pal);
        m_recentLayout->addWidget(empty);
    } else {
        auto *heading = new QLabel(QStringLiteral("Recent"), this);
        heading->setFont(scaled(font(), 0.95));
        QPalette pal = heading->palette();
        pal.setColor(QPalette::WindowText, secondary);
        heading->setPalette(pal);
        m_recentLayout->addWidget(heading);
        for (const ScreenshotRecord &r : visible) {
            auto *row = new RecentRow(r, m_now, this);
            m_visibleRows.append(row);
            m_recentLayout->addWidget(row);
        }
    }
    if (!older.isEmpty()) {
        m_expanderText = m_showMore ? QStringLiteral("Hide older") : QStringLiteral("More recents (%1)").arg(older.size());
        auto *expander = new MenuItemButton(m_showMore ? Symbol::ChevronUp : Symbol::ChevronDown, m_expanderText, this);
        expander->setFont(scaled(font(), 0.85));
        QPalette pal = expander->palette();
        pal.setColor(QPalette::WindowText, secondary);
        expander->setPalette(pal);
        connect(expander, &QAbstractButton::clicked, this, [this] {
            // Rebuilding deletes the button that is being clicked: do it after the click.
            QMetaObject::invokeMethod(this, &MenuBarView::toggleMoreRecents, Qt::QueuedConnection);
        });
        m_recentLayout->addWidget(expander);
        if (m_showMore) {
            auto *scroll = new QScrollArea(this);
            scroll->setFrameShape(QFrame::NoFrame);
            scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            scroll->setWidgetResizable(true);
            auto *inner = new QWidget(scroll);
            auto *innerLayout = new QVBoxLayout(inner);
            innerLayout->setContentsMargins(0, 0, 0, 0);
            innerLayout->setSpacing(2);
            for (const ScreenshotRecord &r : older) {
                auto *row = new RecentRow(r, m_now, inner);
                m_olderRows.append(row);
                innerLayout->addWidget(row);
            }
            scroll->setWidget(inner);
            scroll->setMaximumHeight(200);
            const int height = std::min(200, inner->sizeHint().height());
            m_recentLayout->addWidget(scroll);
            if (m_animateExpander) {
                // The older entries unfold over 0.2 s; the popover follows every step.
                auto *unfold = new QVariantAnimation(scroll);
                unfold->setStartValue(0);
                unfold->setEndValue(height);
                unfold->setDuration(200);
                unfold->setEasingCurve(QEasingCurve::InOutQuad);
                connect(unfold, &QVariantAnimation::valueChanged, this, [this, scroll](const QVariant &v) {
                    scroll->setFixedHeight(v.toInt());
                    layout()->activate();
                    adjustSize();
                    emit contentSizeChanged();
                });
                scroll->setFixedHeight(0);
                unfold->start(QAbstractAnimation::DeleteWhenStopped);
            } else {
                scroll->setFixedHeight(height);
            }
        }
    }
    m_animateExpander = false;
    settle();
}

void MenuBarView::settle()
{
    // Settle the layout now: the owner asks for the new size right after this signal. New
    // widgets in a shown panel would otherwise only appear, and count, on the next turn.
    for (QVBoxLayout *section : {m_noticeLayout, m_recentLayout}) {
        for (int i = 0; i < section->count(); ++i) {
            if (QWidget *w = section->itemAt(i)->widget()) {
                w->setVisible(true);
            }
        }
    }
    layout()->activate();
    adjustSize();
    emit contentSizeChanged();
}

void MenuBarView::submitSearch()
{
    const QString query = m_search->text();
    emit commandChosen();
    NotificationCenter::defaultCenter().post(NotificationCenter::openGallery, {{QStringLiteral("query"), query}});
    m_search->clear();
}
