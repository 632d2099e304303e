// SPDX-License-Identifier: GPL-3.0-or-later
#include "annotation/AnnotatedCopy.h"
#include "annotation/AnnotationStore.h"
#include "common/ReadOnlyFolder.h"
#include "common/TestFiles.h"
#include "common/TestImages.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>

using namespace TestImages;

namespace {

Annotation box() { return Annotation(AnnotationTool::redact, QRectF(2, 2, 8, 8), Qt::black, 1); }

TEST(AnnotatedCopyTest, CandidateNames)
{
    const std::tuple<const char *, int, const char *> cases[] = {
        {"/p/Shot 1.png", 1, "/p/Shot 1_annotated.png"},
        {"/p/Shot 1.png", 2, "/p/Shot 1_annotated_2.png"},
        {"/p/Shot 1.png", 12, "/p/Shot 1_annotated_12.png"},
        {"/p/capture", 1, "/p/capture_annotated.png"},
        {"/p/archive.tar.gz", 1, "/p/archive.tar_annotated.gz"},
        {"/p/.hidden", 1, "/p/.hidden_annotated.png"},
        {"/p/dotted.", 1, "/p/dotted_annotated.png"},
        {"/p/screenshot_10-11-12.PNG", 3, "/p/screenshot_10-11-12_annotated_3.PNG"},
    };
    for (const auto &[screenshot, n, expected] : cases) {
        EXPECT_EQ(AnnotatedCopy::candidatePath(QString::fromUtf8(screenshot), n), QString::fromUtf8(expected)) << n;
    }
}

TEST(AnnotatedCopyTest, SavingAgainPicksTheNextFreeNameAndNeverTouchesTheScreenshot)
{
    const QString folder = TestEnvironment::makeFolder("save");
    const QString shot = savePng(uniquePixels(40, 30), folder + "/Shot 1.png");
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

    // The copy is a PNG whatever the screenshot's extension.
    ASSERT_TRUE(uniquePixels(32, 32).save(folder + "/shot.jpg", "JPEG"));
    AnnotationStore fromJpg(folder + "/shot.jpg");
    const Result<QString> jpg = AnnotatedCopy::saveAnnotatedCopy(fromJpg);
    ASSERT_TRUE(jpg.ok()) << jpg.error().toStdString();
    EXPECT_EQ(jpg.value(), folder + "/shot_annotated.jpg");
    EXPECT_TRUE(TestFiles::contents(jpg.value()).startsWith("\x89PNG\r\n\x1a\n"));
}

TEST(AnnotatedCopyTest, FailuresAreReportedAndWriteNothing)
{
    const QString folder = TestEnvironment::makeFolder("bad");
    AnnotationStore broken(TestEnvironment::writeFile(folder + "/broken.png", "not an image"));
    broken.addAnnotation(box());
    const Result<QString> unreadable = AnnotatedCopy::saveAnnotatedCopy(broken);
    ASSERT_FALSE(unreadable.ok());
    EXPECT_EQ(unreadable.error(), "Failed to render annotated image.");

    AnnotationStore store(savePng(uniquePixels(16, 16), folder + "/shot.png"));
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
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), (QStringList{"broken.png", "shot.png"}));
}

TestFiles::ToolRun pictrove(const QStringList &args)
{
    return TestFiles::runTool(QStringLiteral(PICTROVE_BINARY_DIR "/src/pictrove"), args);
}

TEST(RedactCommandTest, ArgumentsAndFailures)
{
    const QString folder = TestEnvironment::makeFolder("cli");
    const QString blank = savePng(filled(200, 100, Qt::white), folder + "/blank.png");
    const QString broken = TestEnvironment::writeFile(folder + "/broken.png", "not a picture");
    const TestFiles::ToolRun unreadable = pictrove({"redact", broken});
    EXPECT_EQ(unreadable.exitCode, 1);
    EXPECT_TRUE(unreadable.errors.contains("broken.png")) << unreadable.errors.toStdString();
    EXPECT_EQ(pictrove({"redact", folder + "/absent.png"}).exitCode, 1);
    for (const QStringList &bad : {QStringList{"redact"}, QStringList{"redact", blank, "--style", "grey"},
                                   QStringList{"redact", blank, "--types", "emails,cats"},
                                   QStringList{"redact", blank, "-o"}, QStringList{"redact", blank, "--frobnicate"}}) {
        EXPECT_EQ(pictrove(bad).exitCode, 2) << bad.join(' ').toStdString();
    }
    // Nothing to cover: nothing written, said on standard error, success.
    const TestFiles::ToolRun nothing = pictrove({"redact", blank, "--types", "emails,creditCards", "--style", "black"});
    EXPECT_EQ(nothing.exitCode, 0) << nothing.errors.toStdString();
    EXPECT_TRUE(nothing.output.isEmpty());
    EXPECT_TRUE(nothing.errors.contains("no personal information")) << nothing.errors.toStdString();
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), (QStringList{"blank.png", "broken.png"}));
}

TEST(RedactCommandTest, BlackStyleCoversTheDetectedCardNumberAndAddressExactly)
{
    QImage image = filled(900, 300, Qt::white);
    QList<QRect> planted; // where the card number and the e-mail address are drawn
    {
        QPainter p(&image);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(30);
        p.setFont(font);
        const QFontMetrics fm(font);
        for (const auto &[y, label, secret] : {std::tuple{80, "Card: ", "4242 4242 4242 4242"},
                                               std::tuple{200, "Mail: ", "jane.doe@example.com"}}) {
            p.drawText(40, y, QString::fromUtf8(label));
            const int x = 40 + fm.horizontalAdvance(QString::fromUtf8(label));
            p.drawText(x, y, QString::fromUtf8(secret));
            planted.append(fm.tightBoundingRect(QString::fromUtf8(secret)).translated(x, y));
        }
    }
    const QString folder = TestEnvironment::makeFolder("e2e");
    const QString shot = savePng(image, folder + "/card.png");

    const TestFiles::ToolRun scan = pictrove({"scan", "--types", "emails,creditCards", shot});
    ASSERT_EQ(scan.exitCode, 0) << scan.errors.toStdString();
    QList<QRect> covered; // the detected rectangles, out to the whole pixels they touch
    for (const QJsonValue &v : QJsonDocument::fromJson(scan.output.toUtf8()).object().value("piiRects").toArray()) {
        const QJsonArray r = v.toArray();
        const QRectF f(r[0].toDouble(), r[1].toDouble(), r[2].toDouble(), r[3].toDouble());
        covered.append(QRect(QPoint(int(std::floor(f.left())), int(std::floor(f.top()))),
                             QPoint(int(std::ceil(f.right())) - 1, int(std::ceil(f.bottom())) - 1)));
    }
    ASSERT_GE(covered.size(), 2) << scan.output.toStdString();

    const QString output = folder + "/out/shared.png";
    QDir().mkpath(folder + "/out");
    const TestFiles::ToolRun run =
        pictrove({"redact", shot, "--style", "black", "--types", "emails,creditCards", "-o", output});
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_EQ(run.output.trimmed(), output);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{"card.png"})
        << "with an output path nothing is written beside";
    const QImage out = QImage(output).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(out.size(), image.size());
    const auto within = [](const QList<QRect> &rects, int x, int y) {
        return std::any_of(rects.begin(), rects.end(), [&](const QRect &r) { return r.contains(x, y); });
    };
    int wrong = 0, uncovered = 0; // black inside every detected rectangle, the picture everywhere else
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            wrong += out.pixel(x, y) != (within(covered, x, y) ? qRgb(0, 0, 0) : image.pixel(x, y));
            uncovered += within(planted, x, y) && out.pixel(x, y) != qRgb(0, 0, 0);
        }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(uncovered, 0) << "every pixel of the planted strings is covered";
    // Without -o the copy goes beside the screenshot under the annotated name.
    const TestFiles::ToolRun beside = pictrove({"redact", shot, "--style", "black", "--types", "emails,creditCards"});
    ASSERT_EQ(beside.exitCode, 0);
    EXPECT_EQ(beside.output.trimmed(), folder + "/card_annotated.png");
}

} // namespace
