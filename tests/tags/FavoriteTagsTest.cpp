// SPDX-License-Identifier: GPL-3.0-or-later
#include "tags/FavoriteTags.h"

#include "common/QtPrinters.h"
#include "common/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <plist/plist.h>

#include <cstdlib>

namespace {

QByteArray serialise(plist_t root, bool binary)
{
    char *data = nullptr;
    uint32_t length = 0;
    binary ? plist_to_bin(root, &data, &length) : plist_to_xml(root, &data, &length);
    QByteArray bytes(data, qsizetype(length));
    std::free(data);
    plist_free(root);
    return bytes;
}

plist_t stringArray(const QStringList &entries)
{
    plist_t array = plist_new_array();
    for (const QString &e : entries) {
        plist_array_append_item(array, plist_new_string(e.toUtf8().constData()));
    }
    return array;
}

// A dictionary with one member besides the favourites, as the real file has.
plist_t dictWith(const char *key, plist_t value)
{
    plist_t dict = plist_new_dict();
    plist_dict_set_item(dict, key, value);
    plist_dict_set_item(dict, "OtherMember", plist_new_bool(1));
    return dict;
}

QByteArray favoritesPlist(const QStringList &entries, bool binary)
{
    return serialise(dictWith("FavoriteTagNames", stringArray(entries)), binary);
}

using Named = std::vector<std::pair<QString, qint64>>;

// The favourites read from the file; each record gets a fresh id.
Named read()
{
    Named out;
    for (const TagItem &t : FavoriteTags::finderFavoriteTags()) {
        EXPECT_FALSE(t.id.isNull());
        out.emplace_back(t.name, t.colorIndex);
    }
    return out;
}

const Named defaults = {{"Red", 6},  {"Orange", 7}, {"Yellow", 5}, {"Green", 2},
                        {"Blue", 4}, {"Purple", 3}, {"Gray", 1}};

class FavoriteTagsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QFile::remove(FavoriteTags::filePath());
        QDir(FavoriteTags::filePath()).removeRecursively();
    }
    void TearDown() override { SetUp(); }

    static void install(const QByteArray &bytes) { TestEnvironment::writeFile(FavoriteTags::filePath(), bytes); }
};

TEST_F(FavoriteTagsTest, EntriesGiveNamesColourNumbersAndFreshIdsInBothFormats)
{
    constexpr qint64 max = std::numeric_limits<qint64>::max(), min = std::numeric_limits<qint64>::min();
    const std::pair<QStringList, Named> cases[] = {
        {{"Work", "Work\n4", "Work\nx", "Work\n", "Work\n12"},
         {{"Work", 0}, {"Work", 4}, {"Work", 0}, {"Work", 0}, {"Work", 12}}},
        {{"Work\n+3", "Home\n-2", "Work\n4\n7\n"}, {{"Work", 3}, {"Home", -2}, {"Work", 4}}},
        {{"Work\n 4", "Home\n4 ", "Car\n4x", "Boat\n+", "Sea\n--1", "Sky\n٣"},
         {{"Work", 0}, {"Home", 0}, {"Car", 0}, {"Boat", 0}, {"Sea", 0}, {"Sky", 0}}},
        {{"Max\n9223372036854775807", "Min\n-9223372036854775808"}, {{"Max", max}, {"Min", min}}},
        {{"Over\n9223372036854775808", "Under\n-9223372036854775809", "Long\n0000000000000000000000005"},
         {{"Over", 0}, {"Under", 0}, {"Long", 5}}},
        {{"\n4", "", "Kept\n1", "\n"}, {{"Kept", 1}}},
        {{"Ünïcödé 日本\n3", "a b\r\n2"}, {{"Ünïcödé 日本", 3}, {"a b\r", 2}}},
        {{}, {}},
    };
    for (bool binary : {false, true}) {
        for (const auto &[entries, expected] : cases) {
            install(favoritesPlist(entries, binary));
            EXPECT_EQ(read(), expected) << binary << entries.join("|").toStdString();
        }
    }
    install("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"
            "  <key>FavoriteTagNames</key>\n  <array>\n"
            "    <string>Receipts\n5</string>\n    <string>Bugs &amp; Fixes</string>\n"
            "  </array>\n</dict>\n</plist>\n");
    EXPECT_EQ(read(), (Named{{"Receipts", 5}, {"Bugs & Fixes", 0}})) << "written by hand";
    // Every record gets a fresh id, on every read.
    install(favoritesPlist({"Work", "Work"}, true));
    QSet<QUuid> ids;
    for (const TagItem &t : FavoriteTags::finderFavoriteTags() + FavoriteTags::finderFavoriteTags()
                                + FavoriteTags::defaultTags() + FavoriteTags::defaultTags()) {
        ids.insert(t.id);
    }
    EXPECT_EQ(ids.size(), 18);
}

TEST_F(FavoriteTagsTest, AFileOfAnotherShapeOrNoneGivesTheDefaults)
{
    plist_t mixed = stringArray({"Work"});
    plist_array_append_item(mixed, plist_new_uint(4));
    plist_t nested = plist_new_array();
    plist_array_append_item(nested, stringArray({"Work"}));
    const std::pair<const char *, QByteArray> files[] = {
        {"empty file", QByteArray()},
        {"not a property list", "FavoriteTagNames = Work"},
        {"truncated binary", favoritesPlist({"Work"}, true).left(30)},
        {"top-level array", serialise(stringArray({"Work"}), true)},
        {"top-level string", serialise(plist_new_string("Work"), false)},
        {"member missing", serialise(dictWith("FavouriteTagNames", stringArray({"Work"})), false)},
        {"member is a string", serialise(dictWith("FavoriteTagNames", plist_new_string("Work")), true)},
        {"array holds a number", serialise(dictWith("FavoriteTagNames", mixed), false)},
        {"array holds an array", serialise(dictWith("FavoriteTagNames", nested), true)},
    };
    for (const auto &[what, bytes] : files) {
        install(bytes);
        EXPECT_EQ(read(), defaults) << what;
    }
    SetUp();
    EXPECT_EQ(read(), defaults) << "no file";
    QDir().mkpath(FavoriteTags::filePath());
    EXPECT_EQ(read(), defaults) << "a folder in the file's place";
}

} // namespace
