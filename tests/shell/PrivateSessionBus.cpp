// SPDX-License-Identifier: GPL-3.0-or-later
#include "PrivateSessionBus.h"

#include <QProcess>
#include <QStandardPaths>

#include <memory>

namespace {

struct Daemon
{
    QProcess process;
    QString address;
    ~Daemon()
    {
        process.terminate();
        process.waitForFinished(2000);
    }
};

} // namespace

QString privateSessionBusAddress()
{
    static std::unique_ptr<Daemon> daemon;
    if (daemon) {
        return daemon->address;
    }
    daemon = std::make_unique<Daemon>();
    const QString program = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (program.isEmpty()) {
        return {};
    }
    daemon->process.start(program, {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
    if (!daemon->process.waitForStarted() || !daemon->process.waitForReadyRead(5000)) {
        return {};
    }
    daemon->address = QString::fromUtf8(daemon->process.readLine()).trimmed();
    qputenv("DBUS_SESSION_BUS_ADDRESS", daemon->address.toUtf8());
    return daemon->address;
}
