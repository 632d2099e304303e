// SPDX-License-Identifier: GPL-3.0-or-later
#include "FixtureScore.h"
#include "common/QtPrinters.h"
#include "privacy/FaceDetector.h"
#include "privacy/PIIDetector.h"

#include <gtest/gtest.h>

#include <QFileInfo>

namespace {

// A portrait photograph shipped with OpenCV's documentation (Debian package opencv-doc).
const QString kPortrait = QStringLiteral("/usr/share/doc/opencv-doc/opencv4/html/face_swapped.jpg");

QImage portrait()
{
    return QImage(kPortrait);
}

TEST(Faces, FoundOnAPhotographAndPadded)
{
    if (!QFileInfo::exists(kPortrait) || !FaceDetector::isAvailable()) {
        GTEST_SKIP() << "needs opencv-doc and opencv-data";
    }
    const QImage photo = portrait();
    const QList<QRectF> faces = FaceDetector::detect(photo);
    ASSERT_EQ(faces.size(), 1);
    const PIIDetector::ScanResult r = PIIDetector::scanNow(photo, PIIType::faces, false);
    ASSERT_EQ(r.faceRects.size(), 1);
    const QRectF &face = faces.first();
    EXPECT_EQ(r.faceRects.first(), face.adjusted(-0.15 * face.width(), -0.15 * face.height(), 0.15 * face.width(),
                                                 0.15 * face.height()));
    // The face is in the upper middle of the portrait.
    EXPECT_GT(face.center().x(), photo.width() * 0.3);
    EXPECT_LT(face.center().x(), photo.width() * 0.7);
    EXPECT_LT(face.center().y(), photo.height() * 0.6);
}

TEST(Faces, AFaceAtTheLeftEdgeGivesANegativeX)
{
    if (!QFileInfo::exists(kPortrait) || !FaceDetector::isAvailable()) {
        GTEST_SKIP() << "needs opencv-doc and opencv-data";
    }
    const QImage photo = portrait();
    const QList<QRectF> faces = FaceDetector::detect(photo);
    ASSERT_EQ(faces.size(), 1);
    const int cut = int(faces.first().x()) - 2;
    const QImage atEdge = photo.copy(cut, 0, photo.width() - cut, photo.height());
    const PIIDetector::ScanResult r = PIIDetector::scanNow(atEdge, PIIType::faces, false);
    ASSERT_EQ(r.faceRects.size(), 1);
    EXPECT_LT(r.faceRects.first().x(), 0.0);
}

TEST(Faces, NoneOnScreensOfText)
{
    for (const QString &name : FixtureScore::fixtureNames()) {
        EXPECT_TRUE(FaceDetector::detect(FixtureScore::load(name).image).isEmpty()) << name.toStdString();
    }
}

} // namespace
