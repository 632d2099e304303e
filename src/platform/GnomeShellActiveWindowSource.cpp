// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/GnomeShellActiveWindowSource.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>

namespace {

const QString kPath = QStringLiteral("/com/pictrove/FocusedWindow");
const QString kInterface = QStringLiteral("com.pictrove.FocusedWindow");
constexpr int kTimeoutMs = 2000;

QDBusMessage getCall()
{
    return QDBusMessage::createMethodCall(GnomeShellActiveWindowSource::serviceName(), kPath, kInterface,
                                          QStringLiteral("Get"));
}

std::optional<ActiveWindow> windowFromReply(const QDBusMessage &reply)
{
    const QList<QVariant> args = reply.arguments();
    if (reply.type() != QDBusMessage::ReplyMessage || args.size() != 3) {
        return std::nullopt;
    }
    return GnomeShellActiveWindowSource::windowOf(args[0].toString(), args[1].toString(), args[2].toUInt());
}

} // namespace

QString GnomeShellActiveWindowSource::serviceName()
{
    return QStringLiteral("com.pictrove.FocusedWindow");
}

ActiveWindow GnomeShellActiveWindowSource::windowOf(const QString &appId, const QString &wmClass, uint pid)
{
    return ActiveWindow::ofApplication(appId, wmClass, pid);
}

std::unique_ptr<GnomeShellActiveWindowSource> GnomeShellActiveWindowSource::open(const QDBusConnection &bus,
                                                                                QString *error)
{
    if (!bus.isConnected()) {
        if (error) {
            *error = QStringLiteral("no session bus");
        }
        return nullptr;
    }
    auto source = std::unique_ptr<GnomeShellActiveWindowSource>(new GnomeShellActiveWindowSource(bus));
    // Subscribed before asking, so no change between the answer and the first signal is lost.
    if (!source->m_bus.connect(serviceName(), kPath, kInterface, QStringLiteral("FocusChanged"), source.get(),
                               SLOT(focusChanged(QString, QString, uint)))) {
        if (error) {
            *error = QStringLiteral("cannot follow %1: %2").arg(serviceName(), source->m_bus.lastError().message());
        }
        return nullptr;
    }
    const QDBusMessage reply = source->m_bus.call(getCall(), QDBus::Block, kTimeoutMs);
    const std::optional<ActiveWindow> w = windowFromReply(reply);
    if (!w) {
        if (error) {
            *error = QStringLiteral("the GNOME Shell extension did not answer: %1").arg(reply.errorMessage());
        }
        return nullptr;
    }
    source->m_last = *w;
    return source;
}

GnomeShellActiveWindowSource::GnomeShellActiveWindowSource(const QDBusConnection &bus)
    : m_bus(bus),
      m_watcher(new QDBusServiceWatcher(serviceName(), m_bus, QDBusServiceWatcher::WatchForOwnerChange, this))
{
    connect(m_watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString &, const QString &, const QString &newOwner) {
                if (newOwner.isEmpty()) {
                    report({}); // extension disabled or shell gone: the last name is stale
                    return;
                }
                auto *call = new QDBusPendingCallWatcher(m_bus.asyncCall(getCall(), kTimeoutMs), this);
                connect(call, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *c) {
                    c->deleteLater();
                    report(windowFromReply(c->reply()).value_or(ActiveWindow{}));
                });
            });
}

std::optional<ActiveWindow> GnomeShellActiveWindowSource::current()
{
    return lastKnown();
}

void GnomeShellActiveWindowSource::focusChanged(const QString &appId, const QString &wmClass, uint pid)
{
    report(windowOf(appId, wmClass, pid));
}
