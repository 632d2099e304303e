// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/gallery/GalleryWindowView.h"

#include "app/AppSettings.h"
#include "library/ScreenshotIndex.h"
#include "platform/Clipboard.h"
#include "platform/FileSystem.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/Workspace.h"
#include "ui/SurfaceParts.h"
#include "ui/Symbols.h"
#include "ui/gallery/GalleryCardDelegate.h"
#include "ui/gallery/GalleryGridView.h"
#include "ui/gallery/GalleryLoader.h"
#include "ui/gallery/GalleryModel.h"
#include "ui/gallery/GalleryThumbnails.h"

#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QProgressBar>
#include <QStackedWidget>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QtConcurrent>

namespace {

using Symbol = Symbols::Symbol;

using SurfaceParts::withAlpha;

// A label whose digits all take the width of the widest one, so that the count does not
// jiggle as it changes.
class CountLabel : public QLabel
{
public:
    using QLabel::QLabel;

    QSize sizeHint() const override
    {
        const QFontMetrics fm(font());
        return QSize(advance(fm, text()) + 2, fm.height());
    }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        const QFontMetrics fm(font());
        p.setPen(palette().color(foregroundRole()));
        const int digit = digitWidth(fm);
        int x = (width() - advance(fm, text())) / 2;
        const int baseline = (height() - fm.height()) / 2 + fm.ascent();
        for (const QChar c : text()) {
            const int w = c.isDigit() ? digit : fm.horizontalAdvance(c);
            p.drawText(x + (w - fm.horizontalAdvance(c)) / 2, baseline, QString(c));
            x += w;
        }
    }

private:
    static int digitWidth(const QFontMetrics &fm)
    {
        int w = 0;
        for (char d = '0'; d <= '9'; ++d) {
            w = qMax(w, fm.horizontalAdvance(QLatin1Char(d)));
        }
        return w;
    }
    static int advance(const QFontMetrics &fm, const QString &text)
    {
        int w = 0;
        for (const QChar c : text) {
            w += c.isDigit() ? digitWidth(fm) : fm.horizontalAdvance(c);
        }
        return w;
    }
};

QToolButton *symbolButton(QWidget *parent, const QString &name)
{
    auto *b = new QToolButton(parent);
    b->setAutoRaise(true);
    b->setAccessibleName(name);
    b->setCursor(Qt::ArrowCursor);
    return b;
}

QFont scaled(const QFont &base, qreal factor)
{
    QFont f = base;
    f.setPointSizeF(base.pointSizeF() * factor);
    return f;
}

void selectText(QComboBox *picker, const QStringList &options, const QString &selected)
{
    QStringList shown = options;
    // A choice that no longer occurs stays shown, with no matches, until the user changes it.
    if (!shown.contains(selected)) {
        shown.append(selected);
    }
    const QSignalBlocker block(picker);
    picker->clear();
    picker->addItems(shown);
    picker->setCurrentIndex(int(shown.indexOf(selected)));
}

} // namespace

GalleryWindowView::GalleryWindowView(AppSettings &settings, ScreenshotIndex &index, const QString &searchText,
                                     std::shared_ptr<const ThumbnailCache> thumbnailCache, QWidget *parent)
    : QWidget(parent),
      m_settings(settings),
      m_index(index),
      m_model(new GalleryModel(this)),
      m_thumbnails(std::make_unique<GalleryThumbnails>(std::move(thumbnailCache))),
      m_selectedApp(GalleryFilter::allApps),
      m_selectedTag(GalleryFilter::allTags)
{
    m_delegate = std::make_unique<GalleryCardDelegate>(*m_model, *m_thumbnails);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    // Toolbar.
    auto *toolbar = new QHBoxLayout;
    toolbar->setContentsMargins(10, 10, 10, 10);
    toolbar->setSpacing(8);
    auto *box = new SurfaceParts::SearchBox(this, 7);
    box->setMaximumWidth(320);
    box->setMinimumWidth(200);
    box->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    auto *boxLayout = new QHBoxLayout(box);
    boxLayout->setContentsMargins(8, 5, 8, 5);
    boxLayout->setSpacing(6);
    m_searchIcon = new QLabel(box);
    m_searchIcon->setAccessibleName(QStringLiteral("Search"));
    boxLayout->addWidget(m_searchIcon);
    m_search = new QLineEdit(box);
    m_search->setFrame(false);
    m_search->setPlaceholderText(QStringLiteral("Search text, apps, tags, filenames…"));
    m_search->setAccessibleName(QStringLiteral("Search"));
    QPalette searchPalette = m_search->palette();
    searchPalette.setColor(QPalette::Base, Qt::transparent);
    m_search->setPalette(searchPalette);
    m_search->setText(searchText);
    boxLayout->addWidget(m_search, 1);
    m_clear = symbolButton(box, QStringLiteral("Clear search"));
    m_clear->setToolTip(QStringLiteral("Clear search"));
    m_clear->setFocusPolicy(Qt::TabFocus);
    m_clear->setVisible(!searchText.isEmpty());
    boxLayout->addWidget(m_clear);
    toolbar->addWidget(box, 1);

    m_appPicker = new QComboBox(this);
    m_appPicker->setAccessibleName(QStringLiteral("Application"));
    // Screen readers on Linux name a combo box by its current choice and take its purpose from
    // a label; with no label in the toolbar, the description says what the picker is for.
    m_appPicker->setAccessibleDescription(QStringLiteral("Show screenshots of one application"));
    m_appPicker->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_appPicker->setMaximumWidth(220);
    m_tagPicker = new QComboBox(this);
    m_tagPicker->setAccessibleName(QStringLiteral("Tag"));
    m_tagPicker->setAccessibleDescription(QStringLiteral("Show screenshots with one tag"));
    m_tagPicker->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_tagPicker->setMaximumWidth(220);
    toolbar->addWidget(m_appPicker);
    toolbar->addWidget(m_tagPicker);
    toolbar->addStretch(0);
    m_count = new CountLabel(this);
    m_count->setFont(scaled(font(), 0.85));
    m_count->setForegroundRole(QPalette::PlaceholderText);
    m_count->setAccessibleName(QStringLiteral("Count"));
    toolbar->addWidget(m_count);
    m_refresh = symbolButton(this, QStringLiteral("Refresh"));
    m_refresh->setToolTip(QStringLiteral("Refresh"));
    toolbar->addWidget(m_refresh);
    layout->addLayout(toolbar);

    auto *divider = new QFrame(this);
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Plain);
    divider->setForegroundRole(QPalette::Mid);
    layout->addWidget(divider);

    // Content: loading, empty, grid.
    m_stack = new QStackedWidget(this);
    auto *loadingPage = new QWidget(m_stack);
    auto *loadingLayout = new QVBoxLayout(loadingPage);
    loadingLayout->addStretch(1);
    auto *spinner = new QProgressBar(loadingPage);
    spinner->setRange(0, 0);
    spinner->setTextVisible(false);
    spinner->setMaximumWidth(160);
    spinner->setAccessibleName(QStringLiteral("Scanning screenshots…"));
    loadingLayout->addWidget(spinner, 0, Qt::AlignHCenter);
    auto *loadingText = new QLabel(QStringLiteral("Scanning screenshots…"), loadingPage);
    loadingText->setForegroundRole(QPalette::PlaceholderText);
    loadingLayout->addWidget(loadingText, 0, Qt::AlignHCenter);
    loadingLayout->addStretch(1);
    m_stack->addWidget(loadingPage);

    auto *emptyPage = new QWidget(m_stack);
    auto *emptyLayout = new QVBoxLayout(emptyPage);
    emptyLayout->addStretch(1);
    m_emptyIcon = new QLabel(emptyPage);
    emptyLayout->addWidget(m_emptyIcon, 0, Qt::AlignHCenter);
    m_emptyText = new QLabel(emptyPage);
    m_emptyText->setForegroundRole(QPalette::PlaceholderText);
    emptyLayout->addWidget(m_emptyText, 0, Qt::AlignHCenter);
    emptyLayout->addStretch(1);
    m_stack->addWidget(emptyPage);

    m_grid = new GalleryGridView(m_stack);
    m_grid->setModel(m_model);
    m_grid->setCardDelegate(m_delegate.get());
    m_stack->addWidget(m_grid);
    layout->addWidget(m_stack, 1);
    updateSymbols();

    connect(m_search, &QLineEdit::textChanged, this, [this](const QString &text) {
        m_clear->setVisible(!text.isEmpty());
        applyFilters();
    });
    connect(m_clear, &QToolButton::clicked, this, [this] {
        m_search->clear();
        m_search->setFocus();
    });
    connect(m_appPicker, &QComboBox::currentTextChanged, this, [this](const QString &text) {
        m_selectedApp = text;
        applyFilters();
        rebuildPickers();
    });
    connect(m_tagPicker, &QComboBox::currentTextChanged, this, [this](const QString &text) {
        m_selectedTag = text;
        applyFilters();
        rebuildPickers();
    });
    connect(m_refresh, &QToolButton::clicked, this, &GalleryWindowView::loadItems);
    connect(m_model, &GalleryModel::countsChanged, this, &GalleryWindowView::updateState);
    connect(m_grid, &GalleryGridView::visibleRowsChanged, this, &GalleryWindowView::loadVisibleThumbnails);
    connect(m_grid, &GalleryGridView::cardMenuRequested, this, &GalleryWindowView::showCardMenu);
    connect(m_grid, &QAbstractItemView::activated, this, &GalleryWindowView::openCard);
    connect(m_thumbnails.get(), &GalleryThumbnails::ready, m_grid->viewport(), qOverload<>(&QWidget::update));

    applyFilters();
    rebuildPickers();
    updateState();
}

GalleryWindowView::~GalleryWindowView()
{
    // The grid paints through the delegate and the thumbnails: it goes first.
    delete m_grid;
}

void GalleryWindowView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_started) {
        m_started = true;
        loadItems();
    }
}

void GalleryWindowView::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange) {
        updateSymbols();
    }
}

void GalleryWindowView::updateSymbols()
{
    const QColor secondary = palette().color(QPalette::PlaceholderText);
    const qreal dpr = devicePixelRatioF();
    m_searchIcon->setPixmap(Symbols::pixmap(Symbol::MagnifyingGlass, 14, secondary, dpr));
    m_clear->setIcon(Symbols::icon(Symbol::XmarkCircleFill, secondary));
    m_clear->setIconSize(QSize(14, 14));
    m_refresh->setIcon(Symbols::icon(Symbol::ArrowClockwise, palette().color(QPalette::ButtonText)));
    m_refresh->setIconSize(QSize(16, 16));
    m_emptyIcon->setPixmap(
        Symbols::pixmap(Symbol::PhotoOnRectangle, 36, withAlpha(palette().color(QPalette::Text), 0.3), dpr));
}

void GalleryWindowView::loadItems()
{
    m_started = true;
    m_loading = true;
    updateState();
    const quint64 generation = ++m_generation;
    const QString root = m_settings.libraryRoot();
    const ScreenshotIndex::Entries entries = m_index.entries(); // shared, copied on write
    auto *watcher = new QFutureWatcher<QList<GalleryItem>>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, generation] {
        watcher->deleteLater();
        // A load started later has the newer view of the folder: an older one never wins.
        if (generation != m_generation) {
            return;
        }
        m_loading = false;
        m_model->setItems(watcher->result());
        rebuildPickers();
        updateState();
        emit loaded();
    });
    watcher->setFuture(QtConcurrent::run([root, entries] {
        return GalleryLoader::load(root, entries, GalleryLoader::fileTagReader());
    }));
}

QString GalleryWindowView::searchText() const { return m_search->text(); }

QString GalleryWindowView::countText() const { return m_model->countText(); }

void GalleryWindowView::applyFilters()
{
    m_model->setCriteria({m_search->text(), m_selectedApp, m_selectedTag});
}

void GalleryWindowView::rebuildPickers()
{
    selectText(m_appPicker, GalleryFilter::appOptions(m_model->items()), m_selectedApp);
    selectText(m_tagPicker, GalleryFilter::tagOptions(m_model->items()), m_selectedTag);
}

QString GalleryWindowView::stateText() const
{
    if (m_loading) {
        return QStringLiteral("Scanning screenshots…");
    }
    if (m_model->visibleCount() == 0) {
        return m_model->totalCount() == 0 ? QStringLiteral("No screenshots yet") : QStringLiteral("No matches");
    }
    return QString();
}

void GalleryWindowView::updateState()
{
    m_count->setText(m_model->countText());
    // The label draws its own text, so a screen reader hears it as the description.
    m_count->setAccessibleDescription(m_model->countText());
    m_count->updateGeometry();
    const QString state = stateText();
    if (m_loading) {
        m_stack->setCurrentIndex(0);
    } else if (!state.isEmpty()) {
        m_emptyText->setText(state);
        m_stack->setCurrentIndex(1);
    } else {
        m_stack->setCurrentWidget(m_grid);
        loadVisibleThumbnails();
    }
}

void GalleryWindowView::loadVisibleThumbnails()
{
    if (m_stack->currentWidget() != m_grid || !m_grid->isVisible()) {
        return;
    }
    QStringList paths;
    for (const int row : m_grid->rowsToLoad()) {
        paths.append(m_model->itemAt(row).url);
    }
    m_thumbnails->want(paths);
}

void GalleryWindowView::openCard(const QModelIndex &index)
{
    if (index.isValid()) {
        Workspace::open(QUrl::fromLocalFile(m_model->itemAt(index.row()).url));
    }
}

QMenu *GalleryWindowView::cardMenu(int row)
{
    const GalleryItem item = m_model->itemAt(row);
    auto *menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->setAccessibleName(QStringLiteral("Screenshot actions"));
    const QColor ink = palette().color(QPalette::WindowText);
    menu->addAction(Symbols::icon(Symbol::Pencil, ink), QStringLiteral("Annotate"), this, [item] {
        NotificationCenter::defaultCenter().post(NotificationCenter::openAnnotationEditor,
                                                 {{QStringLiteral("url"), QUrl::fromLocalFile(item.url)}});
    });
    menu->addAction(Symbols::icon(Symbol::Tag, ink), QStringLiteral("Tag…"), this, [item] {
        NotificationCenter::defaultCenter().post(
            NotificationCenter::openTagDialog,
            {{QStringLiteral("url"), QUrl::fromLocalFile(item.url)}, {QStringLiteral("appName"), item.appName}});
    });
    menu->addSeparator();
    menu->addAction(Symbols::icon(Symbol::DocOnDoc, ink), QStringLiteral("Copy"), this,
                    [item] { Clipboard::copyFile(item.url); });
    menu->addAction(Symbols::icon(Symbol::Folder, ink), QStringLiteral("Show in Folder"), this,
                    [item] { Workspace::reveal(item.url); });
    menu->addSeparator();
    QPointer<GalleryWindowView> self(this);
    menu->addAction(Symbols::icon(Symbol::Trash, QColor(0xff, 0x3b, 0x30)), QStringLiteral("Move to Trash"), this,
                    [self, item] {
                        if (self) {
                            self->moveToTrash(item.url);
                        }
                    });
    return menu;
}

void GalleryWindowView::showCardMenu(const QModelIndex &index, const QPoint &globalPos)
{
    cardMenu(index.row())->popup(globalPos);
}

void GalleryWindowView::moveToTrash(const QString &path)
{
    const Result<QString> trashed = FileSystem::moveToTrash(path);
    if (!trashed) {
        const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
        Log::line(QStringLiteral("Failed to trash %1: %2").arg(name, trashed.error()));
        return;
    }
    if (m_index.remove(path)) {
        m_index.scheduleSave();
    }
    m_model->removePath(path);
    rebuildPickers();
}
