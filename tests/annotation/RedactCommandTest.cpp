// SPDX-License-Identifier: GPL-3.0-or-later
#include "AnnotationTestImages.h"

#include "annotation/AnnotatedCopy.h"
#include "annotation/RedactionMarks.h"
#include "annotation/ScreenshotImage.h"
#include "common/TestEnvironment.h"
#include "common/TestFiles.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>

using namespace AnnotationTestImages;

namespace {

TestFiles::ToolRun pictrove(const QStringList &args)
{
    return TestFiles::runTool(QStringLiteral(PICTROVE_BINARY_DIR "/src/pictrove"), args);
}

struct Fixture
{
    QImage image;
    QList<QRect> planted; // where the card number and the e-mail address are drawn
};

Fixture plantedFixture()
{
    Fixture f{filled(900, 300, Qt::white), {}};
    QPainter p(&f.image);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(30);
    p.setFont(font);
    p.setPen(Qt::black);
    const QFontMetrics fm(font);
    const auto plant = [&](int x, int y, const QString &label, const QString &secret) {
        p.drawText(x, y, label);
        const int sx = x + fm.horizontalAdvance(label);
        p.drawText(sx, y, secret);
        f.planted.append(fm.tightBoundingRect(secret).translated(sx, y));
    };
    plant(40, 80, QStringLiteral("Card: "), QStringLiteral("4242 4242 4242 4242"));
    plant(40, 200, QStringLiteral("Mail: "), QStringLiteral("jane.doe@example.com"));
    return f;
}

QRect outward(const QRectF &r)
{
    return QRect(QPoint(int(std::floor(r.left())), int(std::floor(r.top()))),
                 QPoint(int(std::ceil(r.right())) - 1, int(std::ceil(r.bottom())) - 1));
}

// Black inside every rectangle (to the whole pixels it touches), the fixture everywhere else.
void expectCoveredExactly(const QImage &out, const QImage &original, const QList<QRectF> &rects)
{
    ASSERT_EQ(out.size(), original.size());
    QList<QRect> covered;
    for (const QRectF &r : rects) {
        covered.append(outward(r).intersected(original.rect()));
    }
    int wrong = 0;
    for (int y = 0; y < original.height(); ++y) {
        for (int x = 0; x < original.width(); ++x) {
            const bool inside = std::any_of(covered.begin(), covered.end(), [&](const QRect &c) { return c.contains(x, y); });
            const QRgb expected = inside ? qRgb(0, 0, 0) : original.pixel(x, y);
            wrong += out.pixel(x, y) != expected;
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST(RedactCopyTest, BlackMarksCoverTheirRectanglesAndNothingElse)
{
    const QString folder = TestEnvironment::makeFolder("marks");
    const Fixture f = plantedFixture();
    const QString shot = savePng(f.image, folder + "/Shot 2.png", 72);
    const QImage loaded = ScreenshotImage::load(shot);
    // Detection rectangles are padded, fractional and may reach past the edge.
    const QList<QRectF> rects{QRectF(f.planted[0]).adjusted(-4.4, -4.4, 4.4, 4.4),
                              QRectF(f.planted[1]).adjusted(-4.4, -4.4, 4.4, 4.4), QRectF(880.5, -6, 40, 20)};
    const Result<QString> written =
        AnnotatedCopy::writeCopy(RedactionMarks::make(rects, QStringLiteral("black")), loaded, shot);
    ASSERT_TRUE(written.ok()) << written.error().toStdString();
    EXPECT_EQ(written.value(), folder + "/Shot 2_annotated.png");
    expectCoveredExactly(QImage(written.value()).convertToFormat(QImage::Format_RGB32), f.image, rects);

    const QString chosen = folder + "/out/redacted.png";
    QDir().mkpath(folder + "/out");
    const Result<QString> toOutput =
        AnnotatedCopy::writeCopy(RedactionMarks::make(rects, QStringLiteral("blur")), loaded, shot, chosen);
    ASSERT_TRUE(toOutput.ok());
    EXPECT_EQ(toOutput.value(), chosen);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 2) << "with an output path nothing is written beside";
}

TEST(RedactCommandTest, ArgumentsAndFailures)
{
    const QString folder = TestEnvironment::makeFolder("cli");
    const QString blank = savePng(filled(200, 100, Qt::white), folder + "/blank.png", 72);
    const QString broken = TestEnvironment::writeFile(folder + "/broken.png", "not a picture");

    const TestFiles::ToolRun unreadable = pictrove({"redact", broken});
    EXPECT_EQ(unreadable.exitCode, 1);
    EXPECT_TRUE(unreadable.errors.contains("broken.png")) << unreadable.errors.toStdString();

    const TestFiles::ToolRun missing = pictrove({"redact", folder + "/absent.png"});
    EXPECT_EQ(missing.exitCode, 1);

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

TEST(RedactCommandTest, BlackStyleCoversTheDetectedCardNumberAndAddress)
{
    const QString folder = TestEnvironment::makeFolder("e2e");
    const Fixture f = plantedFixture();
    QImage tagged = f.image;
    tagged.setText(QStringLiteral("Comment"), QStringLiteral("4242 4242 4242 4242"));
    const QString shot = savePng(tagged, folder + "/card.png", 72);

    const TestFiles::ToolRun scan = pictrove({"scan", "--types", "emails,creditCards", shot});
    ASSERT_EQ(scan.exitCode, 0) << scan.errors.toStdString();
    const QJsonObject found = QJsonDocument::fromJson(scan.output.trimmed().toUtf8()).object();
    QList<QRectF> rects;
    for (const QJsonValue &v : found.value("piiRects").toArray()) {
        const QJsonArray r = v.toArray();
        rects.append(QRectF(r[0].toDouble(), r[1].toDouble(), r[2].toDouble(), r[3].toDouble()));
    }
    ASSERT_GE(rects.size(), 2) << scan.output.toStdString();

    const QString output = folder + "/shared.png";
    const TestFiles::ToolRun run = pictrove({"redact", shot, "--style", "black", "--types", "emails,creditCards", "-o", output});
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_EQ(run.output.trimmed(), output);

    QFile file(output);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray png = file.readAll();
    for (const QByteArray &type : pngChunkTypes(png)) {
        EXPECT_TRUE(type == "IHDR" || type == "pHYs" || type == "IDAT" || type == "IEND") << type.toStdString();
    }
    const QImage out = QImage::fromData(png, "PNG").convertToFormat(QImage::Format_RGB32);
    expectCoveredExactly(out, f.image, rects);
    // Every pixel of the planted strings is covered.
    for (const QRect &planted : f.planted) {
        for (int y = planted.top(); y <= planted.bottom(); ++y) {
            for (int x = planted.left(); x <= planted.right(); ++x) {
                ASSERT_EQ(out.pixel(x, y), qRgb(0, 0, 0)) << "uncovered at " << x << "," << y;
            }
        }
    }

    // Without -o the copy goes beside the screenshot under the annotated name.
    const TestFiles::ToolRun beside = pictrove({"redact", shot, "--style", "black", "--types", "emails,creditCards"});
    ASSERT_EQ(beside.exitCode, 0);
    EXPECT_EQ(beside.output.trimmed(), folder + "/card_annotated.png");
}

} // namespace
