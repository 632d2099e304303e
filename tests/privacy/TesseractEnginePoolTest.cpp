// SPDX-License-Identifier: GPL-3.0-or-later
#include "FixtureScore.h"
#include "privacy/PIIDetector.h"
#include "privacy/TesseractEnginePool.h"

#include <gtest/gtest.h>

#include <tesseract/baseapi.h>

#include <chrono>
#include <thread>

namespace {

using namespace std::chrono_literals;

// A short idle interval for one test; the shared pool gets its own back afterwards.
class ShortIdleInterval
{
public:
    explicit ShortIdleInterval(std::chrono::milliseconds interval)
        : m_previous(TesseractEnginePool::shared().idleReleaseInterval())
    {
        TesseractEnginePool::shared().setIdleReleaseInterval(interval);
    }
    ~ShortIdleInterval() { TesseractEnginePool::shared().setIdleReleaseInterval(m_previous); }

private:
    std::chrono::milliseconds m_previous;
};

bool liveCountReaches(int count, std::chrono::milliseconds within)
{
    const auto deadline = std::chrono::steady_clock::now() + within;
    while (TesseractEnginePool::shared().liveCount() != count) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

PIIDetector::ScanResult scanContacts()
{
    static const FixtureScore::Fixture f = FixtureScore::load(QStringLiteral("contacts-light-13px-1x"));
    return PIIDetector::scanNow(f.image, PIITypes::fromInt(kTextPIITypesMask), true);
}

TEST(EnginePool, IdleEnginesEndAfterTheIntervalAndAScanStartsThemAgain)
{
    const ShortIdleInterval interval(200ms);
    const PIIDetector::ScanResult first = scanContacts();
    ASSERT_TRUE(first.ocrText.contains(QStringLiteral("jane.example@example.com")));
    EXPECT_TRUE(liveCountReaches(0, 5s)) << TesseractEnginePool::shared().liveCount() << " engines still alive";

    const int created = TesseractEnginePool::shared().createdCount();
    const PIIDetector::ScanResult again = scanContacts();
    EXPECT_GT(TesseractEnginePool::shared().createdCount(), created);
    EXPECT_EQ(again.ocrText, first.ocrText);
    EXPECT_EQ(again.piiRects, first.piiRects);
    EXPECT_TRUE(liveCountReaches(0, 5s));
}

TEST(EnginePool, LentEngineOutlivesTheInterval)
{
    const ShortIdleInterval interval(200ms);
    TesseractEnginePool::Lease lease = TesseractEnginePool::shared().acquire();
    ASSERT_TRUE(lease);
    // Another engine comes back and ends while the first is still lent out.
    {
        TesseractEnginePool::Lease other = TesseractEnginePool::shared().acquire();
        ASSERT_TRUE(other);
    }
    std::this_thread::sleep_for(700ms);
    EXPECT_EQ(TesseractEnginePool::shared().liveCount(), 1);
    // Still a working engine (a freed one would trip the address sanitizer here).
    EXPECT_STREQ(lease->GetInitLanguagesAsString(), TesseractEnginePool::shared().languages().toLatin1().constData());

    lease = TesseractEnginePool::Lease();
    EXPECT_TRUE(liveCountReaches(0, 5s));
}

// A lease returned and taken again before the interval keeps the same engine.
TEST(EnginePool, EngineReturnedWithinTheIntervalIsReused)
{
    const ShortIdleInterval interval(2s);
    tesseract::TessBaseAPI *engine = nullptr;
    {
        TesseractEnginePool::Lease lease = TesseractEnginePool::shared().acquire();
        ASSERT_TRUE(lease);
        engine = lease.get();
    }
    const int created = TesseractEnginePool::shared().createdCount();
    TesseractEnginePool::Lease again = TesseractEnginePool::shared().acquire();
    EXPECT_EQ(again.get(), engine);
    EXPECT_EQ(TesseractEnginePool::shared().createdCount(), created);
}

} // namespace
