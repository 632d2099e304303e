// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the watcher's worker thread against real files; kept free of data races so that it
// also runs under ThreadSanitizer.
#include "app/ScreenshotMonitor.h"
#include "common/TestEnvironment.h"
#include "common/TestFiles.h"
#include "common/TestLog.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

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

    QString m_folder = TestEnvironment::makeFolder("watched");
    std::unique_ptr<ScreenshotMonitor> m_monitor;
    QMap<QString, int> m_reports;
    QMap<QString, QByteArray> m_contentAtReport;
};

TEST_F(ScreenshotMonitorTest, LogLinesAndStateOfStartAndStopInAnyFolderAndTheRecentList)
{
    m_folder += "/not/yet/there"; // made on start
    QSignalSpy changes(&monitor(), &ScreenshotMonitor::monitoringChanged);
    EXPECT_EQ(TestLog::printed([&] {
                  monitor().start();
                  monitor().start(); // the second call does nothing and says nothing
                  EXPECT_TRUE(monitor().isMonitoring());
                  EXPECT_TRUE(QFileInfo(m_folder).isDir());
                  monitor().stop();
                  monitor().stop(); // logs every time
              }),
              "Pictrove: Monitoring " + m_folder.toStdString() + " for screenshots\n"
              "Pictrove: Stopped monitoring\nPictrove: Stopped monitoring\n");
    EXPECT_FALSE(monitor().isMonitoring());
    EXPECT_EQ(changes.count(), 2);
    m_monitor.reset();

    // One that cannot be opened is logged.
    m_folder = TestEnvironment::writeFile(TestEnvironment::makeFolder("blocked") + "/file", "x") + "/inside";
    EXPECT_EQ(TestLog::printed([&] { monitor().start(); }), "Pictrove: Failed to open directory for monitoring: " + m_folder.toStdString() +
                       "\nPictrove: Monitoring " + m_folder.toStdString() + " for screenshots\n");
    EXPECT_TRUE(monitor().isMonitoring());

    // The recent list keeps the twenty newest.
    QSignalSpy recentChanges(&monitor(), &ScreenshotMonitor::recentScreenshotsChanged);
    QList<ScreenshotRecord> made;
    for (int i = 0; i < 25; ++i) {
        made << ScreenshotRecord{QUuid::createUuid(), {}, {}, QString::number(i), {}, {}, {}};
        monitor().addRecent(made.last());
    }
    ASSERT_EQ(monitor().recentScreenshots().size(), 20);
    EXPECT_EQ(monitor().recentScreenshots().first().appName, "24");
    EXPECT_EQ(monitor().recentScreenshots().last().appName, "5");
    EXPECT_EQ(recentChanges.count(), 25 + 5);
    monitor().addRecent(made[20]); // the same record twice
    monitor().removeRecent(made[20].id);
    ASSERT_EQ(monitor().recentScreenshots().size(), 18);
    EXPECT_EQ(monitor().recentScreenshots().first().appName, "24");
    EXPECT_EQ(monitor().recentScreenshots().at(3).appName, "21");
    EXPECT_EQ(monitor().recentScreenshots().at(4).appName, "19");
}

// Captures arriving the ways the desktops' tools write them, all at once: each is reported
// once, by its final name, with its whole content. When a file counts as complete is the
// folder scanner's, pinned there with a given clock.
TEST_F(ScreenshotMonitorTest, EveryCaptureIsReportedOnceWithItsWholeContentAndNoneAfterTheMonitorIsGone)
{
    // What was there before the start, or came while the monitor was stopped, is left alone.
    write("Screenshot 2024-03-05 at 10.00.00.png", pngBytes(100));
    monitor().start();
    monitor().stop();
    write("Screenshot 2024-03-05 at 10.00.01.png", pngBytes(300));
    QTest::qWait(1200);
    monitor().start();
    QMap<QString, QByteArray> expected;

    // A hidden temporary renamed to its final name.
    const QString temp = ".Screenshot 2024-03-05 at 14.07.09.png-XXXX";
    expected[path("Screenshot 2024-03-05 at 14.07.09.png")] = pngBytes(4096);
    write(temp, pngBytes(4096));
    ASSERT_TRUE(QFile::rename(path(temp), path("Screenshot 2024-03-05 at 14.07.09.png")));

    // A file its writer never closes: it still gets its recheck once its size settles.
    QFile unclosed(path("Screenshot_20240305_140709.png"));
    ASSERT_TRUE(unclosed.open(QIODevice::WriteOnly));
    expected[unclosed.fileName()] = pngBytes(1000);
    unclosed.write(pngBytes(1000));
    unclosed.flush();

    // Created empty, then written in chunks over 2 s.
    const QString slow = path("Screenshot from 2024-03-05 14-07-09.png");
    expected[slow] = pngBytes(2 * 1024 * 1024);
    std::thread writer([&, full = expected[slow]] {
        QFile f(slow);
        if (f.open(QIODevice::WriteOnly)) {
            f.flush();
            ::usleep(400 * 1000);
            const qsizetype chunk = full.size() / 8;
            for (qsizetype at = 0; at < full.size(); at += chunk) {
                f.write(full.mid(at, chunk));
                f.flush();
                ::usleep(200 * 1000);
            }
        }
    });

    // A burst of two hundred.
    for (int i = 0; i < 200; ++i) {
        const QString name = QString("Screenshot 2024-03-05 at 14.%1.%2.png").arg(i / 60, 2, 10, QChar('0')).arg(i % 60, 2, 10, QChar('0'));
        expected[path(name)] = pngBytes(512 + i);
        write(name, expected[path(name)]);
    }

    EXPECT_TRUE(QTest::qWaitFor([&] { return m_reports.size() >= expected.size(); }, 20000));
    writer.join();
    QTest::qWait(1500);
    EXPECT_EQ(m_reports.size(), expected.size());
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        EXPECT_EQ(m_reports.value(it.key()), 1) << it.key().toStdString();
        EXPECT_EQ(m_contentAtReport.value(it.key()), it.value()) << it.key().toStdString();
    }
    // A report on its way is dropped when the monitor is gone: it is posted to the main thread
    // while the event loop does not run.
    write("Screenshot 2024-03-05 at 15.00.00.png", pngBytes(300));
    QThread::msleep(1500);
    m_monitor.reset();
    QTest::qWait(200);
    EXPECT_EQ(m_reports.size(), expected.size());
}

} // namespace
