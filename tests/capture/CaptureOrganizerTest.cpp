// SPDX-License-Identifier: GPL-3.0-or-later
#include "CaptureFixture.h"
#include "app/ScreenshotMonitor.h"
#include "capture/CaptureDisplay.h"
#include "capture/CaptureOrganizer.h"
#include "capture/CaptureSession.h"
#include "capture/ContentHash.h"
#include "platform/FreedesktopThumbnailCache.h"
#include "platform/ScreenshotToolDomain.h"

#include "common/ScopedEnv.h"
#include "common/TestLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>

#include <utility>

namespace {

// Stands in for the desktop: records which display steps were asked for.
struct RecordingDisplay : CaptureDisplay
{
    QStringList calls;
    void copyToClipboard(const ScreenshotRecord &r) override { calls << "clipboard " + r.movedURL; }
    void showThumbnail(const ScreenshotRecord &r) override { calls << "thumbnail " + r.movedURL; }
    void showTagDialog(const ScreenshotRecord &r) override { calls << "tagDialog " + r.movedURL; }
    void postNotification(const ScreenshotRecord &r) override { calls << "notification " + r.movedURL; }
    void showPIIBadge(const ScreenshotRecord &r) override { calls << "badge " + r.movedURL; }
};

class CaptureOrganizerTest : public CaptureFixture
{
protected:
    CaptureOrganizerTest()
    {
        m_organizer->setAppNameSource([] { return QStringLiteral("Text Editor"); });
        m_organizer->setRecentSink([this](const ScreenshotRecord &r) { m_recent.prepend(r); });
        m_organizer->setDisplay(&m_display);
        m_organizer->setThumbnailCache(m_thumbnails);
    }

    std::unique_ptr<CaptureOrganizer> m_organizer = std::make_unique<CaptureOrganizer>(m_settings, *m_index);
    std::shared_ptr<const FreedesktopThumbnailCache> m_thumbnails =
        std::make_shared<const FreedesktopThumbnailCache>(m_base + "/thumbnails");
    RecordingDisplay m_display;
    QList<ScreenshotRecord> m_recent;
};

TEST_F(CaptureOrganizerTest, WithDefaultsOneCaptureIsFiledRecordedIndexedShownAndScanned)
{
    const QString source = png("Screenshot 2024-03-05 at 14.07.09.png");
    const QString expectedHash = *ContentHash::ofFile(source);
    QSignalSpy stored(m_organizer.get(), &CaptureOrganizer::scanStored);

    const auto outcome = m_organizer->organizeScreenshot(source);
    ASSERT_EQ(outcome.status, CaptureOrganizer::Outcome::Filed);
    const ScreenshotRecord record = *outcome.record;
    EXPECT_FALSE(QFile::exists(source));
    EXPECT_TRUE(QFile::exists(record.movedURL));
    EXPECT_TRUE(record.movedURL.startsWith(m_library + "/Text Editor/" + QDate::currentDate().toString("yyyy-MM-dd") + "/screenshot_"));
    EXPECT_EQ(record.originalURL, source);
    EXPECT_EQ(record.appName, "Text Editor");
    EXPECT_FALSE(record.id.isNull());
    ASSERT_EQ(m_recent.size(), 1);
    EXPECT_EQ(m_recent.first().id, record.id);
    EXPECT_EQ(m_index->entry(record.movedURL),
              (ScreenshotIndexEntry{record.movedURL, "Text Editor", record.timestamp, {}, {}, {}, expectedHash}));
    EXPECT_TRUE(m_index->hasPendingSave());
    EXPECT_EQ(m_display.calls, (QStringList{"thumbnail " + record.movedURL, "notification " + record.movedURL}));

    // The scan's result reaches the index entry.
    EXPECT_EQ(m_organizer->scansInFlight(), 1);
    ASSERT_TRUE(stored.wait(20000));
    const auto result = stored.first().at(1).value<PIIDetector::ScanResult>();
    EXPECT_EQ(m_index->entry(record.movedURL)->ocrText, result.ocrText);
    EXPECT_EQ(m_organizer->scansInFlight(), 0);
    // Its shared thumbnail, written before the scan, is valid for the file in the library.
    EXPECT_FALSE(m_thumbnails->find(*ThumbnailCache::source(record.movedURL)).isNull());
}

// Without a display (a headless run) the capture is still filed, indexed and recorded.
TEST_F(CaptureOrganizerTest, EachDisplayStepFollowsItsSetting)
{
    const struct
    {
        bool display, clipboard, thumbnail, notification;
        QStringList expected;
    } cases[] = {
        {true, true, true, true, {"clipboard", "thumbnail", "notification"}},
        {true, false, false, true, {"tagDialog", "notification"}},
        {true, true, false, false, {"clipboard", "tagDialog"}}, {true, false, true, false, {"thumbnail"}},
        {false, true, true, true, {}},
    };
    int shade = 0;
    for (const auto &c : cases) {
        m_organizer->setDisplay(c.display ? &m_display : nullptr);
        m_settings.setCopyToClipboardOnCapture(c.clipboard);
        m_settings.setShowFloatingThumbnail(c.thumbnail);
        m_settings.setShowNotification(c.notification);
        m_settings.setScanOnCapture(false);
        m_display.calls.clear();
        const auto outcome = m_organizer->organizeScreenshot(png("Screenshot 2024-03-05 at 14.07.09.png", shade++));
        ASSERT_EQ(outcome.status, CaptureOrganizer::Outcome::Filed);
        QStringList kinds;
        for (const QString &call : m_display.calls) {
            kinds << call.section(' ', 0, 0);
        }
        EXPECT_EQ(kinds, c.expected);
        EXPECT_EQ(m_organizer->scansInFlight(), 0);
        EXPECT_TRUE(m_index->contains(outcome.record->movedURL));
        EXPECT_EQ(m_recent.size(), shade);
        // Without a scan to make it, the shared thumbnail is made beside the caller.
        const auto source = ThumbnailCache::source(outcome.record->movedURL);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !m_thumbnails->find(*source).isNull(); }, 10000));
    }
}

TEST_F(CaptureOrganizerTest, FolderNameAndRecordShareOneReadingOfTheClock)
{
    // Each reading is a millisecond later than the one before: just before midnight, a second
    // reading would fall on the next day.
    const QDateTime first(QDate(2024, 3, 5), QTime(23, 59, 59, 999));
    QDateTime next = first;
    m_organizer->setClock([&next] { return std::exchange(next, next.addMSecs(1)); });
    m_settings.setScanOnCapture(false);
    const auto outcome = m_organizer->organizeScreenshot(png("Screenshot 2024-03-05 at 23.59.59.png"));
    ASSERT_EQ(outcome.status, CaptureOrganizer::Outcome::Filed);
    EXPECT_EQ(outcome.record->movedURL, m_library + "/Text Editor/2024-03-05/screenshot_23-59-59.png");
    EXPECT_EQ(outcome.record->timestamp, first);
    EXPECT_EQ(m_index->entry(outcome.record->movedURL)->timestamp, first);
}

// A duplicate is trashed instead of filed, recorded, indexed or shown.
TEST_F(CaptureOrganizerTest, DuplicatesFollowTheSettingAndTheEarlierCopysPresence)
{
    const struct
    {
        const char *what;
        bool dedupe;
        bool deleteEarlier;
        CaptureOrganizer::Outcome::Status expected;
    } cases[] = {
        {"earlier copy present", true, false, CaptureOrganizer::Outcome::Duplicate}, // first: its day folder is empty
        {"dedupe off keeps both", false, false, CaptureOrganizer::Outcome::Filed},
        {"earlier copy deleted", true, true, CaptureOrganizer::Outcome::Filed},
    };
    m_settings.setScanOnCapture(false);
    int shade = 20;
    for (const auto &c : cases) {
        m_settings.setDedupeDuplicates(c.dedupe);
        const auto first = m_organizer->organizeScreenshot(png("Screenshot 2024-03-05 at 14.07.09.png", shade));
        ASSERT_EQ(first.status, CaptureOrganizer::Outcome::Filed) << c.what;
        if (c.deleteEarlier) {
            QFile::remove(first.record->movedURL);
        }
        const auto entriesBefore = m_index->entries();
        const qsizetype recentBefore = m_recent.size();
        m_display.calls.clear();
        const QString source = png("Screenshot 2024-03-05 at 14.07.11.png", shade++);
        CaptureOrganizer::Outcome second;
        const std::string log = TestLog::printed([&] { second = m_organizer->organizeScreenshot(source); });
        EXPECT_EQ(second.status, c.expected) << c.what;
        EXPECT_FALSE(QFile::exists(source)) << c.what;
        if (second.record) {
            EXPECT_TRUE(QFile::exists(second.record->movedURL)) << c.what;
            EXPECT_EQ(m_index->entry(second.record->movedURL)->contentHash,
                      m_index->entry(first.record->movedURL)->contentHash)
                << c.what;
            continue;
        }
        EXPECT_EQ(second.duplicateOf, first.record->movedURL);
        EXPECT_EQ(log,
                  ("Pictrove: Duplicate of " + QFileInfo(first.record->movedURL).fileName() + " — trashed\n").toStdString());
        EXPECT_EQ(m_index->entries(), entriesBefore);
        EXPECT_EQ(m_recent.size(), recentBefore);
        EXPECT_TRUE(m_display.calls.isEmpty());
        // Only the first copy is left in the library's day folder.
        EXPECT_EQ(QFileInfo(first.record->movedURL).dir().entryList(QDir::Files).size(), 1);
    }
}

TEST_F(CaptureOrganizerTest, AnUnwritableLibraryLogsOnceLeavesTheFileAndTheNextCaptureWorks)
{
    m_settings.setScanOnCapture(false);
    // A plain file where the library should be: no folder can be made inside it.
    TestEnvironment::writeFile(m_base + "/blocked", "x");
    m_settings.setDestinationFolder(m_base + "/blocked/library");
    const QString source = png("Screenshot 2024-03-05 at 14.07.09.png");

    CaptureOrganizer::Outcome failed;
    const std::string log = TestLog::printed([&] { failed = m_organizer->organizeScreenshot(source); });
    EXPECT_EQ(failed.status, CaptureOrganizer::Outcome::Failed);
    EXPECT_FALSE(failed.error.isEmpty());
    EXPECT_TRUE(TestLog::oneLineStartingWith(log, "Pictrove: Failed to organize screenshot: ")) << log;
    EXPECT_TRUE(QFile::exists(source));
    EXPECT_TRUE(m_index->entries().isEmpty());
    EXPECT_TRUE(m_recent.isEmpty());
    EXPECT_TRUE(m_display.calls.isEmpty());

    m_settings.setDestinationFolder(m_library);
    EXPECT_EQ(m_organizer->organizeScreenshot(png("Screenshot 2024-03-05 at 14.07.12.png", 3)).status,
              CaptureOrganizer::Outcome::Filed);
}

TEST_F(CaptureOrganizerTest, AnEntryLeftAtTheSamePathKeepsItsTagsAndText)
{
    m_settings.setScanOnCapture(false);
    const QDateTime moment(QDate(2024, 3, 5), QTime(14, 7, 9));
    const QString path = m_library + "/Text Editor/2024-03-05/screenshot_14-07-09.png";
    m_index->insert({path, "Old", {}, "kept", {}, {"kept"}, "old"});

    CaptureOrganizer::Options options;
    options.moment = moment;
    const auto outcome = m_organizer->organizeScreenshot(png("Screenshot 2024-03-05 at 14.07.09.png"), options);
    ASSERT_EQ(outcome.status, CaptureOrganizer::Outcome::Filed);
    ASSERT_EQ(outcome.record->movedURL, path);
    EXPECT_EQ(outcome.record->timestamp, moment);
    const auto entry = *m_index->entry(path);
    EXPECT_EQ(entry.appName, "Text Editor");
    EXPECT_EQ(entry.tags, QStringList{"kept"});
    EXPECT_EQ(entry.ocrText, "kept");
    EXPECT_EQ(entry.contentHash, ContentHash::ofFile(path));
}

TEST(ContentHash, KnownDigestsAndUnreadableFiles)
{
    const QString empty = TestEnvironment::writeFile(TestEnvironment::makeFolder("hash") + "/empty", "");
    EXPECT_EQ(ContentHash::ofFile(empty), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    // Larger than one read block, so the streaming path is exercised.
    QByteArray big(3 * 1024 * 1024 + 17, 'x');
    const QString bigFile = TestEnvironment::writeFile(TestEnvironment::makeFolder("hash") + "/big", big);
    EXPECT_EQ(ContentHash::ofFile(bigFile), ContentHash::ofBytes(big));
    EXPECT_EQ(ContentHash::ofFile("/nonexistent/file.png"), std::nullopt);
}

class CaptureSessionTest : public CaptureFixture
{
protected:
    CaptureSessionTest()
    {
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
        {"soon after the start", 10, 3600 * 1000, 1}, {"periodic", 3600 * 1000, 20, 3},
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
