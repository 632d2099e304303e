// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

// The icon, name, version and a link to the installed manual.
class AboutTab : public QWidget
{
    Q_OBJECT

public:
    // The build's own version and build number (set when the project is configured).
    static QString buildVersion();
    static QString buildNumber();
    // "Version 0.1.0 (123)"; a missing value reads "?".
    static QString versionLine(const QString &version, const QString &build);
    // The README installed beside the program, else the one of the source tree it was built
    // from; empty when neither exists.
    static QString readmePath();

    AboutTab(const QString &version, const QString &build, QWidget *parent = nullptr);
    explicit AboutTab(QWidget *parent = nullptr);

    QLabel *versionLabel() const { return m_version; }
    QPushButton *readmeLink() const { return m_link; }

private:
    QLabel *m_version;
    QPushButton *m_link;
};
