// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/gallery/GalleryModel.h"

#include "platform/Clipboard.h"

#include <QMimeData>
#include <QUrl>

#include <algorithm>

GalleryModel::GalleryModel(QObject *parent) : QAbstractListModel(parent) {}

void GalleryModel::setItems(QList<GalleryItem> items)
{
    beginResetModel();
    m_items = std::move(items);
    m_dateTexts.assign(size_t(m_items.size()), QString());
    m_rows = GalleryFilter::visibleRows(m_items, m_criteria);
    endResetModel();
    emit countsChanged();
}

void GalleryModel::setCriteria(const GalleryFilter::Criteria &criteria)
{
    if (criteria == m_criteria) {
        return;
    }
    QList<int> rows = GalleryFilter::narrowedRows(m_items, criteria, m_criteria, m_rows);
    m_criteria = criteria;
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
    emit countsChanged();
}

bool GalleryModel::removePath(const QString &path)
{
    bool removed = false;
    for (qsizetype i = m_items.size() - 1; i >= 0; --i) {
        if (m_items.at(i).url != path) {
            continue;
        }
        removed = true;
        const auto visible = std::lower_bound(m_rows.begin(), m_rows.end(), int(i));
        if (visible != m_rows.end() && *visible == int(i)) {
            const int row = int(visible - m_rows.begin());
            beginRemoveRows(QModelIndex(), row, row);
            m_rows.removeAt(row);
            m_items.removeAt(i);
            m_dateTexts.erase(m_dateTexts.begin() + i);
            for (qsizetype r = row; r < m_rows.size(); ++r) {
                --m_rows[r];
            }
            endRemoveRows();
        } else {
            m_items.removeAt(i);
            m_dateTexts.erase(m_dateTexts.begin() + i);
            for (int &r : m_rows) {
                if (r > i) {
                    --r;
                }
            }
        }
    }
    if (removed) {
        emit countsChanged();
    }
    return removed;
}

QString GalleryModel::dateText(int row) const
{
    const int i = m_rows.at(row);
    QString &text = m_dateTexts[size_t(i)];
    if (text.isNull()) {
        text = m_dateFormat.format(m_items.at(i).date);
    }
    return text;
}

QString GalleryModel::accessibleText(int row) const
{
    const GalleryItem &item = itemAt(row);
    QString text = item.appName + QStringLiteral(", ") + dateText(row);
    if (!item.tags.isEmpty()) {
        text += QStringLiteral(", tags: ") + item.tags.join(QStringLiteral(", "));
    }
    return text;
}

int GalleryModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : int(m_rows.size()); }

QVariant GalleryModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size()) {
        return {};
    }
    const GalleryItem &item = itemAt(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return item.appName;
    case Qt::AccessibleTextRole:
        return accessibleText(index.row());
    case Qt::AccessibleDescriptionRole:
        return item.hasPII ? item.fileName() + QStringLiteral(". Sensitive info detected in this screenshot")
                           : item.fileName();
    case PathRole:
        return item.url;
    case DateTextRole:
        return dateText(index.row());
    case TagsTextRole:
        return item.tags.join(QStringLiteral(", "));
    case HasPIIRole:
        return item.hasPII;
    default:
        return {};
    }
}

Qt::ItemFlags GalleryModel::flags(const QModelIndex &index) const
{
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemNeverHasChildren;
}

QStringList GalleryModel::mimeTypes() const { return {QStringLiteral("text/uri-list")}; }

QMimeData *GalleryModel::mimeData(const QModelIndexList &indexes) const
{
    // A card dragged out is the file, as a file manager hands it over.
    for (const QModelIndex &index : indexes) {
        if (index.isValid()) {
            return Clipboard::mimeDataFor(itemAt(index.row()).url, QImage());
        }
    }
    return nullptr;
}
