// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/LibrarySearch.h"
#include "library/ScreenshotIndex.h"
#include "library/ScreenshotIndexCodec.h"

#include "common/TestEnvironment.h"
#include "common/TestFiles.h"
#include "common/TestLog.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <unistd.h>

namespace {

class ScreenshotIndexTest : public ::testing::Test
{
protected:
    QString image(const QString &name) { return TestEnvironment::writeFile(m_dir + "/lib/" + name, "png bytes " + name.toUtf8()); }

    static ScreenshotIndexEntry entry(const QString &path, std::optional<QString> hash = std::nullopt)
    {
        return {path, "App", QDateTime::fromMSecsSinceEpoch(1709647629000LL, Qt::UTC), {}, {}, {}, std::move(hash)};
    }

    ScreenshotIndexCodec::Entries onDisk() const
    {
        return ScreenshotIndexCodec::decode(TestFiles::contents(m_indexFile)).value_or(ScreenshotIndexCodec::Entries{});
    }

    const QString m_dir = TestEnvironment::makeFolder("index");
    const QString m_indexFile = m_dir + "/data/Pictrove/index.json";
};

TEST_F(ScreenshotIndexTest, VanishedFilesArePrunedAndTheSmallerIndexWrittenASecondLater)
{
    const QString kept = image("kept.png");
    {
        ScreenshotIndex seed(m_indexFile);
        for (const QString &path : {kept, m_dir + "/lib/gone1.png", m_dir + "/lib/gone2.png"}) {
            seed.insert(entry(path));
        }
        ASSERT_TRUE(seed.save());
    }

    QElapsedTimer clock;
    clock.start();
    ScreenshotIndex index(m_indexFile);
    EXPECT_EQ(index.entries().keys(), QStringList{kept});
    EXPECT_EQ(onDisk().size(), 3);

    QSignalSpy saved(&index, &ScreenshotIndex::saved);
    ASSERT_TRUE(saved.wait(3000));
    EXPECT_GE(clock.elapsed(), 900);
    EXPECT_EQ(onDisk().keys(), QStringList{kept});
}

TEST_F(ScreenshotIndexTest, ABurstOfChangesGivesOneWriteASecondAfterTheLast)
{
    const QString a = image("a.png");
    ScreenshotIndex index(m_indexFile);
    QSignalSpy saved(&index, &ScreenshotIndex::saved);
    QElapsedTimer clock;
    clock.start();
    index.insert(entry(a));
    index.scheduleSave();
    QTest::qWait(500);
    index.updateTags(a, {"x"});
    ASSERT_TRUE(saved.wait(3000));
    const qint64 at = clock.elapsed();
    EXPECT_TRUE(saved.first().first().toBool());
    EXPECT_GE(at, 1450);
    EXPECT_LE(at, 1800);
    QTest::qWait(700);
    EXPECT_EQ(saved.size(), 1);
    EXPECT_EQ(onDisk().value(a).tags, QStringList{"x"});
}

TEST_F(ScreenshotIndexTest, NothingIsWrittenBeforeAChangeAndAPendingSaveIsWrittenAtFlushAndWhenTheIndexGoes)
{
    const QString a = image("a.png");
    {
        ScreenshotIndex index(m_indexFile);
        EXPECT_TRUE(index.entries().isEmpty());
        EXPECT_FALSE(index.hasPendingSave());
        QTest::qWait(50);
        EXPECT_FALSE(QFile::exists(m_indexFile));
        index.insert(entry(a));
        index.scheduleSave();
        index.flush();
        EXPECT_FALSE(index.hasPendingSave());
        EXPECT_EQ(onDisk().size(), 1);

        // Saves replace the file whole, so a reader holding the old one never sees half a file.
        ASSERT_EQ(::link(QFile::encodeName(m_indexFile), QFile::encodeName(m_dir + "/reader.json")), 0);
        index.updateTags(a, {"late"});
        EXPECT_TRUE(index.hasPendingSave());
    }
    EXPECT_EQ(onDisk().value(a).tags, QStringList{"late"});
    EXPECT_EQ(ScreenshotIndexCodec::decode(TestFiles::contents(m_dir + "/reader.json"))->value(a).tags, QStringList{});
}

TEST_F(ScreenshotIndexTest, AnUndecodableFileIsKeptAsideBeforeTheFirstSave)
{
    const QString a = image("a.png");
    // Valid JSON, but an entry lacks "tags": the whole file fails.
    const QByteArray broken = R"({"/x.png":{"path":"/x.png","appName":"A","timestamp":1,"ocrText":"precious","piiRects":[]}})";
    TestEnvironment::writeFile(m_indexFile, broken);

    ScreenshotIndex index(m_indexFile);
    EXPECT_TRUE(index.entries().isEmpty());
    EXPECT_FALSE(index.hasPendingSave());

    index.insert(entry(a));
    const std::string log = TestLog::printed([&] { ASSERT_TRUE(index.save()); });
    const QString folder = QFileInfo(m_indexFile).absolutePath();
    const QStringList aside = QDir(folder).entryList({"index.json.corrupt-*"});
    ASSERT_EQ(aside.size(), 1);
    EXPECT_TRUE(QRegularExpression("^index\\.json\\.corrupt-\\d{8}-\\d{6}$").match(aside.first()).hasMatch());
    const QString keptAs = folder + "/" + aside.first();
    EXPECT_EQ(log, "Pictrove: The index file could not be read; kept it as " + keptAs.toStdString() + "\n");
    EXPECT_EQ(TestFiles::contents(keptAs), broken);
    EXPECT_EQ(onDisk().size(), 1);

    // Only the first save moves it aside.
    ASSERT_TRUE(index.save());
    EXPECT_EQ(QDir(folder).entryList({"index.json.corrupt-*"}).size(), 1);
}

TEST_F(ScreenshotIndexTest, AFailedSaveLogsOneLineAndKeepsMemory)
{
    // The index's folder cannot be made: a file stands where it should be.
    TestEnvironment::writeFile(m_dir + "/blocked", "x");
    ScreenshotIndex index(m_dir + "/blocked/index.json");
    index.insert(entry(image("a.png")));
    const std::string log = TestLog::printed([&] { EXPECT_FALSE(index.save()); });
    EXPECT_TRUE(TestLog::oneLineStartingWith(log, "Pictrove: Failed to save index: ")) << log;
    EXPECT_EQ(index.entries().size(), 1);
}

TEST_F(ScreenshotIndexTest, FindDuplicate)
{
    const QString hash(64, QLatin1Char('c'));
    const QString a = image("a.png");
    const QString b = image("b.png");
    const QString gone = m_dir + "/lib/gone.png";
    const struct
    {
        const char *what;
        QList<ScreenshotIndexEntry> entries;
        QString query;
        QString excluded;
        std::optional<QString> expected;
    } cases[] = {
        {"only the excluded path has the hash", {entry(a, hash)}, hash, a, std::nullopt},
        {"the other copy was deleted", {entry(gone, hash), entry(a, hash)}, hash, a, std::nullopt},
        {"another existing copy", {entry(gone, hash), entry(b, hash)}, hash, a, b},
        {"no hash never matches", {entry(b)}, hash, a, std::nullopt},
        {"hashes compare exactly", {entry(b, hash.toUpper())}, hash, a, std::nullopt},
        {"different hash", {entry(b, QString(64, QLatin1Char('d')))}, hash, a, std::nullopt},
    };
    for (const auto &c : cases) {
        QFile::remove(m_indexFile);
        ScreenshotIndex index(m_indexFile);
        for (const auto &e : c.entries) {
            index.insert(e);
        }
        const auto found = index.findDuplicate(c.query, c.excluded);
        EXPECT_EQ(found ? std::optional<QString>(found->path) : std::nullopt, c.expected) << c.what;
        EXPECT_EQ(index.entries().size(), c.entries.size()) << c.what; // missing files stay
    }
}

TEST_F(ScreenshotIndexTest, UpdatesReplaceFieldsAndIgnoreUnknownPaths)
{
    const QString a = image("a.png");
    ScreenshotIndex index(m_indexFile);
    index.insert(entry(a, QStringLiteral("h")));
    index.flush();

    QSignalSpy before(&index, &ScreenshotIndex::aboutToChange);
    QSignalSpy after(&index, &ScreenshotIndex::changed);
    index.updateTags(m_dir + "/lib/unknown.png", {"x"});
    index.updateScanResult(m_dir + "/lib/unknown.png", "t", {});
    EXPECT_FALSE(index.hasPendingSave());
    EXPECT_EQ(before.size(), 0);

    index.updateScanResult(a, "first", {QRectF(1, 2, 3, 4)});
    index.updateScanResult(a, "second", {});
    index.updateTags(a, {"b", "a"});
    EXPECT_TRUE(index.hasPendingSave());
    EXPECT_EQ(before.size(), 3);
    EXPECT_EQ(after.size(), 3);
    EXPECT_EQ(after.last().first().toStringList(), QStringList{a});
    const ScreenshotIndexEntry e = *index.entry(a);
    EXPECT_EQ(e.ocrText, "second");
    EXPECT_TRUE(e.piiRects.isEmpty());
    EXPECT_EQ(e.tags, (QStringList{"b", "a"}));
    EXPECT_EQ(e.contentHash, QStringLiteral("h"));
}

TEST(ScreenshotIndexShared, APendingSaveIsWrittenWhenTheApplicationQuits)
{
    const QString file = TestEnvironment::writeFile(TestEnvironment::makeFolder("shared") + "/a.png", "x");
    EXPECT_EQ(ScreenshotIndex::indexFileURL(), qEnvironmentVariable("XDG_DATA_HOME") + "/Pictrove/index.json");
    ScreenshotIndex &index = ScreenshotIndex::shared();
    index.insert({file, {}, {}, {}, {}, {}, {}});
    index.updateTags(file, {"tagged just before quit"});
    ASSERT_TRUE(index.hasPendingSave());

    QElapsedTimer clock;
    clock.start();
    QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
    QCoreApplication::exec();
    EXPECT_LT(clock.elapsed(), 900);
    EXPECT_FALSE(index.hasPendingSave());
    const auto saved = ScreenshotIndexCodec::decode(TestFiles::contents(ScreenshotIndex::indexFileURL()));
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->value(file).tags, QStringList{"tagged just before quit"});
}

ScreenshotIndexEntry make(const QString &path, const QString &app, int minute, QStringList tags, const QString &text)
{
    return {path, app, QDateTime(QDate(2024, 3, 5), QTime(14, minute), Qt::UTC), text, {}, std::move(tags), {}};
}

QStringList names(const QList<ScreenshotIndexEntry> &found)
{
    QStringList list;
    for (const auto &e : found) {
        list << e.path.section('/', -1);
    }
    return list;
}

TEST(LibrarySearch, MatchesAndFiltersAsTheGalleryDoes)
{
    QHash<QString, ScreenshotIndexEntry> entries;
    for (const auto &e : {
             make("/lib/Web Browser/2024-03-05/screenshot_14-01-00.png", "Web Browser", 1, {"Receipts"}, "Invoice total 42"),
             make("/lib/Terminal/2024-03-05/screenshot_14-02-00.PNG", "Terminal", 2, {"work", "Receipts-old"}, "make: error"),
             make("/lib/Editor/2024-03-05/screenshot_14-03-00.png", "Editor", 3, {}, "the invoice draft"),
             make("/lib/Editor/2024-03-05/invoice_14-04-00.png", "Editor", 4, {"Work"}, ""),
         }) {
        entries.insert(e.path, e);
    }
    const struct
    {
        const char *what;
        LibrarySearch::Filter filter;
        QStringList expected;
    } cases[] = {
        {"empty query: everything, newest first", {}, {"invoice_14-04-00.png", "screenshot_14-03-00.png", "screenshot_14-02-00.PNG", "screenshot_14-01-00.png"}},
        {"upper-case query finds lower-case text", {"INVOICE", {}, {}}, {"invoice_14-04-00.png", "screenshot_14-03-00.png", "screenshot_14-01-00.png"}},
        {"leading space is kept", {" invoice", {}, {}}, {"screenshot_14-03-00.png"}},
        {"file name with extension", {".png", {}, {}}, {"invoice_14-04-00.png", "screenshot_14-03-00.png", "screenshot_14-02-00.PNG", "screenshot_14-01-00.png"}},
        {"folder names are not searched", {"2024-03-05", {}, {}}, {}},
        {"nor the slash before the file name", {"/screenshot", {}, {}}, {}},
        {"application", {"termin", {}, {}}, {"screenshot_14-02-00.PNG"}},
        {"tag substring in the query", {"receipts", {}, {}}, {"screenshot_14-02-00.PNG", "screenshot_14-01-00.png"}},
        {"tag filter is exact", {"", {}, QString("Receipts")}, {"screenshot_14-01-00.png"}},
        {"tag filter is case-sensitive", {"", {}, QString("work")}, {"screenshot_14-02-00.PNG"}},
        {"app filter is exact", {"", QString("Editor"), {}}, {"invoice_14-04-00.png", "screenshot_14-03-00.png"}},
        {"app filter and query", {"draft", QString("Editor"), {}}, {"screenshot_14-03-00.png"}},
        {"app filter without match", {"", QString("editor"), {}}, {}}, {"nothing", {"zebra", {}, {}}, {}},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(names(LibrarySearch::search(entries, c.filter)), c.expected) << c.what;
    }
}

} // namespace
