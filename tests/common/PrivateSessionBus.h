// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A D-Bus session bus of the test's own: no services to activate, nothing from the user's
// desktop. It becomes the process's session bus when it starts before anything used one, and
// it lives as long as the test process (Qt's session connection cannot move to another bus).
class PrivateSessionBus
{
public:
    static PrivateSessionBus &shared();
    ~PrivateSessionBus();
    PrivateSessionBus(const PrivateSessionBus &) = delete;
    PrivateSessionBus &operator=(const PrivateSessionBus &) = delete;

    // Empty when dbus-daemon could not start.
    QString address() const { return m_address; }
    // Why the bus is unusable, for a skip message.
    QString problem() const { return m_problem; }

private:
    PrivateSessionBus();
    QTemporaryDir m_folder;
    QProcess m_daemon;
    QString m_address;
    QString m_problem;
};
