// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/RetentionService.h"

#include "app/AppSettings.h"
#include "common/TestEnvironment.h"
#include "common/TestFiles.h"
#include "common/TestLog.h"
#include "common/TestSettings.h"
#include "library/ScreenshotIndex.h"
#include "platform/FileSystem.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSemaphore>
#include <QTest>
#include <QThreadPool>

namespace {

class RetentionServiceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_base = TestEnvironment::makeFolder("retention");
        m_root = m_base + "/lib";
        QDir().mkpath(m_root);
    }

    QString file(const QString &relative) { return TestEnvironment::writeFile(m_root + "/" + relative, relative.toUtf8()); }

    // The moment at which every file made so far is `days` days and `extra` seconds old.
    QDateTime ageOfNewest(qint64 days, qint64 extra)
    {
        QDateTime newest;
        FileSystem::walk(m_root, [&](const FileSystem::WalkItem &item) {
            if (!item.isDirectory && (!newest.isValid() || item.created > newest)) {
                newest = item.created;
            }
            return true;
        });
        return newest.addSecs(days * 86400 + extra);
    }

    RetentionService::Config config(bool archive, qint64 days = 30) const { return {m_root, days, archive}; }

    static QStringList sources(const RetentionService::Moves &moves)
    {
        QStringList list;
        for (const auto &m : moves) {
            list << m.from;
        }
        list.sort();
        return list;
    }

    QString m_base;
    QString m_root;
};

TEST_F(RetentionServiceTest, CutOffIsStrictToTheSecond)
{
    const QString a = file("App/2024-01-05/a.png");
    const struct
    {
        qint64 extraSeconds;
        bool moved;
    } cases[] = {{-3600, false}, {-1, false}, {0, false}, {1, true}};
    for (const auto &c : cases) {
        const auto moves = RetentionService::collectExpired(config(true), ageOfNewest(30, c.extraSeconds));
        EXPECT_EQ(!moves.isEmpty(), c.moved) << c.extraSeconds;
        if (!moves.isEmpty()) {
            EXPECT_TRUE(QFile::exists(m_root + "/Archive/App/2024-01-05/a.png"));
            EXPECT_FALSE(QFile::exists(a));
        }
    }
}

TEST_F(RetentionServiceTest, OnlyVisibleImagesOutsideTheTopArchiveQualify)
{
    const QStringList qualifying = {
        file("App/2024-01-05/a.png"), file("App/2024-01-05/b.PNG"), file("App/2024-01-05/c.JpEg"),
        file("App/2024-01-05/d.webp"), file("Deep/Archive/e.gif"), file("top.tiff"), file("f.heic"),
    };
    for (const char *name : {"App/notes.pdf", "App/noextension", "App/.hidden.png", "App/.cache/g.png",
                                ".trash/h.png", "Archive/App/2024-01-01/old.png", "Archive/i.jpg", "App/png"}) {
        file(name);
    }
    const auto moves = RetentionService::collectExpired(config(false), ageOfNewest(30, 5));
    EXPECT_EQ(sources(moves), [&] { QStringList l = qualifying; l.sort(); return l; }());
    for (const auto &m : moves) {
        EXPECT_FALSE(m.to);
        EXPECT_FALSE(QFile::exists(m.from));
    }
    EXPECT_TRUE(QFile::exists(m_root + "/Archive/App/2024-01-01/old.png"));
    EXPECT_TRUE(QFile::exists(m_root + "/App/.hidden.png"));
    EXPECT_TRUE(QFile::exists(m_root + "/App/.cache/g.png"));
}

TEST_F(RetentionServiceTest, SymbolicLinksAreNeitherFollowedNorMoved)
{
    const QString outside = TestEnvironment::writeFile(m_base + "/outside/secret.png", "x");
    file("App/real.png");
    ASSERT_TRUE(QFile::link(m_base + "/outside", m_root + "/linked-folder"));
    ASSERT_TRUE(QFile::link(outside, m_root + "/App/linked.png"));

    for (bool archive : {false, true}) {
        RetentionService::collectExpired(config(archive), ageOfNewest(30, 5));
        EXPECT_TRUE(QFile::exists(outside));
        EXPECT_TRUE(QFileInfo(m_root + "/App/linked.png").isSymLink());
        EXPECT_TRUE(QFileInfo(m_root + "/linked-folder").isSymLink());
    }
    EXPECT_FALSE(QFile::exists(m_root + "/Archive/linked-folder/secret.png"));
    EXPECT_EQ(QDir(m_base + "/outside").entryList(QDir::Files), QStringList{"secret.png"});
}

// An archive place that cannot be used leaves the file where it is, with one line in the log.
TEST_F(RetentionServiceTest, AnArchiveLinkedOutsideTheLibraryOrAnOccupiedPlaceIsNotUsed)
{
    for (bool linked : {true, false}) {
        SetUp();
        QDir().mkpath(m_base + "/elsewhere");
        if (linked) {
            ASSERT_TRUE(QFile::link(m_base + "/elsewhere", m_root + "/Archive"));
        } else {
            file("Archive/App/a.png");
        }
        const QString a = file("App/a.png");
        RetentionService::Moves moves;
        const std::string log = TestLog::printed([&] { moves = RetentionService::collectExpired(config(true), ageOfNewest(30, 5)); });
        EXPECT_TRUE(moves.isEmpty()) << linked;
        EXPECT_TRUE(QFile::exists(a)) << linked;
        EXPECT_TRUE(QDir(m_base + "/elsewhere").isEmpty()) << linked;
        if (!linked) {
            EXPECT_EQ(TestFiles::contents(m_root + "/Archive/App/a.png"), "Archive/App/a.png"); // not overwritten
        }
        EXPECT_TRUE(TestLog::oneLineStartingWith(log, "Pictrove: Failed to archive a.png: ")) << log;
    }
}

// Archived entries keep every field under their new path; trashed ones leave the index. Files
// the index never held are moved and counted, but not added. The library path occurring again
// below the library stays in the archived path: only the leading one is cut.
TEST_F(RetentionServiceTest, TheIndexFollowsTheMovesAndOneLineCountsThem)
{
    for (bool archive : {true, false}) {
        SetUp();
        const QString a = file("App/2024-01-05/a.png");
        const QString nested = "Other" + m_root + "/b.jpg";
        const QString unknown = file(nested);
        ScreenshotIndex index(m_base + "/index.json");
        const ScreenshotIndexEntry entry{a,   "App", QDateTime::currentDateTimeUtc(), "text", {QRectF(1, 2, 3, 4)},
                                         {"t"}, "abc"};
        index.insert(entry);

        const RetentionService::Config c = config(archive);
        const auto moves = RetentionService::collectExpired(c, ageOfNewest(30, 5));
        EXPECT_EQ(sources(moves), (QStringList{a, unknown}));
        EXPECT_FALSE(QFile::exists(a));
        EXPECT_EQ(TestLog::printed([&] { RetentionService::applyToIndex(moves, c, index); }),
                  archive ? "Pictrove: Retention archived 2 screenshot(s)\n" : "Pictrove: Retention trashed 2 screenshot(s)\n");
        EXPECT_FALSE(index.contains(a));
        EXPECT_EQ(index.entries().size(), archive ? 1 : 0);
        EXPECT_TRUE(index.hasPendingSave());
        if (archive) {
            const QString target = m_root + "/Archive/App/2024-01-05/a.png";
            EXPECT_TRUE(moves.contains(RetentionService::Move{a, target}));
            EXPECT_TRUE(moves.contains(RetentionService::Move{unknown, m_root + "/Archive/" + nested}));
            EXPECT_TRUE(QFile::exists(target));
            ScreenshotIndexEntry expected = entry;
            expected.path = target;
            EXPECT_EQ(index.entry(target), expected);
        }
    }
}

// Off, or kept for no days, nothing starts; on, the walk runs beside the caller (held back here
// behind a busy pool) and ends silently when nothing is old enough.
TEST_F(RetentionServiceTest, RunIfEnabledFollowsTheSettings)
{
    AppSettings settings;
    TestSettings::resetAll(settings);
    settings.setDestinationFolder(m_root);
    const QString a = file("App/a.png");
    ScreenshotIndex index(m_base + "/index.json");
    const struct
    {
        bool enabled;
        qint64 days;
        QString action;
        bool runs;
    } cases[] = {{false, 30, "archive", false}, {true, 0, "archive", false}, {true, 30, "archive", true},
                 {true, 30, "trash", true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.enabled ? c.action.toStdString() + " after " + std::to_string(c.days) : "off");
        settings.setRetentionEnabled(c.enabled);
        settings.setRetentionDays(c.days);
        settings.setRetentionAction(c.action);
        const auto config = RetentionService::configFrom(settings);
        ASSERT_EQ(config.has_value(), c.runs);
        if (config) {
            EXPECT_EQ(config->root, m_root);
            EXPECT_EQ(config->archive, c.action == "archive");
        }

        QThreadPool &pool = *QThreadPool::globalInstance();
        QSemaphore busy;
        for (int i = 0; i < pool.maxThreadCount(); ++i) {
            pool.start([&busy] { busy.acquire(); });
        }
        EXPECT_EQ(TestLog::printed([&] {
                      QFuture<void> run = RetentionService::runIfEnabled(settings, index);
                      EXPECT_EQ(run.isFinished(), !c.runs);
                      busy.release(pool.maxThreadCount());
                      EXPECT_TRUE(QTest::qWaitFor([&run] { return run.isFinished(); }, 5000)); // its end runs here
                      pool.waitForDone();
                  }),
                  "");
        EXPECT_TRUE(QFile::exists(a));
    }
}

// Names the walk may hand over: the extension is what follows the last dot of the file name,
// never of a folder, and a name that is only ".png" has none.
TEST(RetentionServiceNames, WhatCountsAsAnImage)
{
    const struct
    {
        const char *path;
        bool image;
    } cases[] = {
        {"/lib/App/shot.PNG", true}, {"/lib/App/shot.jpeg", true}, {"/lib/App/.png", false},
        {"/lib/App/png", false},     {"/lib/App.png/notes", false}, {"/lib/App/shot.png.txt", false},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(RetentionService::isImagePath(QString::fromUtf8(c.path)), c.image) << c.path;
    }
}

} // namespace
