// SPDX-License-Identifier: GPL-3.0-or-later
#include "privacy/FaceDetector.h"

#include "platform/Log.h"

#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>

#include <opencv2/imgproc.hpp>
#include <opencv2/objdetect.hpp>

#include <memory>
#include <vector>

namespace {

const char *const kCascadeName = "haarcascade_frontalface_alt2.xml";

QString cascadePath()
{
    for (const char *dir : {"/usr/share/opencv4/haarcascades", "/usr/share/opencv/haarcascades",
                            "/usr/local/share/opencv4/haarcascades"}) {
        const QString path = QString::fromLatin1(dir) + QLatin1Char('/') + QLatin1String(kCascadeName);
        if (QFileInfo::exists(path)) {
            return path;
        }
    }
    return QString();
}

// A classifier keeps scratch state while detecting, so each detection borrows its own.
class ClassifierPool
{
public:
    static ClassifierPool &shared()
    {
        static ClassifierPool pool;
        return pool;
    }

    std::unique_ptr<cv::CascadeClassifier> take()
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
                              .arg(QLatin1String(kCascadeName)));
                m_logged = true;
            }
            return nullptr;
        }
        lock.unlock();
        auto c = std::make_unique<cv::CascadeClassifier>();
        if (!c->load(m_path.toStdString())) {
            return nullptr;
        }
        return c;
    }

    void give(std::unique_ptr<cv::CascadeClassifier> c)
    {
        QMutexLocker lock(&m_mutex);
        m_idle.push_back(std::move(c));
    }

    const QString &path() const { return m_path; }

private:
    ClassifierPool()
        : m_path(cascadePath())
    {
    }

    QMutex m_mutex;
    std::vector<std::unique_ptr<cv::CascadeClassifier>> m_idle;
    QString m_path;
    bool m_logged = false;
};

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
    std::unique_ptr<cv::CascadeClassifier> classifier = ClassifierPool::shared().take();
    if (!classifier) {
        return faces;
    }
    // Large screens are searched at a reduced size: a face worth hiding stays well above the
    // detector's smallest window, and the search costs a fraction.
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    const double shrink = std::max(1.0, std::max(grey.width(), grey.height()) / 960.0);
    QImage small = shrink > 1.0 ? grey.scaled(int(grey.width() / shrink), int(grey.height() / shrink),
                                              Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                : grey;
    if (small.format() != QImage::Format_Grayscale8) {
        small = small.convertToFormat(QImage::Format_Grayscale8);
    }
    const cv::Mat mat(small.height(), small.width(), CV_8UC1, const_cast<uchar *>(small.constBits()),
                      size_t(small.bytesPerLine()));
    cv::Mat equalized;
    cv::equalizeHist(mat, equalized);
    std::vector<cv::Rect> found;
    classifier->detectMultiScale(equalized, found, 1.2, 5, cv::CASCADE_SCALE_IMAGE, cv::Size(24, 24));
    ClassifierPool::shared().give(std::move(classifier));
    for (const cv::Rect &r : found) {
        faces.append(QRectF(r.x * shrink, r.y * shrink, r.width * shrink, r.height * shrink));
    }
    return faces;
}
