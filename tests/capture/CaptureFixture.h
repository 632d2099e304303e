// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/AppSettings.h"
#include "common/TestEnvironment.h"
#include "common/TestSettings.h"
#include "library/ScreenshotIndex.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include <memory>

// A watched folder, a library and an index of their own, with settings at their defaults.
class CaptureFixture : public ::testing::Test
{
protected:
    CaptureFixture()
    {
        TestSettings::resetAll(m_settings);
        m_settings.setDestinationFolder(m_library);
    }

    // A small valid PNG; the shade makes its bytes differ from other shades.
    QString png(const QString &relative, int shade = 0)
    {
        const QString path = m_watched + "/" + relative;
        TestEnvironment::writeFile(path, QByteArray());
        QImage image(16, 12, QImage::Format_RGB32);
        image.fill(QColor(shade, 100, 200));
        EXPECT_TRUE(image.save(path, "PNG"));
        return path;
    }

    const QString m_base = TestEnvironment::makeFolder("capture");
    const QString m_watched = m_base + "/watched";
    const QString m_library = m_base + "/library";
    AppSettings m_settings;
    std::unique_ptr<ScreenshotIndex> m_index = std::make_unique<ScreenshotIndex>(m_base + "/index.json");
};
