// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the watcher's worker thread against real files; kept free of data races so that it
// also runs under ThreadSanitizer.
#include "app/ScreenshotMonitor.h"
#include "common/TestEnvironment.h"
#include "common/TestFiles.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <atomic>
#include <thread>

#include <unistd.h>

namespace {

QByteArray pngBytes(int size)
{
    // Enough of a PNG for the watcher: signature, filler, and the closing IEND chunk.
    QByteArray bytes("\x89PNG\r\n\x1a\n", 8);
    while (bytes.size() < size - 12) {
        bytes.append(char('a' + bytes.size() % 26));
    }
    bytes.append(QByteArray("\0\0\0\0IEND\xae\x42\x60\x82", 12));
    return bytes;
}

class ScreenshotMonitorTest : public ::testing::Test
{
protected:
    void SetUp() override { m_folder = TestEnvironment::makeFolder("watched"); }
    void TearDown() override { m_monitor.reset(); }

    ScreenshotMonitor &monitor()
    {
        if (!m_monitor) {
            m_monitor = std::make_unique<ScreenshotMonitor>(m_folder);
            m_monitor->onScreenshotDetected = [this](const QString &path) {
                m_reports[path] += 1;
                m_contentAtReport[path] = TestFiles::contents(path);
            };
        }
        return *m_monitor;
    }
    QString path(const QString &name) const { return m_folder + "/" + name; }
    void write(const QString &name, const QByteArray &bytes) { TestEnvironment::writeFile(path(name), bytes); }
    // Runs the event loop until count reports arrived or the time is up.
    void waitForReports(int count, int ms)
    {
        QDeadlineTimer deadline(ms);
        while (totalReports() < count && !deadline.hasExpired()) {
            QTest::qWait(20);
        }
    }
    int totalReports() const
    {
        int n = 0;
        for (int c : m_reports) {
            n += c;
        }
        return n;
    }

    QString m_folder;
    std::unique_ptr<ScreenshotMonitor> m_monitor;
    QMap<QString, int> m_reports;
    QMap<QString, QByteArray> m_contentAtReport;
};

TEST_F(ScreenshotMonitorTest, LogLinesAndStateOfStartAndStop)
{
    QSignalSpy changes(&monitor(), &ScreenshotMonitor::monitoringChanged);
    testing::internal::CaptureStdout();
    monitor().start();
    monitor().start(); // the second call does nothing and says nothing
    EXPECT_TRUE(monitor().isMonitoring());
    monitor().stop();
    monitor().stop(); // logs every time
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "Pictrove: Monitoring " + m_folder.toStdString() + " for screenshots\n"
                   "Pictrove: Stopped monitoring\nPictrove: Stopped monitoring\n");
    EXPECT_FALSE(monitor().isMonitoring());
    EXPECT_EQ(changes.count(), 2);
}

TEST_F(ScreenshotMonitorTest, MissingFolderIsCreatedAndAnUnopenableOneIsLogged)
{
    m_folder = m_folder + "/not/yet/there";
    monitor().start();
    EXPECT_TRUE(QFileInfo(m_folder).isDir());
    monitor().stop();
    m_monitor.reset();

    const QString file = TestEnvironment::writeFile(TestEnvironment::makeFolder("blocked") + "/file", "x");
    m_folder = file + "/inside";
    testing::internal::CaptureStdout();
    monitor().start();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "Pictrove: Failed to open directory for monitoring: " + m_folder.toStdString() +
                       "\nPictrove: Monitoring " + m_folder.toStdString() + " for screenshots\n");
    EXPECT_TRUE(monitor().isMonitoring());
}

TEST_F(ScreenshotMonitorTest, HiddenTemporaryRenamedToItsFinalNameIsReportedOnceByThatName)
{
    write("old screenshot that was there.png", "x");
    write("Screenshot 2024-03-05 at 10.00.00.png", pngBytes(100)); // there before start
    monitor().start();
    const QString temp = ".Screenshot 2024-03-05 at 14.07.09.png-XXXX";
    write(temp, pngBytes(4096));
    ASSERT_TRUE(QFile::rename(path(temp), path("Screenshot 2024-03-05 at 14.07.09.png")));
    waitForReports(1, 5000);
    QTest::qWait(1500);
    EXPECT_EQ(m_reports.size(), 1);
    EXPECT_EQ(m_reports.value(path("Screenshot 2024-03-05 at 14.07.09.png")), 1);
}

TEST_F(ScreenshotMonitorTest, BurstOfTwoHundredEachReportedOnce)
{
    monitor().start();
    QStringList names;
    for (int i = 0; i < 200; ++i) {
        const QString name = QString("Screenshot 2024-03-05 at 14.%1.%2.png").arg(i / 60, 2, 10, QChar('0')).arg(i % 60, 2, 10, QChar('0'));
        names << name;
        write(name, pngBytes(512 + i));
    }
    waitForReports(200, 15000);
    QTest::qWait(1000);
    ASSERT_EQ(m_reports.size(), 200);
    for (const QString &name : names) {
        EXPECT_EQ(m_reports.value(path(name)), 1) << name.toStdString();
        EXPECT_EQ(m_contentAtReport.value(path(name)).size(), 512 + names.indexOf(name));
    }
}

TEST_F(ScreenshotMonitorTest, FileWrittenSlowlyInChunksIsReportedOnceWhenComplete)
{
    monitor().start();
    const QByteArray full = pngBytes(2 * 1024 * 1024);
    const QString name = "Screenshot from 2024-03-05 14-07-09.png";
    std::atomic<bool> done{false};
    // Like the desktops' tools: create the file empty, then write it in chunks over 2 s.
    std::thread writer([&] {
        QFile f(path(name));
        if (f.open(QIODevice::WriteOnly)) {
            f.flush();
            ::usleep(400 * 1000);
            const qsizetype chunk = full.size() / 8;
            for (qsizetype at = 0; at < full.size(); at += chunk) {
                f.write(full.mid(at, chunk));
                f.flush();
                ::usleep(200 * 1000);
            }
            f.close();
        }
        done = true;
    });
    waitForReports(1, 8000);
    writer.join();
    QTest::qWait(1000);
    ASSERT_EQ(m_reports.value(path(name)), 1);
    EXPECT_EQ(m_contentAtReport.value(path(name)), full);
}

// When a file counts as complete is the folder scanner's, pinned with a given clock; here: a
// file its writer never closes still gets its recheck, and is reported once.
TEST_F(ScreenshotMonitorTest, UnclosedFileIsReportedOnceItsSizeSettles)
{
    monitor().start();
    const QString name = "Screenshot_20240305_140709.png";
    QFile open(path(name));
    ASSERT_TRUE(open.open(QIODevice::WriteOnly));
    open.write(pngBytes(1000));
    open.flush();
    waitForReports(1, 8000);
    QTest::qWait(500);
    EXPECT_EQ(m_reports.size(), 1);
    EXPECT_EQ(m_reports.value(path(name)), 1);
}

TEST_F(ScreenshotMonitorTest, StopThenStartLeavesWhatCameInBetween)
{
    monitor().start();
    monitor().stop();
    write("Screenshot 2024-03-05 at 14.07.09.png", pngBytes(300));
    QTest::qWait(1200);
    monitor().start();
    write("Screenshot 2024-03-05 at 14.07.10.png", pngBytes(300));
    waitForReports(1, 5000);
    QTest::qWait(1200);
    EXPECT_EQ(m_reports.size(), 1);
    EXPECT_EQ(m_reports.value(path("Screenshot 2024-03-05 at 14.07.10.png")), 1);
    EXPECT_TRUE(QFileInfo::exists(path("Screenshot 2024-03-05 at 14.07.09.png")));
}

TEST_F(ScreenshotMonitorTest, ReportOnItsWayIsDroppedWhenTheMonitorIsGone)
{
    monitor().start();
    write("Screenshot 2024-03-05 at 14.07.09.png", pngBytes(300));
    // Let the report be posted to the main thread without running the event loop.
    QThread::msleep(1500);
    m_monitor.reset();
    QTest::qWait(200);
    EXPECT_TRUE(m_reports.isEmpty());
}

TEST_F(ScreenshotMonitorTest, RecentListKeepsTheTwentyNewest)
{
    QSignalSpy changes(&monitor(), &ScreenshotMonitor::recentScreenshotsChanged);
    QList<ScreenshotRecord> made;
    for (int i = 0; i < 25; ++i) {
        ScreenshotRecord r;
        r.id = QUuid::createUuid();
        r.appName = QString::number(i);
        made << r;
        monitor().addRecent(r);
    }
    ASSERT_EQ(monitor().recentScreenshots().size(), 20);
    EXPECT_EQ(monitor().recentScreenshots().first().appName, "24");
    EXPECT_EQ(monitor().recentScreenshots().last().appName, "5");
    EXPECT_EQ(changes.count(), 25 + 5);
    monitor().addRecent(made[20]); // the same record twice
    monitor().removeRecent(made[20].id);
    ASSERT_EQ(monitor().recentScreenshots().size(), 18);
    EXPECT_EQ(monitor().recentScreenshots().first().appName, "24");
    EXPECT_EQ(monitor().recentScreenshots().at(3).appName, "21");
    EXPECT_EQ(monitor().recentScreenshots().at(4).appName, "19");
}

} // namespace
