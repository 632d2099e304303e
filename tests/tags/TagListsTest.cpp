// SPDX-License-Identifier: GPL-3.0-or-later
#include "tags/TagColors.h"
#include "tags/TagListCodec.h"
#include "tags/TagLists.h"

#include "common/QtPrinters.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

namespace {

class TagListsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_settings.removeRawValue(AppSettings::recentTagsKey);
        m_settings.removeRawValue(AppSettings::favoriteTagsKey);
        m_settings.reset(QStringLiteral("maxRecentTags"));
    }

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
        {10, 10, {"t9", "t8", "t7", "t6", "t5", "t4", "t3", "t2", "t1", "t0"}},
        {3, 5, {"t4", "t3", "t2"}},
        {1, 2, {"t1"}},
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
}

TEST_F(TagListsTest, ReaddingARecentNameMovesItToTheFrontWithTheNewRecord)
{
    for (const char *name : {"Alpha", "Beta", "Gamma", "Delta"}) {
        m_lists.addRecentTag(TagItem::create(name, 2));
    }
    ASSERT_EQ(recentNames(), QStringList({"Delta", "Gamma", "Beta", "Alpha"}));
    const TagItem again = TagItem::create(QStringLiteral("Beta"), 5);
    m_lists.addRecentTag(again);
    EXPECT_EQ(recentNames(), QStringList({"Beta", "Delta", "Gamma", "Alpha"}));
    EXPECT_EQ(m_lists.recentTags().first(), again);
}

TEST_F(TagListsTest, NamesAreCaseSensitive)
{
    m_lists.addRecentTag(TagItem::create(QStringLiteral("work")));
    m_lists.addRecentTag(TagItem::create(QStringLiteral("Work")));
    EXPECT_EQ(recentNames(), QStringList({"Work", "work"}));

    m_lists.addFavorite(TagItem::create(QStringLiteral("work")));
    m_lists.addFavorite(TagItem::create(QStringLiteral("Work")));
    EXPECT_EQ(favoriteNames(), QStringList({"work", "Work"}));
    EXPECT_TRUE(m_lists.isFavorite(TagItem::create(QStringLiteral("Work"))));
    EXPECT_FALSE(m_lists.isFavorite(TagItem::create(QStringLiteral("WORK"))));

    m_lists.removeFavorite(TagItem::create(QStringLiteral("Work")));
    EXPECT_EQ(favoriteNames(), QStringList({"work"}));
}

TEST_F(TagListsTest, CanonicallyEquivalentNamesAreTheSameTag)
{
    const QString composed = QStringLiteral("Caf\u00e9");    // é as one code point
    const QString decomposed = QStringLiteral("Cafe\u0301"); // e + combining acute accent
    ASSERT_NE(composed, decomposed);

    m_lists.addRecentTag(TagItem::create(composed));
    m_lists.addRecentTag(TagItem::create(QStringLiteral("Other")));
    m_lists.addRecentTag(TagItem::create(decomposed, 3));
    ASSERT_EQ(m_lists.recentTags().size(), 2);
    EXPECT_EQ(m_lists.recentTags().first().name, decomposed);

    m_lists.addFavorite(TagItem::create(composed));
    m_lists.addFavorite(TagItem::create(decomposed));
    EXPECT_EQ(favoriteNames(), QStringList({composed}));
    EXPECT_TRUE(m_lists.isFavorite(TagItem::create(decomposed)));
    EXPECT_FALSE(m_lists.isFavorite(TagItem::create(QStringLiteral("CAF\u00c9"))));
    m_lists.removeFavorite(TagItem::create(decomposed));
    EXPECT_TRUE(m_lists.favoriteTags().isEmpty());
}

TEST_F(TagListsTest, FavoritesKeepTheirOrderAndTheFirstRecordOfAName)
{
    const TagItem first = TagItem::create(QStringLiteral("Home"), 3);
    m_lists.addFavorite(first);
    m_lists.addFavorite(TagItem::create(QStringLiteral("Travel"), 4));
    m_lists.addFavorite(TagItem::create(QStringLiteral("Home"), 6));
    EXPECT_EQ(favoriteNames(), QStringList({"Home", "Travel"}));
    EXPECT_EQ(m_lists.favoriteTags().first(), first);
    EXPECT_TRUE(m_lists.isFavorite(TagItem::create(QStringLiteral("Travel"), 1)));
}

TEST_F(TagListsTest, RemovingAFavoriteRemovesEveryRecordOfThatName)
{
    m_lists.setFavoriteTags({TagItem::create("Work", 1), TagItem::create("Home"), TagItem::create("Work", 4),
                             TagItem::create("work")});
    m_lists.removeFavorite(TagItem::create(QStringLiteral("Work")));
    EXPECT_EQ(favoriteNames(), QStringList({"Home", "work"}));
    EXPECT_FALSE(m_lists.isFavorite(TagItem::create(QStringLiteral("Work"))));
}

TEST_F(TagListsTest, EveryWriteIsAnnouncedAndAnUnchangedAddIsNotWritten)
{
    QSignalSpy spy(&m_settings, &AppSettings::changed);
    m_lists.addRecentTag(TagItem::create(QStringLiteral("A")));
    m_lists.addFavorite(TagItem::create(QStringLiteral("A")));
    m_lists.addFavorite(TagItem::create(QStringLiteral("A"))); // already there: no write
    m_lists.removeFavorite(TagItem::create(QStringLiteral("B"))); // nothing removed, still written
    m_lists.setRecentTags({});
    QStringList keys;
    for (const QList<QVariant> &args : spy) {
        keys << args.first().toString();
    }
    EXPECT_EQ(keys, QStringList({"recentTags", "favoriteTags", "favoriteTags", "recentTags"}));
    EXPECT_TRUE(m_lists.recentTags().isEmpty());
    EXPECT_TRUE(m_settings.rawValue(AppSettings::recentTagsKey).isValid()); // cleared means an empty list
}

TEST_F(TagListsTest, StoredFormIsCompactJsonWithUpperCaseIdsInMemberOrder)
{
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
}

TEST_F(TagListsTest, UndecodableStoredListsReadAsEmptyUntilReplaced)
{
    const char *const bad[] = {
        "not json",
        "",
        "{}",
        "[1]",
        "[{\"id\":\"E621E1F8-C36C-495A-93FC-0C247A3E6E5F\",\"name\":\"a\"}]",
        "[{\"id\":\"E621E1F8-C36C-495A-93FC-0C247A3E6E5F\",\"name\":\"a\",\"colorIndex\":\"4\"}]",
        "[{\"id\":\"E621E1F8-C36C-495A-93FC-0C247A3E6E5F\",\"name\":\"a\",\"colorIndex\":4.5}]",
        "[{\"id\":\"E621E1F8-C36C-495A-93FC-0C247A3E6E5F\",\"name\":null,\"colorIndex\":4}]",
        "[{\"id\":\"{E621E1F8-C36C-495A-93FC-0C247A3E6E5F}\",\"name\":\"a\",\"colorIndex\":4}]",
        "[{\"id\":\"E621E1F8C36C495A93FC0C247A3E6E5F\",\"name\":\"a\",\"colorIndex\":4}]",
        "[{\"id\":\"E621E1F8-C36C-495A-93FC-0C247A3E6E5G\",\"name\":\"a\",\"colorIndex\":4}]",
        "[{\"id\":\"E621E1F8-C36C-495A-93FC-0C247A3E6E5F\",\"name\":\"a\",\"colorIndex\":4}] x",
        "[{\"id\":\"E621E1F8-C36C-495A-93FC-0C247A3E6E5F\",\"name\":\"\xff\",\"colorIndex\":4}]",
        "[{\"id\":\"E621E1F8-C36C-495A-93FC-0C247A3E6E5F\",\"name\":\"a\",\"colorIndex\":18446744073709551615}]",
    };
    for (const char *value : bad) {
        SetUp();
        m_settings.setRawValue(AppSettings::favoriteTagsKey, QByteArray(value));
        EXPECT_TRUE(m_lists.favoriteTags().isEmpty()) << value;
        EXPECT_FALSE(m_lists.isFavorite(TagItem::create(QStringLiteral("a")))) << value;
        EXPECT_EQ(m_settings.rawValue(AppSettings::favoriteTagsKey).toByteArray(), QByteArray(value));

        m_lists.addFavorite(TagItem::create(QStringLiteral("Fresh"), 2));
        EXPECT_EQ(favoriteNames(), QStringList({"Fresh"})) << value;
    }
    // Nested deeply enough to overflow a recursive parser's stack.
    m_settings.setRawValue(AppSettings::recentTagsKey, QByteArray(200000, '['));
    EXPECT_TRUE(m_lists.recentTags().isEmpty());
}

TEST_F(TagListsTest, DecodingAcceptsLowerCaseIdsAndExtraMembers)
{
    const auto tags = TagListCodec::decode(
        "[ {\"name\":\"b\",\"colorIndex\":7,\"id\":\"e621e1f8-c36c-495a-93fc-0c247a3e6e5f\",\"extra\":true} ]");
    ASSERT_TRUE(tags.has_value());
    ASSERT_EQ(tags->size(), 1);
    EXPECT_EQ(tags->first().idText(), "E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
    EXPECT_EQ(tags->first().name, "b");
    EXPECT_EQ(tags->first().colorIndex, 7);
    EXPECT_EQ(TagListCodec::decode("[]"), QList<TagItem>());
}

TEST(TagItemTest, ColourNumbersMapToNamedColoursAndTheRestIsNeutral)
{
    const QStringList names = {"Gray", "Green", "Purple", "Blue", "Yellow", "Red", "Orange"};
    for (qint64 i = 1; i <= 7; ++i) {
        EXPECT_EQ(TagColors::name(i), names.at(int(i - 1)));
        EXPECT_NE(TagItem::create("x", i).color(), TagColors::neutral()) << i;
    }
    for (qint64 i : {qint64(0), qint64(8), qint64(9), qint64(12), qint64(-1), std::numeric_limits<qint64>::max()}) {
        EXPECT_FALSE(TagColors::hasColor(i));
        EXPECT_TRUE(TagColors::name(i).isEmpty());
        EXPECT_EQ(TagItem::create("x", i).color(), TagColors::neutral()) << i;
    }
    QSet<QRgb> distinct;
    for (const TagColors::Entry &e : TagColors::all()) {
        distinct.insert(e.color.rgb());
    }
    EXPECT_EQ(distinct.size(), 7);
}

TEST(TagItemTest, EqualityTakesAllFieldsAndNewRecordsGetFreshIds)
{
    const TagItem a = TagItem::create(QStringLiteral("Work"), 4);
    const TagItem b = TagItem::create(QStringLiteral("Work"), 4);
    EXPECT_NE(a.id, b.id);
    EXPECT_NE(a, b);
    TagItem c = a;
    EXPECT_EQ(a, c);
    EXPECT_EQ(qHash(a), qHash(c));
    c.colorIndex = 5;
    EXPECT_NE(a, c);
    EXPECT_EQ(a.idText().size(), 36);
    EXPECT_EQ(a.idText(), a.idText().toUpper());
}

} // namespace
