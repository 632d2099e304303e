// SPDX-License-Identifier: GPL-3.0-or-later
#include "capture/CaptureSession.h"

#include "CaptureFixture.h"
#include "common/ScopedEnv.h"
#include "app/ScreenshotMonitor.h"
#include "platform/ScreenshotToolDomain.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

namespace {

class CaptureSessionTest : public CaptureFixture
{
protected:
    void SetUp() override
    {
        CaptureFixture::SetUp();
        QDir().mkpath(m_watched);
        m_settings.setSourceFolder(m_watched);
        m_settings.setScanOnCapture(false);
        m_settings.removeRawValue("priorSystemThumbnailState");
        QSettings(qEnvironmentVariable("XDG_CONFIG_HOME") + "/Pictrove/ScreenshotTool.conf", QSettings::IniFormat)
            .remove("show-thumbnail");
    }

    static QVariant systemThumbnail() { return ScreenshotToolDomain::open()->showThumbnail(); }

    ScopedEnv m_env{{"XDG_CURRENT_DESKTOP", "GNOME"}};
};

TEST_F(CaptureSessionTest, StartsAndStopsInOrderAroundTheFrontEndsSteps)
{
    CaptureSession session(m_settings, *m_index, {.delayMs = 3600 * 1000, .intervalMs = 7200 * 1000, .run = {}});
    QStringList seen;
    CaptureSession::FrontEndSteps steps;
    steps.beforeMonitor = [&] {
        seen << QStringLiteral("front end first: library %1, monitoring %2")
                    .arg(QFileInfo(m_library).isDir())
                    .arg(session.monitor().isMonitoring());
    };
    steps.beforeCleanUp = [&] {
        seen << QStringLiteral("front end later: monitoring %1, system thumbnail %2, clean-up %3")
                    .arg(session.monitor().isMonitoring())
                    .arg(systemThumbnail().toString())
                    .arg(session.cleanUpTimer().isActive());
    };
    session.start(steps);
    EXPECT_EQ(seen, (QStringList{"front end first: library 1, monitoring 0",
                                 "front end later: monitoring 1, system thumbnail false, clean-up 0"}));
    EXPECT_TRUE(session.cleanUpTimer().isActive());
    EXPECT_EQ(session.cleanUpTimer().interval(), 7200 * 1000);
    EXPECT_EQ(session.monitor().monitoredDirectory(), m_watched);

    // A new screenshot in the watched folder is filed and heads the recent list.
    png("Screenshot 2024-03-05 at 14.07.09.png");
    QTRY_COMPARE_WITH_TIMEOUT(session.monitor().recentScreenshots().size(), 1, 20000);
    const ScreenshotRecord record = session.monitor().recentScreenshots().first();
    EXPECT_EQ(record.appName, "Unknown");
    EXPECT_TRUE(QFileInfo(record.movedURL).isFile());
    EXPECT_TRUE(m_index->contains(record.movedURL));

    // The stop puts the system thumbnail back as it was before the start: unset.
    session.stop();
    EXPECT_FALSE(session.monitor().isMonitoring());
    EXPECT_FALSE(systemThumbnail().isValid());
}

TEST_F(CaptureSessionTest, StopWithTheSystemThumbnailLeftAloneDoesNotTouchIt)
{
    m_settings.setDisableSystemThumbnail(false);
    ScreenshotToolDomain::open()->setShowThumbnail(true);
    CaptureSession session(m_settings, *m_index);
    session.stop(); // never started: the monitor is made only to stop it
    EXPECT_FALSE(session.monitor().isMonitoring());
    EXPECT_EQ(systemThumbnail(), true);
}

// Both clean-ups take the settings and index the session was given, never the process-wide ones.
TEST_F(CaptureSessionTest, CleanUpsRunWithTheGivenSettingsAndIndex)
{
    const struct
    {
        const char *which;
        int delayMs;
        int intervalMs;
        int runs; // at least, within the wait
    } cases[] = {
        {"soon after the start", 10, 3600 * 1000, 1},
        {"periodic", 3600 * 1000, 20, 3},
    };
    for (const auto &c : cases) {
        QList<std::pair<const AppSettings *, const ScreenshotIndex *>> runs;
        CaptureSession::CleanUp cleanUp{c.delayMs, c.intervalMs,
                                        [&runs](const AppSettings &s, ScreenshotIndex &i) { runs.append({&s, &i}); }};
        CaptureSession session(m_settings, *m_index, cleanUp);
        session.start();
        QTRY_VERIFY_WITH_TIMEOUT(runs.size() >= c.runs, 20000);
        for (const auto &[settings, index] : runs) {
            EXPECT_EQ(settings, &m_settings) << c.which;
            EXPECT_NE(settings, &AppSettings::shared()) << c.which;
            EXPECT_EQ(index, m_index.get()) << c.which;
        }
        session.stop();
    }
}

} // namespace
