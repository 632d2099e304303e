// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/PreviewImage.h"

#include "common/TestEnvironment.h"

#include <gtest/gtest.h>

namespace {

TEST(PreviewImage, ScalesEveryFormatInItsTrueColours)
{
    // One-colour captures are written as palette or one-bit PNGs: those must not turn to noise.
    const QRgb blue = qRgb(0x30, 0x70, 0xc0);
    struct Case
    {
        QImage::Format format;
        const char *type;
        Qt::AspectRatioMode mode;
        QSize expected;
    };
    const Case cases[] = {
        {QImage::Format_RGB32, "PNG", Qt::KeepAspectRatio, {60, 33}},
        {QImage::Format_Indexed8, "PNG", Qt::KeepAspectRatio, {60, 33}},
        {QImage::Format_Mono, "PNG", Qt::KeepAspectRatio, {60, 33}},
        {QImage::Format_Mono, "PNG", Qt::KeepAspectRatioByExpanding, {145, 80}},
        {QImage::Format_RGB32, "JPEG", Qt::KeepAspectRatioByExpanding, {145, 80}},
    };
    int n = 0;
    for (const Case &c : cases) {
        QImage image(900, 496, c.format);
        if (c.format == QImage::Format_RGB32) {
            image.fill(blue);
        } else {
            image.setColorTable({blue, blue});
            image.fill(0);
        }
        const QString path = TestEnvironment::home() + QStringLiteral("/preview-%1.img").arg(++n);
        ASSERT_TRUE(image.save(path, c.type));
        const QImage preview = PreviewImage::read(path, QSize(60, 80), c.mode);
        EXPECT_EQ(preview.size(), c.expected) << n;
        for (const QPoint &at : {QPoint(1, 1), QPoint(preview.width() / 2, preview.height() / 2)}) {
            const QColor got = preview.pixelColor(at);
            EXPECT_NEAR(got.red(), 0x30, 3) << n; // JPEG is near, not exact
            EXPECT_NEAR(got.green(), 0x70, 3) << n;
            EXPECT_NEAR(got.blue(), 0xc0, 3) << n;
        }
    }
    EXPECT_TRUE(PreviewImage::read(TestEnvironment::home() + "/missing.png", QSize(60, 80)).isNull());
}

} // namespace
