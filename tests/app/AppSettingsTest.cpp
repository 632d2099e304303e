// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppSettings.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

namespace {

class AppSettingsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        AppSettings s;
        for (const auto &spec : AppSettings::keySpecs()) {
            s.reset(spec.key);
        }
    }
};

TEST_F(AppSettingsTest, FreshUserReadsDefaultsAndStoresNothing)
{
    AppSettings s;
    EXPECT_EQ(s.destinationFolder(), "~/Pictures/Pictrove");
    EXPECT_EQ(s.retentionDays(), 30);
    EXPECT_FALSE(s.dedupeDuplicates());
    EXPECT_EQ(int(s.enabledPIITypes()), 31);
    EXPECT_EQ(s.piiRedactionStyle(), "blur");
    for (const auto &spec : AppSettings::keySpecs()) {
        EXPECT_FALSE(s.isSet(spec.key)) << spec.key.toStdString();
    }
    EXPECT_EQ(AppSettings::keySpecs().size(), 23);
}

TEST_F(AppSettingsTest, TextValuesAreCheckedAgainstTheKey)
{
    struct Case
    {
        const char *key;
        const char *text;
        bool accepted;
        QVariant stored;
    };
    const Case cases[] = {
        {"retentionDays", "7", true, qint64(7)},
        {"retentionDays", "seven", false, qint64(30)},
        {"dedupeDuplicates", "yes", true, true},
        {"dedupeDuplicates", "maybe", false, false},
        {"piiRedactionStyle", "black", true, QStringLiteral("black")},
        {"piiRedactionStyle", "smudge", false, QStringLiteral("blur")},
        {"retentionAction", "archive", true, QStringLiteral("archive")},
        {"noSuchKey", "1", false, QVariant()},
    };
    for (const Case &c : cases) {
        AppSettings s;
        s.reset(c.key);
        const Status st = s.setFromText(c.key, c.text);
        EXPECT_EQ(st.ok(), c.accepted) << c.key << "=" << c.text;
        EXPECT_EQ(s.value(c.key), c.stored) << c.key << "=" << c.text;
    }
}

TEST_F(AppSettingsTest, EnabledTypesFollowTheSwitchesAndWritesAreAnnounced)
{
    AppSettings s;
    QSignalSpy spy(&s, &AppSettings::changed);
    s.setRedactFaces(true);
    s.setRedactEmails(false);
    EXPECT_EQ(int(s.enabledPIITypes()), 31 - 1 + 64);
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(0).at(0).toString(), "redactFaces");
    // Another instance reads the same store.
    AppSettings other;
    EXPECT_TRUE(other.redactFaces());
}

} // namespace
