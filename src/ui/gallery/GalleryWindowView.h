// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/gallery/GalleryItem.h"

#include <QFutureWatcher>
#include <QWidget>

#include <memory>

class AppSettings;
class GalleryCardDelegate;
class GalleryGridView;
class GalleryModel;
class GalleryThumbnails;
class QComboBox;
class QLabel;
class QLineEdit;
class QStackedWidget;
class QToolButton;
class ScreenshotIndex;
class ThumbnailCache;

// The library window's content: the search box, the application and tag pickers, the count
// and Refresh over the grid of every picture in the library, newest first.
class GalleryWindowView : public QWidget
{
    Q_OBJECT

public:
    GalleryWindowView(AppSettings &settings, ScreenshotIndex &index, const QString &searchText,
                      std::shared_ptr<const ThumbnailCache> thumbnailCache, QWidget *parent = nullptr);
    ~GalleryWindowView() override;

    // Walks the library again off the main thread; of loads that overlap, the newest wins.
    void loadItems();
    // Moves the file to the trash; on success drops its card and its index entry.
    void moveToTrash(const QString &path);

    bool isLoading() const { return m_loading; }
    QString searchText() const;
    QString countText() const;
    GalleryModel &model() const { return *m_model; }
    GalleryGridView *grid() const { return m_grid; }
    GalleryThumbnails &thumbnails() const { return *m_thumbnails; }
    QLineEdit *searchField() const { return m_search; }
    QComboBox *appPicker() const { return m_appPicker; }
    QComboBox *tagPicker() const { return m_tagPicker; }
    QToolButton *refreshButton() const { return m_refresh; }
    QToolButton *clearButton() const { return m_clear; }
    // What the content area shows: "Scanning screenshots…", "No screenshots yet", "No
    // matches", or empty for the grid.
    QString stateText() const;
    // The context menu of the card in row, as it opens.
    QMenu *cardMenu(int row);

signals:
    void loaded();

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void applyFilters();
    void updateState();
    void rebuildPickers();
    void loadVisibleThumbnails();
    void openCard(const QModelIndex &index);
    void showCardMenu(const QModelIndex &index, const QPoint &globalPos);
    void updateSymbols();

    AppSettings &m_settings;
    ScreenshotIndex &m_index;
    GalleryModel *m_model;
    std::unique_ptr<GalleryThumbnails> m_thumbnails;
    std::unique_ptr<GalleryCardDelegate> m_delegate;
    bool m_loading = true;
    bool m_started = false;
    quint64 m_generation = 0;
    QString m_selectedApp;
    QString m_selectedTag;

    QLabel *m_searchIcon = nullptr;
    QLineEdit *m_search = nullptr;
    QToolButton *m_clear = nullptr;
    QComboBox *m_appPicker = nullptr;
    QComboBox *m_tagPicker = nullptr;
    QLabel *m_count = nullptr;
    QToolButton *m_refresh = nullptr;
    QStackedWidget *m_stack = nullptr;
    QLabel *m_emptyIcon = nullptr;
    QLabel *m_emptyText = nullptr;
    GalleryGridView *m_grid = nullptr;
};
