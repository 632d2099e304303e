// SPDX-License-Identifier: GPL-3.0-or-later
#include "privacy/FaceDetector.h"

#include "platform/Log.h"

#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>

#include <opencv2/imgproc.hpp>
#include <opencv2/core/ocl.hpp>
#include <opencv2/objdetect.hpp>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace {

const char *const kFrontalName = "haarcascade_frontalface_alt2.xml";
const char *const kProfileName = "haarcascade_profileface.xml";

QString cascadePath(const char *name)
{
    for (const char *dir : {"/usr/share/opencv4/haarcascades", "/usr/share/opencv/haarcascades",
                            "/usr/local/share/opencv4/haarcascades"}) {
        const QString path = QString::fromLatin1(dir) + QLatin1Char('/') + QLatin1String(name);
        if (QFileInfo::exists(path)) {
            return path;
        }
    }
    return QString();
}

// The frontal cascade, and the profile one where it is installed (it finds faces turned to
// one side; the mirrored picture gives the other side).
struct Cascades
{
    cv::CascadeClassifier frontal;
    cv::CascadeClassifier profile;
};

// A classifier keeps scratch state while detecting, so each detection borrows its own.
class ClassifierPool
{
public:
    static ClassifierPool &shared()
    {
        static ClassifierPool pool;
        return pool;
    }

    std::unique_ptr<Cascades> take()
    {
        QMutexLocker lock(&m_mutex);
        if (!m_idle.empty()) {
            auto c = std::move(m_idle.back());
            m_idle.pop_back();
            return c;
        }
        if (m_path.isEmpty()) {
            if (!m_logged) {
                Log::line(QStringLiteral("Face detection is unavailable: %1 not found (install opencv-data)")
                              .arg(QLatin1String(kFrontalName)));
                m_logged = true;
            }
            return nullptr;
        }
        lock.unlock();
        auto c = std::make_unique<Cascades>();
        if (!c->frontal.load(m_path.toStdString())) {
            return nullptr;
        }
        if (!m_profilePath.isEmpty()) {
            c->profile.load(m_profilePath.toStdString());
        }
        return c;
    }

    void give(std::unique_ptr<Cascades> c)
    {
        QMutexLocker lock(&m_mutex);
        m_idle.push_back(std::move(c));
    }

    const QString &path() const { return m_path; }

private:
    ClassifierPool()
        : m_path(cascadePath(kFrontalName))
        , m_profilePath(cascadePath(kProfileName))
    {
        // The cascades run on the processor: without this OpenCV loads whatever OpenCL
        // runtime the machine has on a large picture, a library (and threads) a tray
        // utility has no use for.
        cv::ocl::setUseOpenCL(false);
    }

    QMutex m_mutex;
    std::vector<std::unique_ptr<Cascades>> m_idle;
    QString m_path;
    QString m_profilePath;
    bool m_logged = false;
};

// Whether a block looks like part of a photograph: a spread of tones or of colours, and few of
// the hard steps that text and drawn controls are made of. Text, even antialiased, is two
// colours and the blends between them; a photograph is neither.
bool photoLike(const QImage &image, const QImage &grey, const QRect &block)
{
    int lo = 256, hi = -1;
    QRgb dark = 0, light = 0;
    int hard = 0;
    for (int y = block.top(); y <= block.bottom(); ++y) {
        const uchar *row = grey.constScanLine(y);
        const uchar *above = y > block.top() ? grey.constScanLine(y - 1) : row;
        for (int x = block.left(); x <= block.right(); ++x) {
            const int v = row[x];
            if (v < lo) {
                lo = v;
                dark = reinterpret_cast<const QRgb *>(image.constScanLine(y))[x];
            }
            if (v > hi) {
                hi = v;
                light = reinterpret_cast<const QRgb *>(image.constScanLine(y))[x];
            }
            const int left = x > block.left() ? row[x - 1] : v;
            hard += std::abs(v - left) > 72 || std::abs(v - above[x]) > 72;
        }
    }
    const int n = block.width() * block.height();
    if (hi - lo < 24 || hard * 5 > n) {
        return false;
    }
    // Distance of each colour from the line between the darkest and the lightest one.
    const double dr = qRed(light) - qRed(dark), dg = qGreen(light) - qGreen(dark), db = qBlue(light) - qBlue(dark);
    const double len2 = std::max(1.0, dr * dr + dg * dg + db * db);
    int mid = 0, off = 0;
    for (int y = block.top(); y <= block.bottom(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        const uchar *tone = grey.constScanLine(y);
        for (int x = block.left(); x <= block.right(); ++x) {
            const int v = tone[x];
            mid += v > lo + (hi - lo) / 4 && v < hi - (hi - lo) / 4;
            const double r = qRed(row[x]) - qRed(dark), g = qGreen(row[x]) - qGreen(dark), b = qBlue(row[x]) - qBlue(dark);
            const double t = std::clamp((r * dr + g * dg + b * db) / len2, 0.0, 1.0);
            const double er = r - t * dr, eg = g - t * dg, eb = b - t * db;
            off += er * er + eg * eg + eb * eb > 18.0 * 18.0;
        }
    }
    return mid * 2 > n || off * 4 > n;
}

// Areas of the screen that look like photographs (avatars, video tiles, pictures), found on a
// grid of small blocks and joined where blocks touch.
std::vector<QRect> photoRegions(const QImage &image, const QImage &grey)
{
    const int cell = std::max(8, std::max(image.width(), image.height()) / 240);
    // A picture smaller than one block holds no avatar, and OpenCV refuses an empty grid.
    if (image.width() < cell || image.height() < cell) {
        return {};
    }
    cv::Mat mask(image.height() / cell, image.width() / cell, CV_8UC1);
    for (int r = 0; r < mask.rows; ++r) {
        for (int c = 0; c < mask.cols; ++c) {
            mask.at<uchar>(r, c) = photoLike(image, grey, QRect(c * cell, r * cell, cell, cell)) ? 255 : 0;
        }
    }
    // A face's smooth cheek or a dark eye can miss the test: gaps of one block are closed.
    cv::dilate(mask, mask, cv::Mat());
    cv::Mat labels, stats, centroids;
    const int count = cv::connectedComponentsWithStats(mask, labels, stats, centroids, 8);
    std::vector<QRect> regions;
    for (int i = 1; i < count; ++i) {
        const int w = stats.at<int>(i, cv::CC_STAT_WIDTH), h = stats.at<int>(i, cv::CC_STAT_HEIGHT);
        // Too small to hold a face, or a sparse run of blocks such as coloured words.
        if (w < 3 || h < 3 || stats.at<int>(i, cv::CC_STAT_AREA) * 2 < w * h) {
            continue;
        }
        // One block more on every side: the edge of an avatar is often not photo-like.
        regions.push_back(QRect((stats.at<int>(i, cv::CC_STAT_LEFT) - 1) * cell,
                                (stats.at<int>(i, cv::CC_STAT_TOP) - 1) * cell, (w + 2) * cell, (h + 2) * cell) &
                          image.rect());
    }
    return regions;
}

cv::Mat greyMat(const QImage &grey)
{
    return cv::Mat(grey.height(), grey.width(), CV_8UC1, const_cast<uchar *>(grey.constBits()),
                   size_t(grey.bytesPerLine()));
}

// Faces in one photo-like region, searched at a size where an avatar's face is well above the
// cascade's smallest window, in the region's pixels.
std::vector<cv::Rect> facesInRegion(Cascades &cascades, const cv::Mat &grey, const QRect &region)
{
    const double area = double(region.width()) * region.height();
    const double s = std::min(std::clamp(160.0 / std::min(region.width(), region.height()), 1.0, 5.0),
                              std::sqrt(800.0 * 800.0 / area));
    cv::Mat crop, sized;
    cv::resize(grey(cv::Rect(region.x(), region.y(), region.width(), region.height())), sized, cv::Size(), s, s,
               s > 1.0 ? cv::INTER_CUBIC : cv::INTER_AREA);
    cv::equalizeHist(sized, crop);
    // Nothing smaller than an 18-pixel face on the screen is searched for.
    const int least = std::max(24, int(18 * s));
    std::vector<cv::Rect> found;
    cascades.frontal.detectMultiScale(crop, found, 1.1, 4, cv::CASCADE_SCALE_IMAGE, cv::Size(least, least));
    // A face turned aside, to the right as the profile cascade knows it, or mirrored to the left.
    if (found.empty() && !cascades.profile.empty()) {
        cascades.profile.detectMultiScale(crop, found, 1.1, 4, cv::CASCADE_SCALE_IMAGE, cv::Size(least, least));
        cv::Mat mirrored;
        std::vector<cv::Rect> turned;
        cv::flip(crop, mirrored, 1);
        cascades.profile.detectMultiScale(mirrored, turned, 1.1, 4, cv::CASCADE_SCALE_IMAGE, cv::Size(least, least));
        for (cv::Rect r : turned) {
            r.x = crop.cols - r.x - r.width;
            found.push_back(r);
        }
    }
    for (cv::Rect &r : found) {
        r = cv::Rect(int(region.x() + r.x / s), int(region.y() + r.y / s), int(r.width / s), int(r.height / s));
    }
    return found;
}

// Whether the box is mostly the same face as one already kept.
bool overlapsAny(const QRectF &box, const QList<QRectF> &kept)
{
    return std::any_of(kept.begin(), kept.end(), [&](const QRectF &k) {
        const QRectF both = k & box;
        return both.width() * both.height() > 0.3 * std::min(k.width() * k.height(), box.width() * box.height());
    });
}

} // namespace

bool FaceDetector::isAvailable() { return !ClassifierPool::shared().path().isEmpty(); }

QRectF FaceDetector::padded(const QRectF &face)
{
    const double padX = face.width() * 0.15;
    const double padY = face.height() * 0.15;
    return QRectF(face.x() - padX, face.y() - padY, face.width() + 2 * padX, face.height() + 2 * padY);
}

QList<QRectF> FaceDetector::detect(const QImage &image)
{
    QList<QRectF> faces;
    if (image.isNull()) {
        return faces;
    }
    std::unique_ptr<Cascades> cascades = ClassifierPool::shared().take();
    if (!cascades) {
        return faces;
    }
    // Large faces are searched on the whole screen at a reduced size, which costs a fraction;
    // small ones (avatars, call tiles) only where the screen looks like a photograph, at full
    // or enlarged size.
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    const double shrink = std::max(1.0, std::max(grey.width(), grey.height()) / 960.0);
    QImage small = shrink > 1.0 ? grey.scaled(int(grey.width() / shrink), int(grey.height() / shrink),
                                              Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                : grey;
    if (small.format() != QImage::Format_Grayscale8) {
        small = small.convertToFormat(QImage::Format_Grayscale8);
    }
    cv::Mat equalized;
    cv::equalizeHist(greyMat(small), equalized);
    std::vector<cv::Rect> found;
    cascades->frontal.detectMultiScale(equalized, found, 1.2, 5, cv::CASCADE_SCALE_IMAGE, cv::Size(24, 24));
    for (const cv::Rect &r : found) {
        faces.append(QRectF(r.x * shrink, r.y * shrink, r.width * shrink, r.height * shrink));
    }
    const cv::Mat full = greyMat(grey);
    for (const QRect &region : photoRegions(image.convertToFormat(QImage::Format_RGB32), grey)) {
        for (const cv::Rect &r : facesInRegion(*cascades, full, region)) {
            const QRectF box(r.x, r.y, r.width, r.height);
            if (!overlapsAny(box, faces)) {
                faces.append(box);
            }
        }
    }
    ClassifierPool::shared().give(std::move(cascades));
    return faces;
}
