// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMutex>
#include <QString>

#include <memory>
#include <vector>

namespace tesseract {
class TessBaseAPI;
}

// Initialised Tesseract engines kept for reuse: starting one reads the language models and
// takes far longer than a small recognition. A scan borrows one engine per worker thread and
// gives it back; engines are created on demand and live as long as the process.
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
    ~TesseractEnginePool();

    // An engine, or an empty lease when Tesseract or its English data cannot be loaded.
    Lease acquire();
    // How many engines were ever started (tests check that an empty request starts none).
    int createdCount() const;
    // "eng" plus the installed data for the user's languages, joined with "+".
    QString languages() const { return m_languages; }

private:
    TesseractEnginePool();
    void release(tesseract::TessBaseAPI *engine);

    mutable QMutex m_mutex;
    std::vector<std::unique_ptr<tesseract::TessBaseAPI>> m_all;
    std::vector<tesseract::TessBaseAPI *> m_idle;
    QString m_languages;
    bool m_failed = false;
};
