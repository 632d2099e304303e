// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/KWinActiveWindowSource.h"

#include "platform/Log.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QString kPath = QStringLiteral("/com/pictrove/ActiveWindow");
const QString kScriptingPath = QStringLiteral("/Scripting");
const QString kScriptingInterface = QStringLiteral("org.kde.kwin.Scripting");
constexpr int kTimeoutMs = 2000;

QDBusMessage scriptingCall(const QString &method, const QList<QVariant> &args)
{
    QDBusMessage call = QDBusMessage::createMethodCall(KWinActiveWindowSource::kwinService(), kScriptingPath,
                                                       kScriptingInterface, method);
    call.setArguments(args);
    return call;
}

} // namespace

QString KWinActiveWindowSource::serviceName()
{
    return QStringLiteral("com.pictrove.ActiveWindow");
}

QString KWinActiveWindowSource::kwinService()
{
    return QStringLiteral("org.kde.KWin");
}

QString KWinActiveWindowSource::pluginName()
{
    return QStringLiteral("pictrove-active-window");
}

QString KWinActiveWindowSource::installedScript()
{
    const QString installed = QStandardPaths::locate(
        QStandardPaths::GenericDataLocation, QStringLiteral("kwin/scripts/%1/contents/code/main.js").arg(pluginName()));
    if (!installed.isEmpty()) {
        return installed;
    }
#ifdef PICTROVE_SOURCE_KWIN_SCRIPT
    // Run from the build tree, before anything is installed.
    if (QFileInfo::exists(QStringLiteral(PICTROVE_SOURCE_KWIN_SCRIPT))) {
        return QStringLiteral(PICTROVE_SOURCE_KWIN_SCRIPT);
    }
#endif
    return {};
}

ActiveWindow KWinActiveWindowSource::windowOf(const QString &resourceClass, const QString &desktopFileName,
                                              const QString &pid)
{
    bool ok = false;
    const qint64 number = pid.toLongLong(&ok);
    return ActiveWindow::ofApplication(desktopFileName, resourceClass, ok && number > 0 ? number : 0);
}

std::unique_ptr<KWinActiveWindowSource> KWinActiveWindowSource::open(const QDBusConnection &bus,
                                                                     const QString &scriptPath, QString *error)
{
    auto fail = [error](const QString &why) {
        if (error) {
            *error = why;
        }
        return nullptr;
    };
    if (!bus.isConnected() || !bus.interface()) {
        return fail(QStringLiteral("no session bus"));
    }
    if (scriptPath.isEmpty() || !QFileInfo(scriptPath).isFile()) {
        return fail(QStringLiteral("the KWin script is not installed (%1)").arg(scriptPath));
    }
    const QString owner = bus.interface()->serviceOwner(kwinService());
    if (owner.isEmpty()) {
        return fail(QStringLiteral("%1 does not answer").arg(kwinService()));
    }
    auto source = std::unique_ptr<KWinActiveWindowSource>(
        new KWinActiveWindowSource(bus, QFileInfo(scriptPath).absoluteFilePath()));
    source->m_kwinOwner = owner;
    // Exported before the script runs, so its first report, the window in front now, lands.
    if (!source->m_bus.registerObject(kPath, source.get(), QDBusConnection::ExportScriptableSlots)) {
        return fail(QStringLiteral("cannot export %1").arg(kPath));
    }
    source->m_exported = true;
    if (source->m_bus.interface()->registerService(serviceName(), QDBusConnectionInterface::DontQueueService,
                                                   QDBusConnectionInterface::DontAllowReplacement) !=
        QDBusConnectionInterface::ServiceRegistered) {
        return fail(QStringLiteral("cannot own %1: %2").arg(serviceName(), source->m_bus.lastError().message()));
    }
    QString why;
    if (!source->loadScript(&why)) {
        return fail(why);
    }
    return source;
}

KWinActiveWindowSource::KWinActiveWindowSource(const QDBusConnection &bus, QString scriptPath)
    : m_bus(bus), m_scriptPath(std::move(scriptPath)),
      m_watcher(new QDBusServiceWatcher(kwinService(), m_bus, QDBusServiceWatcher::WatchForOwnerChange, this))
{
    connect(m_watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString &, const QString &, const QString &newOwner) { kwinOwnerChanged(newOwner); });
}

KWinActiveWindowSource::~KWinActiveWindowSource()
{
    unloadScript();
    if (m_exported) {
        m_bus.unregisterService(serviceName());
        m_bus.unregisterObject(kPath);
    }
}

bool KWinActiveWindowSource::loadScript(QString *error)
{
    // A script of ours left by an earlier run that ended abruptly is replaced by this one.
    const QDBusMessage loaded =
        m_bus.call(scriptingCall(QStringLiteral("isScriptLoaded"), {pluginName()}), QDBus::Block, kTimeoutMs);
    if (loaded.type() == QDBusMessage::ReplyMessage && !loaded.arguments().isEmpty() &&
        loaded.arguments().constFirst().toBool()) {
        m_bus.call(scriptingCall(QStringLiteral("unloadScript"), {pluginName()}), QDBus::Block, kTimeoutMs);
    }
    const QDBusMessage reply =
        m_bus.call(scriptingCall(QStringLiteral("loadScript"), {m_scriptPath, pluginName()}), QDBus::Block, kTimeoutMs);
    const int id = reply.arguments().isEmpty() ? -1 : reply.arguments().constFirst().toInt();
    if (reply.type() != QDBusMessage::ReplyMessage || id < 0) {
        *error =
            QStringLiteral("KWin did not load %1: %2")
                .arg(m_scriptPath, reply.errorMessage().isEmpty() ? QStringLiteral("refused") : reply.errorMessage());
        return false;
    }
    m_scriptLoaded = true;
    // Plasma 6 exports the loaded script at /Scripting/Script<id>; where that is not there,
    // start() runs every loaded script that is not running yet.
    const QDBusMessage run =
        m_bus.call(QDBusMessage::createMethodCall(kwinService(), QStringLiteral("/Scripting/Script%1").arg(id),
                                                  QStringLiteral("org.kde.kwin.Script"), QStringLiteral("run")),
                   QDBus::Block, kTimeoutMs);
    if (run.type() == QDBusMessage::ReplyMessage) {
        return true;
    }
    const QDBusMessage start = m_bus.call(scriptingCall(QStringLiteral("start"), {}), QDBus::Block, kTimeoutMs);
    if (start.type() != QDBusMessage::ReplyMessage) {
        *error = QStringLiteral("KWin did not run %1: %2").arg(m_scriptPath, start.errorMessage());
        unloadScript();
        return false;
    }
    return true;
}

void KWinActiveWindowSource::unloadScript()
{
    if (!m_scriptLoaded || m_kwinOwner.isEmpty()) {
        return;
    }
    m_scriptLoaded = false;
    m_bus.call(scriptingCall(QStringLiteral("unloadScript"), {pluginName()}), QDBus::Block, kTimeoutMs);
}

void KWinActiveWindowSource::kwinOwnerChanged(const QString &newOwner)
{
    m_kwinOwner = newOwner;
    m_scriptLoaded = false; // a KWin that went away took the script with it
    report({});             // nothing known until the script reports again: no stale name
    if (newOwner.isEmpty()) {
        return;
    }
    QString error;
    if (!loadScript(&error)) {
        Log::line(QStringLiteral("Front application under KWin cannot be followed after its restart: %1").arg(error));
    }
}

std::optional<ActiveWindow> KWinActiveWindowSource::current()
{
    return lastKnown();
}

void KWinActiveWindowSource::Activated(const QString &resourceClass, const QString &desktopFileName, const QString &pid)
{
    // Any client may call us; only the compositor knows which window is in front.
    if (calledFromDBus() && message().service() != m_kwinOwner) {
        return;
    }
    report(windowOf(resourceClass, desktopFileName, pid));
}
