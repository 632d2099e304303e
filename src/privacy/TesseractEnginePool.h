// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace tesseract {
class TessBaseAPI;
}

// Initialised Tesseract engines kept for reuse: starting one reads the language models and
// takes far longer than a small recognition. A scan borrows one engine per worker thread and
// gives it back; engines are created on demand. An engine holds tens of megabytes, so one left
// idle for a while is ended and its memory handed back to the system; the next scan starts
// engines again. A reaper thread does this; it sleeps without a deadline while nothing is idle,
// so an idle process is never woken.
class TesseractEnginePool
{
public:
    class Lease
    {
    public:
        Lease() = default;
        Lease(TesseractEnginePool *pool, tesseract::TessBaseAPI *engine);
        Lease(Lease &&other) noexcept;
        Lease &operator=(Lease &&other) noexcept;
        ~Lease();
        tesseract::TessBaseAPI *get() const { return m_engine; }
        tesseract::TessBaseAPI *operator->() const { return m_engine; }
        explicit operator bool() const { return m_engine != nullptr; }

    private:
        TesseractEnginePool *m_pool = nullptr;
        tesseract::TessBaseAPI *m_engine = nullptr;
    };

    static TesseractEnginePool &shared();
    // Whether Tesseract's English data (tesseract-ocr-eng) is where engines look for it.
    static bool englishDataInstalled();
    ~TesseractEnginePool();

    // An engine, or an empty lease when Tesseract or its English data cannot be loaded.
    Lease acquire();
    // How many engines were ever started (tests check that an empty request starts none).
    int createdCount() const;
    // How many engines exist now, lent out or idle.
    int liveCount() const;
    // How long a returned engine stays idle before it is ended (30 s unless changed).
    void setIdleReleaseInterval(std::chrono::milliseconds interval);
    std::chrono::milliseconds idleReleaseInterval() const;
    // "eng" plus the installed data for the user's languages, joined with "+".
    QString languages() const { return m_languages; }

private:
    TesseractEnginePool();
    using Clock = std::chrono::steady_clock;
    struct Idle
    {
        tesseract::TessBaseAPI *engine;
        Clock::time_point since;
    };

    void release(tesseract::TessBaseAPI *engine);
    void reap();

    mutable std::mutex m_mutex;
    std::condition_variable m_wake; // an engine came back, the interval changed, or shutdown
    std::vector<std::unique_ptr<tesseract::TessBaseAPI>> m_all;
    std::vector<Idle> m_idle; // oldest first; acquire() takes the most recently returned
    std::chrono::milliseconds m_idleInterval{std::chrono::seconds(30)};
    std::thread m_reaper; // started with the first returned engine
    int m_created = 0;
    bool m_stopping = false;
    QString m_languages;
    bool m_failed = false;
};
