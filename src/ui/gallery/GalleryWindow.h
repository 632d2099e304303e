// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include <memory>

class AppSettings;
class GalleryWindowView;
class ScreenshotIndex;
class ThumbnailCache;

// The library window: "Pictrove Library", 960 × 640, at least 720 × 440, holding one
// GalleryWindowView that a new search replaces.
class GalleryWindow : public QWidget
{
    Q_OBJECT

public:
    GalleryWindow(AppSettings &settings, ScreenshotIndex &index, const QString &query, QWidget *parent = nullptr);
    ~GalleryWindow() override;

    // A fresh view searching for query (pickers back to all, a new load).
    void replaceContent(const QString &query);
    GalleryWindowView *view() const { return m_view; }

private:
    AppSettings &m_settings;
    ScreenshotIndex &m_index;
    std::shared_ptr<const ThumbnailCache> m_cache;
    GalleryWindowView *m_view = nullptr;
};
