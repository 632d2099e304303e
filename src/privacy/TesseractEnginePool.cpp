// SPDX-License-Identifier: GPL-3.0-or-later
#include "privacy/TesseractEnginePool.h"

#include "platform/Log.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QMutexLocker>

#include <tesseract/baseapi.h>

#include <dlfcn.h>

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
    for (auto &engine : m_all) {
        engine->End();
    }
}

TesseractEnginePool::Lease TesseractEnginePool::acquire()
{
    keepOpenMpSingleThreaded();
    {
        QMutexLocker lock(&m_mutex);
        if (m_failed) {
            return {};
        }
        if (!m_idle.empty()) {
            tesseract::TessBaseAPI *engine = m_idle.back();
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
    QMutexLocker lock(&m_mutex);
    if (rc != 0) {
        if (!m_failed) {
            Log::line(QStringLiteral("Text recognition is unavailable: Tesseract could not load \"%1\"").arg(m_languages));
        }
        m_failed = true;
        return {};
    }
    tesseract::TessBaseAPI *raw = engine.get();
    m_all.push_back(std::move(engine));
    return Lease(this, raw);
}

int TesseractEnginePool::createdCount() const
{
    QMutexLocker lock(&m_mutex);
    return int(m_all.size());
}

void TesseractEnginePool::release(tesseract::TessBaseAPI *engine)
{
    engine->Clear();
    QMutexLocker lock(&m_mutex);
    m_idle.push_back(engine);
}
