// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/gallery/GalleryThumbnails.h"

#include "ui/gallery/PngThumbnailReader.h"

#include <QImageReader>
#include <QPointer>

namespace {

QImage limited(const QImage &image, int side)
{
    if (image.isNull() || qMax(image.width(), image.height()) <= side) {
        return image;
    }
    return image.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

} // namespace

GalleryThumbnails::GalleryThumbnails(std::shared_ptr<const ThumbnailCache> store, QObject *parent)
    : QObject(parent), m_store(std::move(store)), m_memory(memoryBudgetKiB)
{
    // Decoding must not take the cores from the window's own drawing.
    m_pool.setMaxThreadCount(qMax(1, QThread::idealThreadCount()));
    m_pool.setThreadPriority(QThread::LowPriority);
}

GalleryThumbnails::~GalleryThumbnails()
{
    m_queue.clear();
    m_pool.waitForDone();
}

QPixmap GalleryThumbnails::pixmap(const QString &path) const
{
    const QPixmap *p = m_memory.object(path);
    return p ? *p : QPixmap();
}

void GalleryThumbnails::want(const QStringList &paths)
{
    m_queue.clear();
    for (const QString &path : paths) {
        if (!m_memory.contains(path) && !m_inFlight.contains(path) && !m_failed.contains(path)) {
            m_queue.append(path);
        }
    }
    dispatch();
}

void GalleryThumbnails::clear()
{
    m_memory.clear();
    m_failed.clear();
}

void GalleryThumbnails::dispatch()
{
    // A few jobs at a time, so that a request for other cards is served next, not after a
    // backlog of cards already scrolled away.
    while (!m_queue.isEmpty() && m_inFlight.size() < m_pool.maxThreadCount() + 1) {
        const QString path = m_queue.takeFirst();
        m_inFlight.insert(path);
        QPointer<GalleryThumbnails> self(this);
        std::shared_ptr<const ThumbnailCache> store = m_store;
        m_pool.start([self, store, path] {
            const QImage image = make(path, *store);
            QMetaObject::invokeMethod(
                self.data(),
                [self, path, image] {
                    if (self) {
                        self->finished(path, image);
                    }
                },
                Qt::QueuedConnection);
        });
    }
}

void GalleryThumbnails::finished(const QString &path, const QImage &image)
{
    m_inFlight.remove(path);
    if (image.isNull()) {
        m_failed.insert(path);
    } else {
        auto *pm = new QPixmap(QPixmap::fromImage(image));
        m_memory.insert(path, pm, qMax(1, int(qint64(pm->width()) * pm->height() * pm->depth() / 8 / 1024)));
        emit ready(path);
    }
    dispatch();
}

QImage GalleryThumbnails::make(const QString &path, const ThumbnailCache &store)
{
    const std::optional<ThumbnailCache::Source> source = ThumbnailCache::source(path);
    if (!source) {
        return QImage();
    }
    if (QImage shared = store.find(*source); !shared.isNull()) {
        return limited(shared, maxSide);
    }
    const int side = qMax(maxSide, store.storedSize());
    // Screenshots are PNGs: shrunk row by row as they are decoded.
    QImage image = PngThumbnailReader::read(path, side);
    if (image.isNull()) {
        QImageReader reader(path);
        reader.setAutoTransform(true);
        const QSize size = reader.size();
        if (size.isValid() && qMax(size.width(), size.height()) > side) {
            // Formats that can (JPEG) decode smaller; the others decode whole, then shrink.
            reader.setScaledSize(size.scaled(side, side, Qt::KeepAspectRatio));
        }
        image = reader.read();
    }
    if (image.isNull()) {
        return QImage();
    }
    if (store.storedSize() > 0) {
        (void)store.store(*source, image); // a cache that cannot be written only costs time
    }
    return limited(image, maxSide);
}
