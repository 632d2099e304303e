// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/HotkeyManager.h"

#include "platform/GlobalShortcutBackend.h"
#include "platform/Log.h"

#include <QCoreApplication>
#include <QThread>

namespace {

void logFailure(int status) { Log::line(QStringLiteral("Failed to register hotkey (status %1)").arg(status)); }

} // namespace

HotkeyManager &HotkeyManager::shared()
{
    static HotkeyManager manager;
    return manager;
}

HotkeyManager::HotkeyManager(BackendFactory factory, QObject *parent)
    : QObject(parent), m_factory(factory ? std::move(factory) : BackendFactory(&GlobalShortcutBackend::create))
{
}

HotkeyManager::~HotkeyManager() = default;

void HotkeyManager::registerHotkey()
{
    if (m_registered) {
        return;
    }
    // The handler is installed once and kept after a failure, so a retry cannot add a second
    // one and a press reaches the callback once.
    if (!m_handler) {
        m_handler = m_factory();
        connect(m_handler.get(), &GlobalShortcutBackend::pressed, this, &HotkeyManager::pressed);
        connect(m_handler.get(), &GlobalShortcutBackend::registrationFailed, this, [this](int status) {
            logFailure(status);
            m_registered = false;
        });
    }
    const int status = m_handler->registerShortcut();
    if (status != 0) {
        logFailure(status);
        return;
    }
    m_registered = true;
}

void HotkeyManager::unregisterHotkey()
{
    if (m_registered) {
        m_handler->unregisterShortcut();
        m_registered = false;
    }
    m_handler.reset();
}

void HotkeyManager::pressed()
{
    // A separate main-thread step, whatever the back end was doing when the press came.
    QMetaObject::invokeMethod(
        this,
        [this] {
            Q_ASSERT(QThread::currentThread() == QCoreApplication::instance()->thread());
            if (onAnnotateLatest) {
                onAnnotateLatest();
            }
        },
        Qt::QueuedConnection);
}
