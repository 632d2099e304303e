// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Workspace.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QEventLoopLocker>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>

#include <memory>

namespace Workspace {

namespace {

// How long a file manager may take to start before the folder is opened instead.
constexpr int showItemsTimeoutMs = 10000;

void openWithDesktop(const QUrl &url)
{
    if (QDesktopServices::openUrl(url)) {
        return;
    }
    // Without a GUI application object (the headless tool) Qt cannot reach the desktop's
    // handlers; xdg-open is what it would have used.
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        QProcess::startDetached(QStringLiteral("xdg-open"), {url.toString(QUrl::FullyEncoded)});
    }
}

void openContainingFolder(const QString &path)
{
    openWithDesktop(QUrl::fromLocalFile(QFileInfo(path).absolutePath()));
}

} // namespace

void reveal(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        openContainingFolder(absolute);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(absolute).toString(QUrl::FullyEncoded)} << QString();
    // Asynchronous: a file manager that starts slowly must not freeze the caller's windows.
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, showItemsTimeoutMs));
    // A process that ends with its last window (pictrove annotate) waits for the answer, so the
    // fallback still runs when no file manager takes the call. Only there: releasing the lock
    // quits the application, which the tray application must not do.
    std::shared_ptr<QEventLoopLocker> keepRunning;
    if (QGuiApplication::quitOnLastWindowClosed() && qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        keepRunning = std::make_shared<QEventLoopLocker>();
    }
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [absolute, keepRunning](QDBusPendingCallWatcher *w) {
        if (w->isError()) {
            openContainingFolder(absolute);
        }
        w->deleteLater();
    });
}

void open(const QUrl &url) { openWithDesktop(url); }

} // namespace Workspace
