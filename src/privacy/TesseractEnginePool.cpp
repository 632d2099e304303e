// SPDX-License-Identifier: GPL-3.0-or-later
#include "privacy/TesseractEnginePool.h"

#include "platform/Log.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QMutexLocker>

#include <tesseract/baseapi.h>

#include <algorithm>

#include <dlfcn.h>
#include <malloc.h>

namespace {

// Debian's Tesseract runs its LSTM layers in OpenMP teams of four threads. On a desktop with
// two or four cores, one engine per worker thread uses the cores far better, and the
// OMP_THREAD_LIMIT variable is read before main() runs. Allowing no active parallel level
// makes every team a single thread; the setting belongs to the calling thread, so each lease
// applies it to the thread that will run the engine.
void keepOpenMpSingleThreaded()
{
    using SetLevels = void (*)(int);
    static const SetLevels set = reinterpret_cast<SetLevels>(dlsym(RTLD_DEFAULT, "omp_set_max_active_levels"));
    if (set) {
        set(0);
    }
}

QString tessdataDir()
{
    const QByteArray prefix = qgetenv("TESSDATA_PREFIX");
    if (!prefix.isEmpty()) {
        return QString::fromLocal8Bit(prefix);
    }
    for (const char *dir : {"/usr/share/tesseract-ocr/5/tessdata", "/usr/share/tesseract-ocr/4.00/tessdata",
                            "/usr/share/tessdata", "/usr/local/share/tessdata"}) {
        if (QFileInfo::exists(QString::fromLatin1(dir) + QStringLiteral("/eng.traineddata"))) {
            return QString::fromLatin1(dir);
        }
    }
    return QString();
}

// English always; the user's own languages where their data is installed.
QString chooseLanguages(const QString &dataDir)
{
    QStringList langs{QStringLiteral("eng")};
    QList<QLocale> locales{QLocale::system()};
    for (const QString &tag : QLocale::system().uiLanguages()) {
        locales << QLocale(tag);
    }
    for (const QLocale &l : locales) {
        if (l.language() == QLocale::C || l.language() == QLocale::AnyLanguage) {
            continue;
        }
        const QString code = QLocale::languageToCode(l.language(), QLocale::ISO639Part2T); // Tesseract names data "deu", not "ger"
        if (!code.isEmpty() && !langs.contains(code)
            && QFileInfo::exists(dataDir + QLatin1Char('/') + code + QStringLiteral(".traineddata"))) {
            langs << code;
        }
    }
    return langs.join(QLatin1Char('+'));
}

} // namespace

TesseractEnginePool::Lease::Lease(TesseractEnginePool *pool, tesseract::TessBaseAPI *engine)
    : m_pool(pool)
    , m_engine(engine)
{
}

TesseractEnginePool::Lease::Lease(Lease &&other) noexcept
    : m_pool(std::exchange(other.m_pool, nullptr))
    , m_engine(std::exchange(other.m_engine, nullptr))
{
}

TesseractEnginePool::Lease &TesseractEnginePool::Lease::operator=(Lease &&other) noexcept
{
    if (this != &other) {
        if (m_pool && m_engine) {
            m_pool->release(m_engine);
        }
        m_pool = std::exchange(other.m_pool, nullptr);
        m_engine = std::exchange(other.m_engine, nullptr);
    }
    return *this;
}

TesseractEnginePool::Lease::~Lease()
{
    if (m_pool && m_engine) {
        m_pool->release(m_engine);
    }
}

bool TesseractEnginePool::englishDataInstalled()
{
    const QString dir = tessdataDir();
    return !dir.isEmpty() && QFileInfo::exists(dir + QStringLiteral("/eng.traineddata"));
}

TesseractEnginePool &TesseractEnginePool::shared()
{
    static TesseractEnginePool pool;
    return pool;
}

TesseractEnginePool::TesseractEnginePool()
{
    const QString dir = tessdataDir();
    m_languages = dir.isEmpty() ? QStringLiteral("eng") : chooseLanguages(dir);
}

TesseractEnginePool::~TesseractEnginePool()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_reaper.joinable()) {
        m_reaper.join();
    }
    for (auto &engine : m_all) {
        engine->End();
    }
}

TesseractEnginePool::Lease TesseractEnginePool::acquire()
{
    keepOpenMpSingleThreaded();
    {
        std::lock_guard lock(m_mutex);
        if (m_failed) {
            return {};
        }
        if (!m_idle.empty()) {
            tesseract::TessBaseAPI *engine = m_idle.back().engine;
            m_idle.pop_back();
            return Lease(this, engine);
        }
    }
    // Start a new engine outside the lock: loading takes a while and others may return theirs.
    auto engine = std::make_unique<tesseract::TessBaseAPI>();
    // Language correction off: no word lists, the recogniser reads what is drawn.
    // Dark screens are inverted before reading, so the engine's own retry of doubtful lines in
    // inverted form only costs time.
    const std::vector<std::string> names{"load_system_dawg", "load_freq_dawg", "load_punc_dawg",
                                         "load_number_dawg", "load_unambig_dawg", "load_bigram_dawg",
                                         "tessedit_do_invert", "debug_file"};
    const std::vector<std::string> values{"0", "0", "0", "0", "0", "0", "0", "/dev/null"};
    const QByteArray dir = tessdataDir().toLocal8Bit();
    const QByteArray langs = m_languages.toLatin1();
    // Some of Tesseract's parameters ("debug_file") are process-wide: two engines starting at
    // once would write them together. Start one at a time.
    static QMutex initMutex;
    QMutexLocker initLock(&initMutex);
    const int rc = engine->Init(dir.isEmpty() ? nullptr : dir.constData(), langs.constData(),
                                tesseract::OEM_LSTM_ONLY, nullptr, 0, &names, &values, false);
    initLock.unlock();
    std::lock_guard lock(m_mutex);
    if (rc != 0) {
        if (!m_failed) {
            Log::line(QStringLiteral("Text recognition is unavailable: Tesseract could not load \"%1\"").arg(m_languages));
        }
        m_failed = true;
        return {};
    }
    tesseract::TessBaseAPI *raw = engine.get();
    m_all.push_back(std::move(engine));
    ++m_created;
    return Lease(this, raw);
}

int TesseractEnginePool::createdCount() const
{
    std::lock_guard lock(m_mutex);
    return m_created;
}

int TesseractEnginePool::liveCount() const
{
    std::lock_guard lock(m_mutex);
    return int(m_all.size());
}

void TesseractEnginePool::setIdleReleaseInterval(std::chrono::milliseconds interval)
{
    {
        std::lock_guard lock(m_mutex);
        m_idleInterval = interval;
    }
    m_wake.notify_all();
}

std::chrono::milliseconds TesseractEnginePool::idleReleaseInterval() const
{
    std::lock_guard lock(m_mutex);
    return m_idleInterval;
}

void TesseractEnginePool::release(tesseract::TessBaseAPI *engine)
{
    engine->Clear();
    {
        std::lock_guard lock(m_mutex);
        m_idle.push_back({engine, Clock::now()});
        if (!m_reaper.joinable()) {
            m_reaper = std::thread([this] { reap(); });
        }
    }
    m_wake.notify_all();
}

// Ends engines that stayed idle for the interval. Waits with a deadline only while some engine
// is idle; otherwise until an engine comes back.
void TesseractEnginePool::reap()
{
    std::unique_lock lock(m_mutex);
    while (!m_stopping) {
        if (m_idle.empty()) {
            m_wake.wait(lock);
            continue;
        }
        const Clock::time_point now = Clock::now();
        const auto fresh = std::find_if(m_idle.begin(), m_idle.end(),
                                          [&](const Idle &i) { return now - i.since < m_idleInterval; });
        if (fresh == m_idle.begin()) {
            m_wake.wait_until(lock, m_idle.front().since + m_idleInterval);
            continue;
        }
        std::vector<std::unique_ptr<tesseract::TessBaseAPI>> doomed;
        for (auto it = m_idle.begin(); it != fresh; ++it) {
            const auto owned = std::find_if(m_all.begin(), m_all.end(),
                                            [&](const auto &e) { return e.get() == it->engine; });
            doomed.push_back(std::move(*owned));
            m_all.erase(owned);
        }
        m_idle.erase(m_idle.begin(), fresh);
        // Ending an engine frees many small blocks; without a trim glibc keeps them mapped.
        lock.unlock();
        doomed.clear();
        malloc_trim(0);
        lock.lock();
    }
}
