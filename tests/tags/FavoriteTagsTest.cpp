// SPDX-License-Identifier: GPL-3.0-or-later
#include "tags/FavoriteTags.h"

#include "common/TestEnvironment.h"
#include "common/QtPrinters.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>

#include <plist/plist.h>

#include <cstdlib>

namespace {

enum class Format { Xml, Binary };

QByteArray serialise(plist_t root, Format format)
{
    char *data = nullptr;
    uint32_t length = 0;
    if (format == Format::Xml) {
        plist_to_xml(root, &data, &length);
    } else {
        plist_to_bin(root, &data, &length);
    }
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

QByteArray favoritesPlist(const QStringList &entries, Format format)
{
    plist_t dict = plist_new_dict();
    plist_dict_set_item(dict, "FavoriteTagNames", stringArray(entries));
    plist_dict_set_item(dict, "OtherMember", plist_new_bool(1));
    return serialise(dict, format);
}

struct Expected
{
    QString name;
    qint64 color;
};

std::vector<Expected> simplify(const QList<TagItem> &tags)
{
    std::vector<Expected> out;
    for (const TagItem &t : tags) {
        out.push_back({t.name, t.colorIndex});
    }
    return out;
}

bool operator==(const Expected &a, const Expected &b) { return a.name == b.name && a.color == b.color; }

void PrintTo(const Expected &e, std::ostream *os) { *os << e.name.toStdString() << "/" << e.color; }

const std::vector<Expected> defaults = {{"Red", 6},  {"Orange", 7}, {"Yellow", 5}, {"Green", 2},
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

TEST_F(FavoriteTagsTest, TheFileLivesInTheConfigFolder)
{
    EXPECT_EQ(FavoriteTags::filePath(), qEnvironmentVariable("XDG_CONFIG_HOME") + "/Pictrove/FavoriteTags.plist");
}

TEST_F(FavoriteTagsTest, EntriesGiveNamesAndColourNumbersInBothFormats)
{
    struct Case
    {
        QStringList entries;
        std::vector<Expected> expected;
    };
    const Case cases[] = {
        {{"Work"}, {{"Work", 0}}},
        {{"Work\n4"}, {{"Work", 4}}},
        {{"Work\nx"}, {{"Work", 0}}},
        {{"Work\n"}, {{"Work", 0}}},
        {{"Work\n12"}, {{"Work", 12}}},
        {{"Work\n+3", "Home\n-2"}, {{"Work", 3}, {"Home", -2}}},
        {{"Work\n 4", "Home\n4 ", "Car\n4x", "Boat\n+", "Sea\n--1", "Sky\n٣"},
         {{"Work", 0}, {"Home", 0}, {"Car", 0}, {"Boat", 0}, {"Sea", 0}, {"Sky", 0}}},
        {{"Work\n4\n7\n"}, {{"Work", 4}}},
        {{"Max\n9223372036854775807", "Min\n-9223372036854775808"},
         {{"Max", std::numeric_limits<qint64>::max()}, {"Min", std::numeric_limits<qint64>::min()}}},
        {{"Over\n9223372036854775808", "Under\n-9223372036854775809", "Long\n0000000000000000000000005"},
         {{"Over", 0}, {"Under", 0}, {"Long", 5}}},
        {{"\n4", "", "Kept\n1"}, {{"Kept", 1}}},
        {{"Ünïcödé 日本\n3", "a b\r\n2"}, {{"Ünïcödé 日本", 3}, {"a b\r", 2}}},
        {{}, {}},
        {{"\n", "\n5"}, {}},
    };
    for (Format format : {Format::Xml, Format::Binary}) {
        for (const Case &c : cases) {
            install(favoritesPlist(c.entries, format));
            EXPECT_EQ(simplify(FavoriteTags::finderFavoriteTags()), c.expected)
                << (format == Format::Xml ? "XML " : "binary ") << c.entries.join("|").toStdString();
        }
    }
}

TEST_F(FavoriteTagsTest, AHandWrittenXmlFileIsRead)
{
    install("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
            "<plist version=\"1.0\">\n<dict>\n"
            "  <key>FavoriteTagNames</key>\n  <array>\n"
            "    <string>Receipts\n5</string>\n    <string>Bugs &amp; Fixes</string>\n"
            "  </array>\n</dict>\n</plist>\n");
    EXPECT_EQ(simplify(FavoriteTags::finderFavoriteTags()),
              (std::vector<Expected>{{"Receipts", 5}, {"Bugs & Fixes", 0}}));
}

TEST_F(FavoriteTagsTest, AFileOfAnotherShapeGivesTheDefaults)
{
    plist_t mixed = plist_new_array();
    plist_array_append_item(mixed, plist_new_string("Work"));
    plist_array_append_item(mixed, plist_new_uint(4));
    plist_t mixedDict = plist_new_dict();
    plist_dict_set_item(mixedDict, "FavoriteTagNames", mixed);

    plist_t wrongKey = plist_new_dict();
    plist_dict_set_item(wrongKey, "FavouriteTagNames", stringArray({"Work"}));

    plist_t notArray = plist_new_dict();
    plist_dict_set_item(notArray, "FavoriteTagNames", plist_new_string("Work"));

    plist_t nested = plist_new_dict();
    plist_t inner = plist_new_array();
    plist_array_append_item(inner, stringArray({"Work"}));
    plist_dict_set_item(nested, "FavoriteTagNames", inner);

    const QList<QPair<const char *, QByteArray>> files = {
        {"empty file", QByteArray()},
        {"not a property list", "FavoriteTagNames = Work"},
        {"truncated binary", favoritesPlist({"Work"}, Format::Binary).left(30)},
        {"truncated XML", favoritesPlist({"Work"}, Format::Xml).left(120)},
        {"top-level array", serialise(stringArray({"Work"}), Format::Binary)},
        {"top-level string", serialise(plist_new_string("Work"), Format::Xml)},
        {"member missing", serialise(wrongKey, Format::Xml)},
        {"member is a string", serialise(notArray, Format::Binary)},
        {"array holds a number", serialise(mixedDict, Format::Xml)},
        {"array holds an array", serialise(nested, Format::Binary)},
    };
    for (const auto &[what, bytes] : files) {
        install(bytes);
        EXPECT_EQ(simplify(FavoriteTags::finderFavoriteTags()), defaults) << what;
    }
}

TEST_F(FavoriteTagsTest, AMissingOrUnreadableFileGivesTheDefaults)
{
    EXPECT_EQ(simplify(FavoriteTags::finderFavoriteTags()), defaults);
    // A folder in the file's place cannot be read as a file.
    QDir().mkpath(FavoriteTags::filePath());
    EXPECT_EQ(simplify(FavoriteTags::finderFavoriteTags()), defaults);
}

TEST_F(FavoriteTagsTest, EveryRecordGetsAFreshId)
{
    install(favoritesPlist({"Work", "Work"}, Format::Binary));
    const QList<TagItem> first = FavoriteTags::finderFavoriteTags();
    const QList<TagItem> second = FavoriteTags::finderFavoriteTags();
    ASSERT_EQ(first.size(), 2);
    QSet<QUuid> ids;
    for (const TagItem &t : first + second + FavoriteTags::defaultTags() + FavoriteTags::defaultTags()) {
        EXPECT_FALSE(t.id.isNull());
        ids.insert(t.id);
    }
    EXPECT_EQ(ids.size(), 18);
}

TEST_F(FavoriteTagsTest, AFileConvertedByPlistutilIsRead)
{
    const QString xml = TestEnvironment::makeFolder("plist") + "/in.plist";
    TestEnvironment::writeFile(xml, favoritesPlist({"Converted\n7"}, Format::Xml));
    QDir().mkpath(QFileInfo(FavoriteTags::filePath()).absolutePath());
    // plistutil turns an XML file into a binary one and back.
    const int rc = QProcess::execute("plistutil", {"-i", xml, "-o", FavoriteTags::filePath()});
    if (rc < 0) {
        GTEST_SKIP() << "plistutil (libplist-utils) is not installed";
    }
    ASSERT_EQ(rc, 0);
    QFile f(FavoriteTags::filePath());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    ASSERT_TRUE(f.read(8) == "bplist00");
    f.close();
    EXPECT_EQ(simplify(FavoriteTags::finderFavoriteTags()), (std::vector<Expected>{{"Converted", 7}}));
}

} // namespace
