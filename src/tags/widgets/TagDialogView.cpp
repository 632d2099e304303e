// SPDX-License-Identifier: GPL-3.0-or-later
#include "tags/widgets/TagDialogView.h"

#include "app/AppSettings.h"
#include "library/ScreenshotIndex.h"
#include "platform/NotificationCenter.h"
#include "tags/FavoriteTags.h"
#include "tags/FileTags.h"
#include "tags/TagColors.h"
#include "tags/TagLists.h"
#include "tags/TagSearch.h"
#include "tags/widgets/TagChipView.h"
#include "ui/ColorSwatch.h"
#include "ui/FlowLayout.h"
#include "ui/PreviewImage.h"
#include "ui/SurfaceParts.h"
#include "ui/Symbols.h"

#include <QDir>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QUrl>
#include <QVBoxLayout>
#include <QtConcurrent>

using Symbol = Symbols::Symbol;

namespace {

constexpr int spacing = 6;

using SurfaceParts::Divider;
using SurfaceParts::scaled;
using SurfaceParts::SymbolView;
using SurfaceParts::withAlpha;

QColor secondary(const QPalette &p) { return withAlpha(p.color(QPalette::WindowText), 0.62); }
QColor tertiary(const QPalette &p) { return withAlpha(p.color(QPalette::WindowText), 0.42); }

QLabel *styledLabel(const QString &text, qreal size, int weight, QColor (*color)(const QPalette &), QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setFont(scaled(label->font(), size, weight));
    if (color) {
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, color(p));
        label->setPalette(p);
    }
    return label;
}

// A rounded rectangle behind its children.
class RoundedBox : public QWidget
{
public:
    RoundedBox(std::function<QColor(const QPalette &)> fill, QWidget *parent) : QWidget(parent), m_fill(std::move(fill)) {}
    std::function<void()> onClick;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(m_fill(palette()));
        p.drawRoundedRect(QRectF(rect()), 8, 8);
    }
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        if (onClick && rect().contains(event->position().toPoint())) {
            onClick();
        }
    }

private:
    std::function<QColor(const QPalette &)> m_fill;
};

// The create row's label: a plus and 'Create "…"'; pressing it creates the tag.
class CreateButton : public QAbstractButton
{
public:
    explicit CreateButton(QWidget *parent) : QAbstractButton(parent)
    {
        setFocusPolicy(Qt::StrongFocus);
        setCursor(Qt::PointingHandCursor);
        setFont(scaled(font(), 0.85));
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }
    QSize sizeHint() const override
    {
        const QFontMetrics fm(font());
        return QSize(16 + 6 + fm.horizontalAdvance(text()), std::max(16, fm.height()));
    }
    QSize minimumSizeHint() const override { return QSize(40, sizeHint().height()); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        const QColor blue = TagColors::color(4);
        Symbols::paint(p, Symbol::PlusCircleFill, QRectF(0, (height() - 14) / 2.0, 14, 14), blue);
        p.setPen(palette().color(QPalette::WindowText));
        const QRect textRect = rect().adjusted(20, 0, 0, 0);
        p.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft,
                   QFontMetrics(font()).elidedText(text(), Qt::ElideMiddle, textRect.width()));
        if (hasFocus()) {
            p.setPen(QPen(palette().color(QPalette::Highlight), 1));
            p.drawRect(rect().adjusted(0, 0, -1, -1));
        }
    }
};

QString folderWithTilde(const QString &path)
{
    const QString folder = QFileInfo(path).absolutePath();
    const QString home = QDir::homePath();
    if (folder == home) {
        return QStringLiteral("~");
    }
    if (folder.startsWith(home + QLatin1Char('/'))) {
        return QLatin1Char('~') + folder.mid(home.size());
    }
    return folder;
}

} // namespace

// The file's picture, at most 60 by 80, rounded, with a faint shadow.
class TagThumbnailView : public QWidget
{
public:
    explicit TagThumbnailView(QWidget *parent) : QWidget(parent)
    {
        setFixedSize(64, 84);
        setAccessibleName(QStringLiteral("Screenshot preview"));
    }
    void setImage(const QImage &image)
    {
        m_image = image;
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        if (m_image.isNull()) {
            return;
        }
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        const QSizeF fitted = QSizeF(m_image.size()).scaled(60, 80, Qt::KeepAspectRatio);
        const QRectF target(QPointF((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted);
        p.setPen(Qt::NoPen);
        for (int i = 2; i >= 1; --i) { // the shadow, radius 2
            p.setBrush(QColor(0, 0, 0, 14));
            p.drawRoundedRect(target.adjusted(-i, -i + 1, i, i + 1), 6 + i, 6 + i);
        }
        QPainterPath clip;
        clip.addRoundedRect(target, 6, 6);
        p.setClipPath(clip);
        p.drawImage(target, m_image);
    }

private:
    QImage m_image;
};

TagDialogView::TagDialogView(const ScreenshotRecord &record, AppSettings &settings, QWidget *parent)
    : QWidget(parent), m_record(record), m_settings(settings), m_lists(std::make_unique<TagLists>(settings))
{
    setAccessibleName(QStringLiteral("Tag Screenshot"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(10);
    buildHeader(layout);
    layout->addWidget(new Divider(this));

    auto *column = new QVBoxLayout;
    column->setSpacing(spacing);
    column->addWidget(styledLabel(QStringLiteral("Applied Tags"), 0.92, QFont::DemiBold, secondary, this));
    m_noTags = styledLabel(QStringLiteral("No tags applied yet"), 0.85, QFont::Normal, tertiary, this);
    m_noTags->setContentsMargins(0, 4, 0, 4);
    column->addWidget(m_noTags);
    m_appliedBox = new QWidget(this);
    m_appliedFlow = new FlowLayout(m_appliedBox, spacing);
    column->addWidget(m_appliedBox);

    auto *searchBox = new RoundedBox([](const QPalette &p) { return withAlpha(p.color(QPalette::WindowText), 0.06); }, this);
    auto *searchLayout = new QHBoxLayout(searchBox);
    searchLayout->setContentsMargins(8, 8, 8, 8);
    searchLayout->setSpacing(6);
    searchLayout->addWidget(new SymbolView(Symbol::MagnifyingGlass, 13, secondary, searchBox));
    m_search = new QLineEdit(searchBox);
    m_search->setFrame(false);
    m_search->setPlaceholderText(QStringLiteral("Search or create tag..."));
    m_search->setAccessibleName(QStringLiteral("Search or create tag"));
    QPalette searchPalette = m_search->palette();
    searchPalette.setColor(QPalette::Base, Qt::transparent);
    m_search->setPalette(searchPalette);
    m_search->installEventFilter(this);
    connect(m_search, &QLineEdit::textChanged, this, &TagDialogView::searchChanged);
    searchLayout->addWidget(m_search);
    column->addWidget(searchBox);

    column->addWidget(buildCreateRow());
    m_commaLabel = styledLabel(commaMessage, 0.85, QFont::Normal, secondary, this);
    m_commaLabel->setContentsMargins(8, 4, 8, 4);
    m_commaLabel->setAccessibleName(commaMessage);
    column->addWidget(m_commaLabel);
    layout->addLayout(column);
    buildSections(layout);

    layout->addWidget(new Divider(this));
    auto *buttons = new QHBoxLayout;
    m_skip = new QPushButton(QStringLiteral("Skip"), this);
    m_annotate = new QPushButton(Symbols::icon(Symbol::Pencil, palette().color(QPalette::ButtonText)), QStringLiteral("Annotate"), this);
    m_done = new QPushButton(QStringLiteral("Done"), this);
    m_done->setDefault(true);
    for (QPushButton *b : {m_skip, m_annotate, m_done}) {
        b->setAutoDefault(true); // Return presses the button that has the focus
        b->setAccessibleName(b->text());
    }
    m_skip->setToolTip(QStringLiteral("Close without tagging (Esc)"));
    m_done->setToolTip(QStringLiteral("Apply the tags (Return)"));
    connect(m_skip, &QPushButton::clicked, this, &TagDialogView::skip);
    connect(m_annotate, &QPushButton::clicked, this, &TagDialogView::annotate);
    connect(m_done, &QPushButton::clicked, this, &TagDialogView::applyTags);
    buttons->addWidget(m_skip);
    buttons->addStretch();
    buttons->addWidget(m_annotate);
    buttons->addWidget(m_done);
    layout->addLayout(buttons);

    connect(&m_settings, &AppSettings::changed, this, [this](const QString &key) {
        if (key == AppSettings::recentTagsKey || key == AppSettings::favoriteTagsKey || key.isEmpty()) {
            rebuildLists();
        }
    });
    rebuildApplied();
    rebuildLists();
    setFocusProxy(m_search);
    loadThumbnail();
}

TagDialogView::~TagDialogView() = default;

void TagDialogView::buildHeader(QVBoxLayout *layout)
{
    auto *header = new QHBoxLayout;
    header->setSpacing(12);
    m_thumbnailView = new TagThumbnailView(this);
    header->addWidget(m_thumbnailView);
    auto *texts = new QVBoxLayout;
    texts->setSpacing(2);
    texts->addStretch();
    auto *app = styledLabel(m_record.appName, 1.08, QFont::DemiBold, nullptr, this);
    auto *file = styledLabel(QFileInfo(m_record.movedURL).fileName(), 0.85, QFont::Normal, secondary, this);
    auto *folder = styledLabel(folderWithTilde(m_record.movedURL), 0.78, QFont::Normal, tertiary, this);
    for (QLabel *l : {app, file, folder}) {
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        l->setMinimumWidth(40);
        texts->addWidget(l);
    }
    folder->setWordWrap(true);
    texts->addStretch();
    header->addLayout(texts, 1);
    layout->addLayout(header);
}

QWidget *TagDialogView::buildCreateRow()
{
    auto *row = new RoundedBox([](const QPalette &) { return withAlpha(TagColors::color(4), 0.08); }, this);
    row->onClick = [this] { createTag(trimmedSearchText(), m_newColor); };
    auto *rowLayout = new QHBoxLayout(row);
    rowLayout->setContentsMargins(8, 8, 8, 8);
    rowLayout->setSpacing(4);
    m_createButton = new CreateButton(row);
    connect(m_createButton, &QAbstractButton::clicked, this, [this] { createTag(trimmedSearchText(), m_newColor); });
    rowLayout->addWidget(m_createButton, 1);
    for (const TagColors::Entry &entry : TagColors::all()) {
        auto *dot = new ColorSwatch(TagColors::name(entry.index), TagColors::color(entry.index), row, 12);
        dot->setValue(entry.index);
        connect(dot, &QAbstractButton::clicked, this, [this, index = entry.index] { setNewTagColorIndex(index); });
        rowLayout->addWidget(dot);
        m_dots.append(dot);
    }
    m_createRow = row;
    return row;
}

void TagDialogView::buildSections(QVBoxLayout *layout)
{
    auto *scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto *content = new QWidget(scroll);
    content->setAutoFillBackground(false);
    auto *column = new QVBoxLayout(content);
    column->setContentsMargins(0, 4, 0, 4);
    column->setSpacing(12);
    const struct {
        QString title;
        Symbol symbol;
    } sections[] = {
        {QStringLiteral("Favorites"), Symbol::StarFill},
        {QStringLiteral("Recent"), Symbol::Clock},
        {QStringLiteral("Standard Tags"), Symbol::Tag},
    };
    for (int i = 0; i < 3; ++i) {
        SectionView &view = m_sections[i];
        view.box = new QWidget(content);
        view.box->setAccessibleName(sections[i].title);
        auto *boxLayout = new QVBoxLayout(view.box);
        boxLayout->setContentsMargins(0, 0, 0, 0);
        boxLayout->setSpacing(spacing);
        auto *titleRow = new QHBoxLayout;
        titleRow->setSpacing(4);
        titleRow->addWidget(new SymbolView(sections[i].symbol, 12, secondary, view.box));
        auto *title = styledLabel(sections[i].title, 0.92, QFont::DemiBold, secondary, view.box);
        title->setObjectName(QStringLiteral("sectionTitle"));
        titleRow->addWidget(title);
        titleRow->addStretch();
        boxLayout->addLayout(titleRow);
        auto *chips = new QWidget(view.box);
        view.flow = new FlowLayout(chips, spacing);
        boxLayout->addWidget(chips);
        column->addWidget(view.box);
    }
    column->addStretch();
    scroll->setWidget(content);
    QPalette transparent = scroll->viewport()->palette();
    transparent.setColor(QPalette::Window, Qt::transparent);
    scroll->viewport()->setPalette(transparent);
    layout->addWidget(scroll, 1);
}

void TagDialogView::loadThumbnail()
{
    const QString path = m_record.movedURL;
    const qreal dpr = devicePixelRatioF();
    auto *watcher = new QFutureWatcher<QImage>(this);
    connect(watcher, &QFutureWatcher<QImage>::finished, this, [this, watcher] {
        m_thumbnail = watcher->result();
        watcher->deleteLater();
        if (!m_thumbnail.isNull()) {
            m_thumbnailView->setImage(m_thumbnail);
            emit thumbnailReady();
        }
    });
    // Decoding a large capture takes tens of milliseconds: the panel shows first.
    watcher->setFuture(QtConcurrent::run([path, dpr] { return PreviewImage::read(path, QSize(60, 80) * dpr); }));
}

void TagDialogView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_systemLoaded) {
        m_systemLoaded = true;
        m_systemTags = FavoriteTags::finderFavoriteTags();
        rebuildSection(Section::standard, m_systemTags);
        searchChanged();
        updateTabOrder();
    }
}

QString TagDialogView::searchText() const { return m_search->text(); }

void TagDialogView::setSearchText(const QString &text) { m_search->setText(text); }

void TagDialogView::setNewTagColorIndex(qint64 index)
{
    m_newColor = index;
    for (QAbstractButton *dot : std::as_const(m_dots)) {
        dot->setChecked(static_cast<ColorSwatch *>(dot)->value() == index);
        dot->update();
    }
}

QList<TagItem> TagDialogView::filterTags(const QList<TagItem> &list) const
{
    const QString text = searchText();
    if (text.isEmpty()) {
        return list;
    }
    const QString needle = TagSearch::fold(text);
    QList<TagItem> out;
    for (const TagItem &tag : list) {
        if (TagSearch::fold(tag.name).contains(needle)) {
            out.append(tag);
        }
    }
    return out;
}

QString TagDialogView::trimmedSearchText() const
{
    const QString text = searchText();
    qsizetype begin = 0, end = text.size();
    const auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    while (begin < end && blank(text.at(begin))) {
        ++begin;
    }
    while (end > begin && blank(text.at(end - 1))) {
        --end;
    }
    return text.mid(begin, end - begin);
}

bool TagDialogView::canCreateTag() const
{
    const QString trimmed = trimmedSearchText();
    // A comma would split the name in two on disk.
    if (trimmed.isEmpty() || trimmed.contains(QLatin1Char(','))) {
        return false;
    }
    const QString folded = TagSearch::fold(trimmed);
    for (const QList<TagItem> &list : {m_systemTags, m_lists->recentTags(), m_lists->favoriteTags()}) {
        for (const TagItem &tag : list) {
            if (TagSearch::fold(tag.name) == folded) {
                return false;
            }
        }
    }
    return true;
}

void TagDialogView::createTag(const QString &name, qint64 colorIndex)
{
    m_applied.append(TagItem::create(name, colorIndex));
    setNewTagColorIndex(0);
    rebuildApplied();
    m_search->clear(); // redraws the sections and the create row
    updateSelection();
}

void TagDialogView::toggleTag(const TagItem &tag)
{
    const auto same = [&](const TagItem &t) { return t.name == tag.name; };
    const auto found = std::find_if(m_applied.begin(), m_applied.end(), same);
    if (found != m_applied.end()) {
        m_applied.erase(found);
    } else {
        m_applied.append(tag);
    }
    rebuildApplied();
    updateSelection();
}

void TagDialogView::removeAppliedTag(const TagItem &tag)
{
    m_applied.removeIf([&](const TagItem &t) { return t.name == tag.name; });
    rebuildApplied();
    updateSelection();
    m_search->setFocus(); // the chip that had the focus is gone
}

void TagDialogView::submitSearch()
{
    if (canCreateTag()) {
        createTag(trimmedSearchText(), m_newColor);
    } else if (searchText().isEmpty()) {
        applyTags();
    }
}

void TagDialogView::dismiss()
{
    if (onDismiss) {
        onDismiss();
    }
}

void TagDialogView::skip() { dismiss(); }

void TagDialogView::annotate()
{
    NotificationCenter::defaultCenter().post(NotificationCenter::openAnnotationEditor,
                                             {{QStringLiteral("url"), QUrl::fromLocalFile(m_record.movedURL)}});
    dismiss();
}

void TagDialogView::applyTags()
{
    const QStringList names = tagNames(m_applied);
    FileTags::setTags(m_record.movedURL, names);
    ScreenshotIndex::shared().updateTags(m_record.movedURL, names);
    const QList<TagItem> applied = m_applied; // the recent list's change redraws this view
    for (const TagItem &tag : applied) {
        m_lists->addRecentTag(tag);
    }
    dismiss();
}

void TagDialogView::rebuildSection(Section section, const QList<TagItem> &tags)
{
    SectionView &view = m_sections[int(section)];
    view.flow->clear();
    view.chips.clear();
    view.foldedNames.clear();
    for (const TagItem &tag : tags) {
        auto *chip = new TagChipView(tag, false, false, view.flow->parentWidget());
        chip->onTap = [this, tag] { toggleTag(tag); };
        chip->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(chip, &QWidget::customContextMenuRequested, this, [this, chip](const QPoint &at) {
            QMenu *menu = contextMenuFor(chip);
            menu->popup(chip->mapToGlobal(at));
        });
        view.flow->addWidget(chip);
        view.chips.append(chip);
        view.foldedNames.append(TagSearch::fold(tag.name));
    }
}

void TagDialogView::rebuildLists()
{
    rebuildSection(Section::favorites, m_lists->favoriteTags());
    rebuildSection(Section::recent, m_lists->recentTags());
    if (m_systemLoaded) {
        rebuildSection(Section::standard, m_systemTags);
    }
    searchChanged();
    updateTabOrder();
}

void TagDialogView::rebuildApplied()
{
    m_appliedFlow->clear();
    for (const TagItem &tag : std::as_const(m_applied)) {
        auto *chip = new TagChipView(tag, true, true, m_appliedBox);
        chip->onTap = [this, tag] { removeAppliedTag(tag); };
        chip->onRemove = chip->onTap;
        chip->setToolTip(QStringLiteral("Remove ") + tag.name);
        m_appliedFlow->addWidget(chip);
    }
    m_noTags->setVisible(m_applied.isEmpty());
    m_appliedBox->setVisible(!m_applied.isEmpty());
    updateTabOrder();
}

void TagDialogView::searchChanged()
{
    const QString text = searchText();
    const QString needle = text.isEmpty() ? QString() : TagSearch::fold(text);
    for (SectionView &view : m_sections) {
        bool any = false;
        for (qsizetype i = 0; i < view.chips.size(); ++i) {
            const bool match = needle.isEmpty() || view.foldedNames.at(i).contains(needle);
            if (view.chips.at(i)->isHidden() == match) {
                view.chips.at(i)->setHidden(!match);
            }
            any = any || match;
        }
        view.box->setHidden(!any);
    }
    updateSelection();
    updateCreateRow();
}

void TagDialogView::updateSelection()
{
    for (SectionView &view : m_sections) {
        for (TagChipView *chip : std::as_const(view.chips)) {
            const QString &name = chip->tag().name;
            chip->setSelected(std::any_of(m_applied.cbegin(), m_applied.cend(), [&](const TagItem &t) { return t.name == name; }));
        }
    }
}

void TagDialogView::updateCreateRow()
{
    const QString trimmed = trimmedSearchText();
    m_commaLabel->setVisible(trimmed.contains(QLatin1Char(',')));
    const bool canCreate = canCreateTag();
    m_createRow->setVisible(canCreate);
    const QString label = QStringLiteral("Create \"") + searchText() + QLatin1Char('"');
    m_createButton->setText(label);
    m_createButton->setAccessibleName(label);
    m_createButton->updateGeometry();
}

void TagDialogView::updateTabOrder()
{
    QList<QWidget *> order;
    for (int i = 0; i < m_appliedFlow->count(); ++i) {
        order.append(m_appliedFlow->itemAt(i)->widget());
    }
    order << m_search << m_createButton;
    for (QAbstractButton *dot : std::as_const(m_dots)) {
        order << dot;
    }
    for (const SectionView &view : m_sections) {
        for (TagChipView *chip : view.chips) {
            order << chip;
        }
    }
    order << m_skip << m_annotate << m_done;
    for (qsizetype i = 1; i < order.size(); ++i) {
        setTabOrder(order.at(i - 1), order.at(i));
    }
}

bool TagDialogView::createRowShown() const { return !m_createRow->isHidden(); }

QString TagDialogView::createRowText() const { return m_createButton->text(); }

bool TagDialogView::commaMessageShown() const { return !m_commaLabel->isHidden(); }

QList<TagChipView *> TagDialogView::appliedChips() const
{
    QList<TagChipView *> out;
    for (int i = 0; i < m_appliedFlow->count(); ++i) {
        out.append(static_cast<TagChipView *>(m_appliedFlow->itemAt(i)->widget()));
    }
    return out;
}

bool TagDialogView::sectionShown(Section section) const { return !m_sections[int(section)].box->isHidden(); }

QString TagDialogView::sectionTitle(Section section) const { return m_sections[int(section)].box->accessibleName(); }

QList<TagChipView *> TagDialogView::sectionChips(Section section) const
{
    QList<TagChipView *> out;
    for (TagChipView *chip : m_sections[int(section)].chips) {
        if (!chip->isHidden()) {
            out.append(chip);
        }
    }
    return out;
}

QPushButton *TagDialogView::button(const QString &text) const
{
    for (QPushButton *b : {m_skip, m_annotate, m_done}) {
        if (b->text() == text) {
            return b;
        }
    }
    return nullptr;
}

QMenu *TagDialogView::contextMenuFor(TagChipView *chip)
{
    auto *menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const TagItem tag = chip->tag();
    if (m_lists->isFavorite(tag)) {
        menu->addAction(QStringLiteral("Remove from Favorites"), this, [this, tag] { m_lists->removeFavorite(tag); });
    } else {
        menu->addAction(QStringLiteral("Add to Favorites"), this, [this, tag] { m_lists->addFavorite(tag); });
    }
    return menu;
}

void TagDialogView::keyPressEvent(QKeyEvent *event)
{
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        if (event->key() == Qt::Key_Escape) {
            skip();
            return;
        }
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            applyTags();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

bool TagDialogView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_search && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            submitSearch();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
