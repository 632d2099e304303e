// SPDX-License-Identifier: GPL-3.0-or-later
#include "FixtureScore.h"
#include "common/QtPrinters.h"
#include "privacy/PIIDetector.h"
#include "privacy/TesseractEnginePool.h"
#include "privacy/TextRecognizer.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QFutureWatcher>
#include <QTemporaryDir>
#include <QThread>

#include "common/TestEnvironment.h"

#include <dlfcn.h>

namespace {

const auto kAllText = PIITypes::fromInt(kTextPIITypesMask);

const FixtureScore::Fixture &contacts()
{
    static const FixtureScore::Fixture f = FixtureScore::load(QStringLiteral("contacts-light-13px-1x"));
    return f;
}

// Nothing asked for, or nothing to read: the empty result at once, without starting an engine.
TEST(Scan, NothingToDoReturnsAtOnce)
{
    const int engines = TesseractEnginePool::shared().createdCount();
    QFuture<PIIDetector::ScanResult> f = PIIDetector::scan(contacts().image, PIITypes(), false);
    EXPECT_TRUE(f.isFinished());
    EXPECT_TRUE(f.result().isEmpty());
    // Bits above faces are not kinds.
    EXPECT_TRUE(PIIDetector::scan(contacts().image, PIITypes::fromInt(128), false).isFinished());
    const QString path = TestEnvironment::writeFile(TestEnvironment::home() + QStringLiteral("/broken.png"),
                                                    QByteArray("\x89PNG\r\n\x1a\n not really"));
    const QImage unreadable(path);
    ASSERT_TRUE(unreadable.isNull());
    EXPECT_TRUE(PIIDetector::scan(unreadable, PIITypes::fromInt(kAllPIITypesMask), true).result().isEmpty());
    EXPECT_TRUE(PIIDetector::scanNow(QImage(), PIITypes::fromInt(kAllPIITypesMask), true).isEmpty());
    EXPECT_EQ(TesseractEnginePool::shared().createdCount(), engines);
}

// The rectangle is the match's outline grown by 4 pixels, and above and below by a fifth of the
// line's height where that is more: large type's smoothed edges reach past its outline.
TEST(Scan, RectangleIsTheMatchOutlineWithAMargin)
{
    const QString email = QStringLiteral("jane.example@example.com");
    for (const char *name : {"contacts-light-13px-1x", "contacts-dark-15px-2x"}) {
        const FixtureScore::Fixture f = FixtureScore::load(QString::fromLatin1(name));
        std::optional<QRectF> box;
        for (const RecognizedLine &line : TextRecognizer::recognize(f.image)) {
            if (const qsizetype at = line.text.indexOf(email); at >= 0) {
                box = line.boundingBox(int(at), int(email.size()));
            }
        }
        ASSERT_TRUE(box.has_value()) << name;
        const double dy = std::max(4.0, box->height() / 5);
        const PIIDetector::ScanResult r = PIIDetector::scanNow(f.image, PIIType::emails, false);
        EXPECT_TRUE(r.piiRects.contains(box->adjusted(-4, -dy, 4, dy))) << name << ::testing::PrintToString(*box);
        // Only e-mails were asked for: the phone numbers on the page stay unboxed.
        EXPECT_EQ(r.piiRects.size(), 6) << name;
    }
}

// Two scans at once give what they give one after the other, each delivered on the caller's thread.
TEST(Scan, TwoScansAtOnceEqualOneAfterTheOther)
{
    const QImage a = contacts().image;
    const QImage b = FixtureScore::load(QStringLiteral("billing-light-11px-1x")).image;
    const PIIDetector::ScanResult sa = PIIDetector::scanNow(a, kAllText, true);
    const PIIDetector::ScanResult sb = PIIDetector::scanNow(b, kAllText, true);
    QFutureWatcher<PIIDetector::ScanResult> watcher;
    QEventLoop loop;
    QThread *deliveredOn = nullptr;
    QObject::connect(&watcher, &QFutureWatcherBase::finished, &loop, [&] {
        deliveredOn = QThread::currentThread();
        loop.quit();
    });
    watcher.setFuture(PIIDetector::scan(a, kAllText, true));
    QFuture<PIIDetector::ScanResult> fb = PIIDetector::scan(b, kAllText, true);
    loop.exec();
    EXPECT_EQ(deliveredOn, QCoreApplication::instance()->thread());
    EXPECT_EQ(watcher.result().ocrText, sa.ocrText);
    EXPECT_EQ(watcher.result().piiRects, sa.piiRects);
    EXPECT_EQ(fb.result().ocrText, sb.ocrText);
    EXPECT_EQ(fb.result().piiRects, sb.piiRects);
}

// Tesseract's OpenMP teams would put four threads per engine on two cores: a thread that
// borrows an engine runs its teams single-threaded.
TEST(Engines, RunWithoutOpenMpTeams)
{
    using GetLevels = int (*)();
    const auto get = reinterpret_cast<GetLevels>(dlsym(RTLD_DEFAULT, "omp_get_max_active_levels"));
    if (!get) {
        GTEST_SKIP() << "Tesseract is built without OpenMP";
    }
    TesseractEnginePool::Lease engine = TesseractEnginePool::shared().acquire();
    ASSERT_TRUE(engine);
    EXPECT_EQ(get(), 0);
}

} // namespace
