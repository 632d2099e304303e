// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/gallery/GalleryWindow.h"

#include "platform/ThumbnailCache.h"
#include "ui/Symbols.h"
#include "ui/gallery/GalleryWindowView.h"

#include <QVBoxLayout>

GalleryWindow::GalleryWindow(AppSettings &settings, ScreenshotIndex &index, const QString &query, QWidget *parent)
    : QWidget(parent, Qt::Window), m_settings(settings), m_index(index), m_cache(ThumbnailCache::freedesktop())
{
    setWindowTitle(QStringLiteral("Pictrove Library"));
    setWindowIcon(Symbols::applicationIcon());
    setMinimumSize(720, 440);
    resize(960, 640);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    replaceContent(query);
}

GalleryWindow::~GalleryWindow() = default;

void GalleryWindow::replaceContent(const QString &query)
{
    auto *view = new GalleryWindowView(m_settings, m_index, query, m_cache, this);
    if (m_view) {
        // The layout hands back the item that held the old view; it is ours to free.
        delete layout()->replaceWidget(m_view, view);
        delete m_view;
    } else {
        layout()->addWidget(view);
    }
    m_view = view;
    if (isVisible()) {
        view->show();
    }
}
