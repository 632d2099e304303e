// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/PrivateSessionBus.h"

#include <QDBusConnection>
#include <QFile>

#include <csignal>
#include <sys/prctl.h>

PrivateSessionBus &PrivateSessionBus::shared()
{
    static auto *bus = new PrivateSessionBus;
    return *bus;
}

PrivateSessionBus::PrivateSessionBus()
{
    // A bus this process already talks to cannot be swapped: reuse it.
    const QDBusConnection existing(QStringLiteral("qt_default_session_bus"));
    if (existing.isConnected()) {
        m_address = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
        return;
    }
    const QString config = m_folder.filePath(QStringLiteral("bus.conf"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly)) {
        m_problem = QStringLiteral("cannot write the bus configuration");
        return;
    }
    file.write("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
               " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
               "<busconfig><type>session</type><listen>unix:dir="
               + QFile::encodeName(m_folder.path())
               + "</listen><auth>EXTERNAL</auth><policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                 "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n");
    file.close();
    // The daemon ends with the test process, however that ends.
    m_daemon.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_daemon.start(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
    if (!m_daemon.waitForStarted(5000)) {
        m_problem = QStringLiteral("dbus-daemon is not installed");
        return;
    }
    while (!m_daemon.canReadLine() && m_daemon.waitForReadyRead(5000)) {
    }
    m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    if (m_address.isEmpty()) {
        m_problem = QStringLiteral("dbus-daemon printed no address");
        return;
    }
    qputenv("DBUS_SESSION_BUS_ADDRESS", m_address.toUtf8());
}

PrivateSessionBus::~PrivateSessionBus()
{
    if (m_daemon.state() != QProcess::NotRunning) {
        m_daemon.terminate();
        m_daemon.waitForFinished(5000);
    }
}
