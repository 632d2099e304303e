// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/gallery/GalleryDateFormat.h"
#include "ui/gallery/GalleryFilter.h"
#include "ui/gallery/GalleryItem.h"

#include <QAbstractListModel>
#include <QList>

#include <vector>

// The loaded library and the cards that pass the filters: one row per visible card.
class GalleryModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role { PathRole = Qt::UserRole + 1, DateTextRole, TagsTextRole, HasPIIRole };

    explicit GalleryModel(QObject *parent = nullptr);

    void setItems(QList<GalleryItem> items);
    void setCriteria(const GalleryFilter::Criteria &criteria);
    // Drops every card of the file; true when there was one.
    bool removePath(const QString &path);

    const QList<GalleryItem> &items() const { return m_items; }
    const GalleryFilter::Criteria &criteria() const { return m_criteria; }
    const GalleryItem &itemAt(int row) const { return m_items.at(m_rows.at(row)); }
    qsizetype visibleCount() const { return m_rows.size(); }
    qsizetype totalCount() const { return m_items.size(); }
    QString countText() const { return GalleryFilter::countText(visibleCount(), totalCount()); }
    QString dateText(int row) const;
    // What a screen reader says for the card: application, date and tags.
    QString accessibleText(int row) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;

signals:
    // The visible rows or the loaded count changed.
    void countsChanged();

private:
    QList<GalleryItem> m_items;
    QList<int> m_rows; // indices into m_items, in order
    GalleryFilter::Criteria m_criteria;
    GalleryDateFormat m_dateFormat;
    mutable std::vector<QString> m_dateTexts; // by item, made when first shown
};
