// SPDX-License-Identifier: GPL-3.0-or-later
#include "AnnotationTestImages.h"

#include "annotation/AnnotatedCopy.h"
#include "annotation/AnnotationStore.h"
#include "common/ReadOnlyFolder.h"
#include "common/TestEnvironment.h"
#include "common/TestFiles.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace AnnotationTestImages;

namespace {

Annotation box()
{
    return Annotation(AnnotationTool::redact, QRectF(2, 2, 8, 8), Qt::black, 1);
}

TEST(AnnotatedCopyTest, CandidateNames)
{
    struct Case
    {
        const char *screenshot;
        int n;
        const char *expected;
    };
    const Case cases[] = {
        {"/p/Shot 1.png", 1, "/p/Shot 1_annotated.png"},
        {"/p/Shot 1.png", 2, "/p/Shot 1_annotated_2.png"},
        {"/p/Shot 1.png", 12, "/p/Shot 1_annotated_12.png"},
        {"/p/capture", 1, "/p/capture_annotated.png"},
        {"/p/shot.jpg", 1, "/p/shot_annotated.jpg"},
        {"/p/archive.tar.gz", 1, "/p/archive.tar_annotated.gz"},
        {"/p/.hidden", 1, "/p/.hidden_annotated.png"},
        {"/p/dotted.", 1, "/p/dotted_annotated.png"},
        {"/p/screenshot_10-11-12.PNG", 3, "/p/screenshot_10-11-12_annotated_3.PNG"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(AnnotatedCopy::candidatePath(QString::fromUtf8(c.screenshot), c.n), QString::fromUtf8(c.expected))
            << c.screenshot << " " << c.n;
    }
}

TEST(AnnotatedCopyTest, SavingAgainPicksTheNextFreeNameAndNeverTouchesTheScreenshot)
{
    const QString folder = TestEnvironment::makeFolder("save");
    const QString shot = savePng(uniquePixels(40, 30), folder + "/Shot 1.png", 72);
    const QByteArray before = TestFiles::contents(shot);
    const QDateTime modified = QFileInfo(shot).lastModified();

    AnnotationStore store(shot);
    store.addAnnotation(box());
    QStringList written;
    for (int i = 0; i < 3; ++i) {
        const Result<QString> r = AnnotatedCopy::saveAnnotatedCopy(store);
        ASSERT_TRUE(r.ok()) << r.error().toStdString();
        written << QFileInfo(r.value()).fileName();
    }
    EXPECT_EQ(written, (QStringList{"Shot 1_annotated.png", "Shot 1_annotated_2.png", "Shot 1_annotated_3.png"}));
    EXPECT_EQ(TestFiles::contents(shot), before);
    EXPECT_EQ(QFileInfo(shot).lastModified(), modified);

    const QImage copy(folder + "/Shot 1_annotated_2.png");
    EXPECT_EQ(copy.pixel(5, 5), qRgb(0, 0, 0));
    EXPECT_EQ(copy.pixel(20, 20), uniquePixels(40, 30).pixel(20, 20));
}

TEST(AnnotatedCopyTest, CopyIsPngWhateverTheExtension)
{
    const QString folder = TestEnvironment::makeFolder("ext");
    const QImage image = uniquePixels(32, 32);
    const QString jpg = folder + "/shot.jpg";
    ASSERT_TRUE(image.save(jpg, "JPEG"));
    const QString bare = folder + "/capture";
    ASSERT_TRUE(image.save(bare, "PNG"));

    AnnotationStore fromJpg(jpg);
    const Result<QString> a = AnnotatedCopy::saveAnnotatedCopy(fromJpg);
    ASSERT_TRUE(a.ok()) << a.error().toStdString();
    EXPECT_EQ(a.value(), folder + "/shot_annotated.jpg");
    EXPECT_TRUE(TestFiles::contents(a.value()).startsWith("\x89PNG\r\n\x1a\n"));

    AnnotationStore fromBare(bare);
    const Result<QString> b = AnnotatedCopy::saveAnnotatedCopy(fromBare);
    ASSERT_TRUE(b.ok()) << b.error().toStdString();
    EXPECT_EQ(b.value(), folder + "/capture_annotated.png");
}

TEST(AnnotatedCopyTest, UnreadableScreenshotFailsToRender)
{
    const QString folder = TestEnvironment::makeFolder("bad");
    const QString path = TestEnvironment::writeFile(folder + "/broken.png", "not an image");
    AnnotationStore store(path);
    store.addAnnotation(box());
    const Result<QString> r = AnnotatedCopy::saveAnnotatedCopy(store);
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error(), "Failed to render annotated image.");
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{"broken.png"});
}

TEST(AnnotatedCopyTest, ReadOnlyFolderGivesFailedToSave)
{
    const QString folder = TestEnvironment::makeFolder("readonly");
    const QString shot = savePng(uniquePixels(16, 16), folder + "/shot.png", 72);
    AnnotationStore store(shot);
    store.addAnnotation(box());

    Result<QString> r = Result<QString>::failure(QStringLiteral("not run"));
    {
        const ReadOnlyFolder readOnly(folder);
        if (!readOnly.ok()) {
            GTEST_SKIP() << ReadOnlyFolder::skipMessage().toStdString();
        }
        r = AnnotatedCopy::saveAnnotatedCopy(store);
    }
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(r.error().startsWith("Failed to save: ")) << r.error().toStdString();
    EXPECT_GT(r.error().size(), QStringLiteral("Failed to save: ").size());
}

} // namespace
