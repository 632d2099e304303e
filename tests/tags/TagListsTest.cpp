// SPDX-License-Identifier: GPL-3.0-or-later
#include "tags/FileTags.h"
#include "tags/TagColors.h"
#include "tags/TagListCodec.h"
#include "tags/TagLists.h"
#include "tags/TagSearch.h"

#include "common/QtPrinters.h"
#include "common/TestEnvironment.h"
#include "common/TestLog.h"
#include "common/TestSettings.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QSignalSpy>

namespace {

class TagListsTest : public ::testing::Test
{
protected:
    void SetUp() override { TestSettings::resetAll(m_settings); }

    QStringList recentNames() const { return tagNames(m_lists.recentTags()); }
    QStringList favoriteNames() const { return tagNames(m_lists.favoriteTags()); }

    AppSettings m_settings;
    TagLists m_lists{m_settings};
};

TEST_F(TagListsTest, RecentListKeepsTheNewestWithinTheBound)
{
    struct Case
    {
        qint64 bound;
        int added;
        QStringList expected;
    };
    const Case cases[] = {
        {10, 11, {"t10", "t9", "t8", "t7", "t6", "t5", "t4", "t3", "t2", "t1"}},
        {3, 3, {"t2", "t1", "t0"}},
        {3, 5, {"t4", "t3", "t2"}},
        {0, 2, {}},
        {-4, 2, {}},
    };
    for (const Case &c : cases) {
        SetUp();
        m_settings.setMaxRecentTags(c.bound);
        for (int i = 0; i < c.added; ++i) {
            m_lists.addRecentTag(TagItem::create(QStringLiteral("t%1").arg(i)));
        }
        EXPECT_EQ(recentNames(), c.expected) << "bound " << c.bound << ", added " << c.added;
    }
    // Adding a name again moves it to the front with the new record.
    SetUp();
    for (const char *name : {"Alpha", "Beta", "Gamma"}) {
        m_lists.addRecentTag(TagItem::create(name, 2));
    }
    const TagItem again = TagItem::create(QStringLiteral("Beta"), 5);
    m_lists.addRecentTag(again);
    EXPECT_EQ(recentNames(), QStringList({"Beta", "Gamma", "Alpha"}));
    EXPECT_EQ(m_lists.recentTags().first(), again);
}

TEST_F(TagListsTest, NamesMatchCaseSensitivelyUnderCanonicalEquivalenceAndTheFirstRecordStays)
{
    struct Case
    {
        QString first, second;
        bool same;
    };
    const Case cases[] = {
        {"work", "Work", false},
        {"WORK", "Work", false},
        {"Caf\u00e9", "Cafe\u0301", true}, // é as one code point, and as e + combining accent
        {"Caf\u00e9", "CAF\u00c9", false},
    };
    for (const Case &c : cases) {
        SetUp();
        const std::string what = (c.first + " / " + c.second).toStdString();
        m_lists.addRecentTag(TagItem::create(c.first));
        m_lists.addRecentTag(TagItem::create(QStringLiteral("Other")));
        m_lists.addRecentTag(TagItem::create(c.second, 3));
        EXPECT_EQ(recentNames(), c.same ? QStringList({c.second, "Other"}) : QStringList({c.second, "Other", c.first}))
            << what;
        m_lists.addFavorite(TagItem::create(c.first));
        EXPECT_EQ(m_lists.isFavorite(TagItem::create(c.second)), c.same) << what;
        m_lists.addFavorite(TagItem::create(c.second));
        EXPECT_EQ(favoriteNames(), c.same ? QStringList({c.first}) : QStringList({c.first, c.second})) << what;
        m_lists.removeFavorite(TagItem::create(c.second));
        EXPECT_EQ(favoriteNames(), c.same ? QStringList() : QStringList({c.first})) << what;
    }
    // Removing a name removes every record of it, whatever its colour.
    m_lists.setFavoriteTags({TagItem::create("Work", 1), TagItem::create("Home"), TagItem::create("Work", 4)});
    m_lists.removeFavorite(TagItem::create(QStringLiteral("Work")));
    EXPECT_EQ(favoriteNames(), QStringList({"Home"}));
}

TEST_F(TagListsTest, EveryWriteIsAnnouncedAndTheStoredFormIsCompactJsonWithUpperCaseIdsInMemberOrder)
{
    // An unchanged add is not written; a removal of nothing is.
    QSignalSpy spy(&m_settings, &AppSettings::changed);
    m_lists.addRecentTag(TagItem::create(QStringLiteral("A")));
    m_lists.addFavorite(TagItem::create(QStringLiteral("A")));
    m_lists.addFavorite(TagItem::create(QStringLiteral("A")));    // already there: no write
    m_lists.removeFavorite(TagItem::create(QStringLiteral("B"))); // nothing removed, still written
    m_lists.setRecentTags({});
    QStringList keys;
    for (const QList<QVariant> &args : spy) {
        keys << args.first().toString();
    }
    EXPECT_EQ(keys, QStringList({"recentTags", "favoriteTags", "favoriteTags", "recentTags"}));
    EXPECT_TRUE(m_settings.rawValue(AppSettings::recentTagsKey).isValid()); // cleared means an empty list
    const TagItem tag{QUuid::fromString(QStringLiteral("e621e1f8-c36c-495a-93fc-0c247a3e6e5f")),
                      QStringLiteral("Wörk \"q\" / 日本"), 4};
    m_lists.setFavoriteTags({tag, {QUuid(), QStringLiteral("x"), -1}});
    EXPECT_EQ(m_settings.rawValue(AppSettings::favoriteTagsKey).toByteArray(),
              QByteArray("[{\"id\":\"E621E1F8-C36C-495A-93FC-0C247A3E6E5F\",\"name\":\"Wörk \\\"q\\\" / 日本\","
                         "\"colorIndex\":4},{\"id\":\"00000000-0000-0000-0000-000000000000\",\"name\":\"x\","
                         "\"colorIndex\":-1}]"));
    // Another settings object reads the same list back from the store.
    AppSettings other;
    const QList<TagItem> read = TagLists(other).favoriteTags();
    ASSERT_EQ(read.size(), 2);
    EXPECT_EQ(read.first(), tag);
    // Lower-case ids and members in another order or unknown are read too.
    const auto tags = TagListCodec::decode(
        "[ {\"name\":\"b\",\"colorIndex\":7,\"id\":\"e621e1f8-c36c-495a-93fc-0c247a3e6e5f\",\"extra\":true} ]");
    ASSERT_TRUE(tags.has_value());
    ASSERT_EQ(tags->size(), 1);
    EXPECT_EQ(tags->first(), (TagItem{tag.id, QStringLiteral("b"), 7}));
    EXPECT_EQ(TagListCodec::decode("[]"), QList<TagItem>());
}

TEST_F(TagListsTest, UndecodableStoredListsReadAsEmptyUntilReplaced)
{
    const QByteArray item = "{\"id\":\"E621E1F8-C36C-495A-93FC-0C247A3E6E5F\",\"name\":\"a\",\"colorIndex\":4}";
    const QByteArray bad[] = {
        "not json",
        "",
        "{}",
        "[1]",
        "[" + QByteArray(item).replace(",\"colorIndex\":4", "") + "]",
        "[" + QByteArray(item).replace(":4", ":\"4\"") + "]",
        "[" + QByteArray(item).replace(":4", ":4.5") + "]",
        "[" + QByteArray(item).replace(":4", ":18446744073709551615") + "]",
        "[" + QByteArray(item).replace("\"a\"", "null") + "]",
        "[" + QByteArray(item).replace("\"a\"", "\"\xff\"") + "]",
        "[" +
            QByteArray(item).replace("\"E621E1F8-C36C-495A-93FC-0C247A3E6E5F\"",
                                     "\"{E621E1F8-C36C-495A-93FC-0C247A3E6E5F}\"") +
            "]",
        "[" + QByteArray(item).replace("-", "") + "]",
        "[" + QByteArray(item).replace("6E5F", "6E5G") + "]",
        "[" + item + "] x",
    };
    for (const QByteArray &value : bad) {
        SetUp();
        m_settings.setRawValue(AppSettings::favoriteTagsKey, value);
        EXPECT_TRUE(m_lists.favoriteTags().isEmpty()) << value.toStdString();
        EXPECT_FALSE(m_lists.isFavorite(TagItem::create(QStringLiteral("a")))) << value.toStdString();
        EXPECT_EQ(m_settings.rawValue(AppSettings::favoriteTagsKey).toByteArray(), value);
        m_lists.addFavorite(TagItem::create(QStringLiteral("Fresh"), 2));
        EXPECT_EQ(favoriteNames(), QStringList({"Fresh"})) << value.toStdString();
    }
    // Nested deeply enough to overflow a recursive parser's stack.
    m_settings.setRawValue(AppSettings::recentTagsKey, QByteArray(200000, '['));
    EXPECT_TRUE(m_lists.recentTags().isEmpty());
}

TEST(TagColorsTest, ColourNumbersMapToNamedColoursAndTheRestIsNeutral)
{
    const QStringList names = {"Gray", "Green", "Purple", "Blue", "Yellow", "Red", "Orange"};
    QSet<QRgb> distinct;
    for (qint64 i = 1; i <= 7; ++i) {
        EXPECT_EQ(TagColors::name(i), names.at(int(i - 1)));
        EXPECT_NE(TagItem::create("x", i).color(), TagColors::neutral()) << i;
        distinct.insert(TagItem::create("x", i).color().rgb());
    }
    EXPECT_EQ(distinct.size(), 7);
    for (qint64 i : {qint64(0), qint64(8), qint64(-1), std::numeric_limits<qint64>::max()}) {
        EXPECT_FALSE(TagColors::hasColor(i));
        EXPECT_TRUE(TagColors::name(i).isEmpty());
        EXPECT_EQ(TagItem::create("x", i).color(), TagColors::neutral()) << i;
    }
}

TEST(TagSearch, MatchesIgnoringLetterCaseByTheLanguage)
{
    struct Case
    {
        const char *name;
        const char *needle;
        QLocale::Language language;
        bool contains;
    };
    const Case cases[] = {
        {"Work", "work", QLocale::English, true},
        {"Invoices", "VOIC", QLocale::English, true},
        {"Straße", "STRASSE", QLocale::German, true},   // full folding, not lower-casing
        {"Ärzte", "a\u0308rz", QLocale::German, true},  // combining accent typed
        {"ΣΟΦΙΑ", "σοφια", QLocale::Greek, true},       // final and medial sigma
        {"DIŞ", "dış", QLocale::Turkish, true},         // dotless i
        {"İzmir", "izmir", QLocale::Turkish, true},
        {"Izmir", "izmir", QLocale::Turkish, false},    // I folds to ı in Turkish
        {"Izmir", "izmir", QLocale::English, true},
        {"Work", "", QLocale::English, true},
        {"Work", "x", QLocale::English, false},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(TagSearch::contains(QString::fromUtf8(c.name), QString::fromUtf8(c.needle), QLocale(c.language)), c.contains)
            << c.name << " / " << c.needle;
    }
    EXPECT_TRUE(TagSearch::equalIgnoringCase("Work", "wORK"));
    EXPECT_FALSE(TagSearch::equalIgnoringCase("Work", "Works"));
}

template <typename F>
QStringList logged(F &&call)
{
    return QString::fromStdString(TestLog::printed(call)).split('\n', Qt::SkipEmptyParts);
}

TEST(FileTagsTest, WritesThatWorkLogNothingAndRefusedNamesKeepTheOldTags)
{
    const QString folder = TestEnvironment::makeFolder("filetags");
    const QString file = TestEnvironment::writeFile(folder + "/screenshot_10-00-00.png", "png");
    EXPECT_TRUE(logged([&] {
                    EXPECT_TRUE(FileTags::readTags(file).isEmpty());
                    FileTags::setTags(file, {}); // nothing to remove is no failure either
                    FileTags::setTags(file, {"Work", "dup", "dup"});
                    EXPECT_EQ(FileTags::readTags(file), QStringList({"Work", "dup", "dup"}));
                    FileTags::setTags(file, {});
                    EXPECT_TRUE(FileTags::readTags(file).isEmpty());
                }).isEmpty());
    EXPECT_TRUE(FileTags::tryWriteTags(file, {}).ok());

    FileTags::setTags(file, {"Keep", "These"});
    for (const QStringList &names : {QStringList{"Fine", "two,parts"}, QStringList{"Fine", ""}}) {
        const QStringList lines = logged([&] { FileTags::setTags(file, names); });
        ASSERT_EQ(lines.size(), 1);
        EXPECT_TRUE(lines[0].startsWith("Failed to set tags for " + file + ": ")) << lines[0].toStdString();
        EXPECT_EQ(FileTags::readTags(file), QStringList({"Keep", "These"}));
    }
    const Status refused = FileTags::tryWriteTags(file, {"two,parts"});
    EXPECT_FALSE(refused.ok());
    EXPECT_TRUE(refused.error().contains("comma")) << refused.error().toStdString();

    // A file that cannot be read or written: no tags, and each failure prints its one line,
    // without the product prefix and with the error's description.
    const QString gone = folder + "/gone.png";
    const QStringList lines = logged([&] {
        EXPECT_TRUE(FileTags::readTags(gone).isEmpty());
        FileTags::setTags(gone, {"Work"});
    });
    ASSERT_EQ(lines.size(), 2) << lines.join('\n').toStdString();
    for (const auto &[line, start] :
         {std::pair{lines[0], "Failed to read tags for "}, std::pair{lines[1], "Failed to set tags for "}}) {
        EXPECT_TRUE(line.startsWith(start + gone + ": ") && line.size() > QString(start + gone + ": ").size())
            << line.toStdString();
    }
    EXPECT_FALSE(FileTags::tryWriteTags(gone, {"Work"}).ok());
    EXPECT_FALSE(FileTags::tryReadTags(gone).ok());
    EXPECT_FALSE(QFileInfo::exists(gone));
}

} // namespace
