// SPDX-License-Identifier: GPL-3.0-or-later
#include "FixtureScore.h"
#include "common/FaceScreens.h"
#include "common/QtPrinters.h"
#include "privacy/FaceDetector.h"
#include "privacy/PIIDetector.h"

#include <gtest/gtest.h>

namespace {

bool facesAvailable() { return FaceScreens::available() && FaceDetector::isAvailable(); }

// A portrait, and the same cut just left of the face: the padded box then starts left of the
// picture, as the redaction expects (it clips), rather than being moved or dropped.
TEST(Faces, FoundOnAPhotographAndPaddedPastItsEdge)
{
    if (!facesAvailable()) {
        GTEST_SKIP() << "needs opencv-doc and opencv-data";
    }
    const QImage photo(FaceScreens::path(FaceScreens::photos().at(3)));
    const QList<QRectF> faces = FaceDetector::detect(photo);
    ASSERT_EQ(faces.size(), 1);
    const QRectF &face = faces.first();
    EXPECT_EQ(PIIDetector::scanNow(photo, PIIType::faces, false).faceRects,
              QList<QRectF>{face.adjusted(-0.15 * face.width(), -0.15 * face.height(), 0.15 * face.width(),
                                          0.15 * face.height())});
    const int cut = int(face.x()) - 2;
    const PIIDetector::ScanResult r =
        PIIDetector::scanNow(photo.copy(cut, 0, photo.width() - cut, photo.height()), PIIType::faces, false);
    ASSERT_EQ(r.faceRects.size(), 1);
    EXPECT_LT(r.faceRects.first().x(), 0.0);
}

// Avatars down a chat list beside lines of text, light and dark, 1x and 2x: four faces in five
// hidden at every size, and no box away from a face.
struct Avatars
{
    int size;
    const char *screen;
    double scale;
};

using SmallFaces = testing::TestWithParam<Avatars>;

TEST_P(SmallFaces, FourInFiveHiddenAndNothingElse)
{
    if (!facesAvailable()) {
        GTEST_SKIP() << "needs opencv-doc and opencv-data";
    }
    const FixtureScore::Fixture f = FixtureScore::load(QLatin1String(GetParam().screen));
    const FaceScreens::Screen s =
        FaceScreens::compose(f.image, f.items, FaceScreens::Layout::chat, GetParam().size, GetParam().scale);
    const auto [found, strays] =
        FaceScreens::score(s.faces, PIIDetector::scanNow(s.image, PIIType::faces, false).faceRects);
    EXPECT_GE(found * 5, s.faces.size() * 4);
    EXPECT_EQ(strays, 0);
}

INSTANTIATE_TEST_SUITE_P(Sizes, SmallFaces,
                         testing::Values(Avatars{32, "crm-light-13px-1x", 1}, Avatars{40, "crm-dark-12px-1x", 1},
                                         Avatars{48, "crm-light-13px-1x", 1}, Avatars{64, "chat-dark-15px-2x", 2},
                                         Avatars{80, "crm-dark-12px-1x", 1}),
                         [](const auto &info) { return "px" + std::to_string(info.param.size); });

// Every screen of text, the photo banner of the chat screens among them, and a picture smaller
// than one block of the photo search.
TEST(Faces, NoneOnScreensOfText)
{
    EXPECT_TRUE(FaceDetector::detect(QImage(4, 4, QImage::Format_RGB32)).isEmpty());
    for (const QString &name :
         FixtureScore::fixtureNames() + FixtureScore::tunedScreenNames() + FixtureScore::heldOutNames()) {
        EXPECT_TRUE(FaceDetector::detect(FixtureScore::load(name).image).isEmpty()) << name.toStdString();
    }
}

} // namespace
