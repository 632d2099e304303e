// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/preferences/TagsTab.h"

#include "app/AppSettings.h"
#include "tags/TagColors.h"
#include "ui/ColorSwatch.h"
#include "ui/Symbols.h"
#include "ui/preferences/SettingControls.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

using namespace SettingControls;

namespace {

// Spaces and tabs only: a name may keep other white space the user typed on purpose.
QString trimmedName(const QString &text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    const auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    while (start < end && blank(text.at(start))) {
        ++start;
    }
    while (end > start && blank(text.at(end - 1))) {
        --end;
    }
    return text.mid(start, end - start);
}

QPixmap dot(const QColor &color, qreal dpr)
{
    const int side = 10;
    QPixmap pixmap(QSize(side, side) * dpr);
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(QRectF(0, 0, side, side));
    return pixmap;
}

} // namespace

TagsTab::TagsTab(AppSettings &settings, QWidget *parent)
    : QWidget(parent)
    , m_lists(settings)
{
    auto *page = new QVBoxLayout(this);
    QVBoxLayout *rows = nullptr;

    page->addWidget(section(tr("Favorite Tags"), &rows));
    m_emptyText = helpText(
        tr("No favorites yet. Right-click tags in the tag dialog to favorite them, or add one below."));
    rows->addWidget(m_emptyText);
    m_favoriteRows = new QVBoxLayout;
    m_favoriteRows->setSpacing(2);
    rows->addLayout(m_favoriteRows);

    auto *addArea = new QVBoxLayout;
    addArea->setSpacing(8);
    auto *nameRow = new QHBoxLayout;
    m_newName = new QLineEdit;
    m_newName->setPlaceholderText(tr("New favorite tag..."));
    m_newName->setAccessibleName(tr("New favorite tag"));
    m_add = new QPushButton(tr("Add"));
    m_add->setAccessibleName(tr("Add"));
    m_add->setEnabled(false);
    nameRow->addWidget(m_newName, 1);
    nameRow->addWidget(m_add);
    addArea->addLayout(nameRow);

    auto *colorRow = new QHBoxLayout;
    colorRow->setSpacing(6);
    auto *colorLabel = new QLabel(tr("Color:"));
    QFont small = colorLabel->font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    colorLabel->setFont(small);
    colorRow->addWidget(colorLabel);
    m_swatchGroup = new QButtonGroup(this);
    m_swatchGroup->setExclusive(true);
    for (qint64 index = 0; index <= 7; ++index) {
        auto *swatch = new ColorSwatch(TagColors::hasColor(index) ? TagColors::name(index) : tr("No color"),
                                       TagColors::color(index));
        swatch->setValue(index);
        m_swatchGroup->addButton(swatch, int(index));
        m_swatches.append(swatch);
        colorRow->addWidget(swatch);
    }
    colorRow->addStretch(1);
    setNewTagColor(0);
    addArea->addLayout(colorRow);
    rows->addLayout(addArea);

    connect(m_newName, &QLineEdit::textChanged, this,
            [this](const QString &text) { m_add->setEnabled(!trimmedName(text).isEmpty()); });
    connect(m_newName, &QLineEdit::returnPressed, this, &TagsTab::addFavorite);
    connect(m_add, &QPushButton::clicked, this, &TagsTab::addFavorite);

    page->addWidget(section(tr("Recent Tags"), &rows));
    m_maxRecent = stepperFor(settings, Settings::maxRecentTags, tr("Max recent tags"));
    rows->addWidget(labelledRow(tr("Max recent tags"), m_maxRecent));
    m_clearRecent = new QPushButton(tr("Clear Recent Tags"));
    m_clearRecent->setAccessibleName(m_clearRecent->text());
    auto *clearRow = new QHBoxLayout;
    clearRow->addWidget(m_clearRecent);
    clearRow->addStretch(1);
    rows->addLayout(clearRow);
    connect(m_clearRecent, &QPushButton::clicked, this, [this] { m_lists.setRecentTags({}); });
    follow(settings, this, {AppSettings::recentTagsKey, Settings::maxRecentTags.key},
           [this] { m_clearRecent->setVisible(!m_lists.recentTags().isEmpty()); });

    follow(settings, this, {AppSettings::favoriteTagsKey}, [this] { rebuildFavorites(); });
    page->addStretch(1);
}

qint64 TagsTab::newTagColor() const { return std::max(0, m_swatchGroup->checkedId()); }

void TagsTab::setNewTagColor(qint64 index)
{
    if (QAbstractButton *swatch = m_swatchGroup->button(int(index))) {
        swatch->setChecked(true);
    }
}

void TagsTab::addFavorite()
{
    const QString name = trimmedName(m_newName->text());
    if (!name.isEmpty()) {
        m_lists.addFavorite(TagItem::create(name, newTagColor()));
    }
    m_newName->clear();
    setNewTagColor(0);
}

void TagsTab::rebuildFavorites()
{
    while (QLayoutItem *item = m_favoriteRows->takeAt(0)) {
        // Later: the row's own remove button may be the one whose click led here.
        if (QWidget *row = item->widget()) {
            row->hide();
            row->deleteLater();
        }
        delete item;
    }
    m_removeButtons.clear();
    const QList<TagItem> favorites = m_lists.favoriteTags();
    m_emptyText->setVisible(favorites.isEmpty());
    for (const TagItem &tag : favorites) {
        auto *row = new QWidget;
        auto *layout = new QHBoxLayout(row);
        layout->setContentsMargins(0, 0, 0, 0);
        auto *colorDot = new QLabel;
        colorDot->setPixmap(dot(tag.color(), devicePixelRatioF()));
        colorDot->setFixedSize(10, 10);
        auto *name = new QLabel(tag.name);
        name->setTextFormat(Qt::PlainText);
        // Our own drawing rather than the theme's: the destructive action reads red everywhere.
        auto *remove = new QPushButton(Symbols::icon(Symbols::Symbol::Trash, QColor(0xe0, 0x1b, 0x24)), QString());
        remove->setFlat(true);
        remove->setAccessibleName(tr("Remove %1").arg(tag.name));
        remove->setToolTip(remove->accessibleName());
        layout->addWidget(colorDot);
        layout->addWidget(name, 1);
        layout->addWidget(remove);
        m_favoriteRows->addWidget(row);
        m_removeButtons.append(remove);
        connect(remove, &QPushButton::clicked, this, [this, tag] { m_lists.removeFavorite(tag); });
    }
}
