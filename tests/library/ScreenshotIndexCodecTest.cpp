// SPDX-License-Identifier: GPL-3.0-or-later
#include "library/ScreenshotIndexCodec.h"

#include <gtest/gtest.h>

namespace {

TEST(ScreenshotIndexCodec, RoundTripKeepsEveryField)
{
    const QString full = "/home/u/Pictures/Pictrove/Editor/2024-03-05/screenshot_14-07-09.png";
    ScreenshotIndexCodec::Entries entries = {
        {full,
         {full, QStringLiteral("Text Editor / \"Beta\""), QDateTime::fromMSecsSinceEpoch(1709647629123LL, Qt::UTC),
          QStringLiteral("Line one\nhttps://example.com/a\tb \\ c \x01 é ✓ 😀"),
          {QRectF(10, 20.5, 30.25, 40), QRectF(-1, 0, 1e-3, 12345.678)}, {"Work", "red/blue"}, QString(64, 'a')}},
    };
    // Bare entries at times around the stored times' epoch (2001-01-01) and far from it, to
    // the millisecond.
    for (qint64 ms : {978307200000LL, 978307199999LL, 978307200000LL - 1500, 1709647629001LL, 1709647629999LL,
                      0LL, 4102444800123LL}) {
        const QString path = QStringLiteral("/x/%1.png").arg(ms);
        entries.insert(path, {path, "Unknown", QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC), {}, {}, {}, {}});
    }

    QString error;
    EXPECT_EQ(ScreenshotIndexCodec::decode(ScreenshotIndexCodec::encode(entries), &error), entries)
        << error.toStdString();
    EXPECT_EQ(ScreenshotIndexCodec::decode(ScreenshotIndexCodec::encode({})), ScreenshotIndexCodec::Entries{});
    const QDateTime dayAfterEpoch(QDate(2001, 1, 2), QTime(0, 0), Qt::UTC);
    EXPECT_DOUBLE_EQ(ScreenshotIndexCodec::toReferenceSeconds(dayAfterEpoch), 86400.0);

    // Numbers JSON cannot hold are written as zero: otherwise one bad rectangle would make
    // every later save fail.
    const QList<QRectF> nan = {QRectF(qQNaN(), 1, qInf(), 2)};
    const ScreenshotIndexEntry odd{"/n.png", {}, entries.value(full).timestamp, {}, nan, {}, {}};
    const auto decoded = ScreenshotIndexCodec::decode(ScreenshotIndexCodec::encode({{odd.path, odd}}));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->value(odd.path).piiRects, QList<QRectF>{QRectF(0, 1, 0, 2)});
}

TEST(ScreenshotIndexCodec, WritesTheCompactReferenceEncoding)
{
    ScreenshotIndexEntry e{"/a/b.png", "App", QDateTime::fromMSecsSinceEpoch(978307200000LL + 731000000500LL, Qt::UTC),
                           "x\ny", {QRectF(1, 2, 3, 4.5)}, {"t"}, {}};
    const QByteArray withoutHash = ScreenshotIndexCodec::encode({{e.path, e}});
    EXPECT_EQ(withoutHash.toStdString(),
              R"({"\/a\/b.png":{"path":"\/a\/b.png","appName":"App","timestamp":731000000.5,"ocrText":"x\ny",)"
              R"("piiRects":[[[1.0,2.0],[3.0,4.5]]],"tags":["t"]}})");

    e.contentHash = QStringLiteral("00ff");
    const QByteArray withHash = ScreenshotIndexCodec::encode({{e.path, e}});
    EXPECT_TRUE(withHash.endsWith(R"("tags":["t"],"contentHash":"00ff"}})")) << withHash.toStdString();
}

TEST(ScreenshotIndexCodec, ReadsAHandWrittenReferenceFile)
{
    // Pretty-printed, members shuffled, one slash plain and one escaped, unknown members,
    // an integral timestamp, a null hash and a missing one.
    const QByteArray text = R"( {
      "/lib/App/2024-03-05/screenshot_14-07-09.png" : {
        "tags" : [ "Receipts", "2024" ],
        "unknown" : { "nested" : [1, 2, 3] },
        "piiRects" : [ [ [ 12.5, 30 ], [ 200, 18.25 ] ] ],
        "ocrText" : "mail: user@example.com\nline 2 \u00e9 \ud83d\ude00",
        "timestamp" : 731000000.25,
        "appName" : "Web Browser",
        "path" : "\/lib\/App\/2024-03-05\/screenshot_14-07-09.png",
        "contentHash" : "9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08"
      },
      "/lib/b.png": {"path":"/lib/b.png","appName":"B","timestamp":0,"ocrText":"","piiRects":[],"tags":[],"contentHash":null},
      "/lib/c.png": {"path":"/lib/c.png","appName":"C","timestamp":-1.5,"ocrText":"","piiRects":[],"tags":[]}
    } )";
    const QString a = "/lib/App/2024-03-05/screenshot_14-07-09.png";
    const QDateTime epoch(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);
    const ScreenshotIndexCodec::Entries expected = {
        {a,
         {a, "Web Browser", epoch.addMSecs(731000000250LL), QStringLiteral("mail: user@example.com\nline 2 é 😀"),
          {QRectF(12.5, 30, 200, 18.25)}, {"Receipts", "2024"},
          QStringLiteral("9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08")}},
        {"/lib/b.png", {"/lib/b.png", "B", epoch, "", {}, {}, std::nullopt}},
        {"/lib/c.png", {"/lib/c.png", "C", epoch.addMSecs(-1500), "", {}, {}, std::nullopt}},
    };
    QString error;
    EXPECT_EQ(ScreenshotIndexCodec::decode(text, &error), expected) << error.toStdString();
}

TEST(ScreenshotIndexCodec, RejectsFilesOfAnotherShape)
{
    const QByteArray good = R"("path":"/a","appName":"A","timestamp":1,"ocrText":"","piiRects":[])";
    const struct
    {
        const char *what;
        QByteArray text;
    } cases[] = {
        {"entry without tags", "{\"/a\":{" + good + "}}"},
        {"entry without path", R"({"/a":{"appName":"A","timestamp":1,"ocrText":"","piiRects":[],"tags":[]}})"},
        {"tags not an array", "{\"/a\":{" + good + ",\"tags\":\"x\"}}"},
        {"tag not a string", "{\"/a\":{" + good + ",\"tags\":[1]}}"},
        {"hash a number", "{\"/a\":{" + good + ",\"tags\":[],\"contentHash\":5}}"},
        {"timestamp a string", R"({"/a":{"path":"/a","appName":"A","timestamp":"1","ocrText":"","piiRects":[],"tags":[]}})"},
        {"rect flat", R"({"/a":{"path":"/a","appName":"A","timestamp":1,"ocrText":"","piiRects":[[1,2,3,4]],"tags":[]}})"},
        {"rect short", R"({"/a":{"path":"/a","appName":"A","timestamp":1,"ocrText":"","piiRects":[[[1,2],[3]]],"tags":[]}})"},
        {"entry an array", R"({"/a":[]})"},
        {"top level an array", "[]"}, {"trailing garbage", "{} x"},
        {"truncated", "{\"/a\":{" + good},
        {"NUL inside", QByteArray("{}\0{}", 5)}, {"empty file", ""},
        {"NaN", R"({"/a":{"path":"/a","appName":"A","timestamp":NaN,"ocrText":"","piiRects":[],"tags":[]}})"},
    };
    for (const auto &c : cases) {
        EXPECT_FALSE(ScreenshotIndexCodec::decode(c.text)) << c.what;
    }
    // The last entry of the bad list is fine once it has its tags.
    EXPECT_TRUE(ScreenshotIndexCodec::decode("{\"/a\":{" + good + ",\"tags\":[]}}"));
}

} // namespace
