// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ActiveWindow.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class ActiveWindowSource;

// Knows which application the user works in, so that a capture is filed under it. Keeps the
// current and the previous front application; the screenshot tools' own windows are skipped
// when naming a capture. Main thread only.
class FrontAppDetector : public QObject
{
    Q_OBJECT

public:
    using Namer = std::function<QString(const ActiveWindow &)>;

    // Follows the desktop's active window, named from the installed desktop entries.
    explicit FrontAppDetector(QObject *parent = nullptr);
    FrontAppDetector(std::unique_ptr<ActiveWindowSource> source, Namer namer, QObject *parent = nullptr);
    ~FrontAppDetector() override;

    QString currentApp() const { return m_currentApp; }
    QString previousApp() const { return m_previousApp; }

    // The name to file the next capture under.
    QString appNameForCapture() const { return nameForCapture(m_currentApp, m_previousApp); }
    static QString nameForCapture(const QString &current, const QString &previous);
    // Names of the screenshot tools' own windows, which are never what a capture shows.
    static bool isScreenshotTool(const QString &name);

signals:
    void currentAppChanged(const QString &name);

private:
    void activated(const ActiveWindow &window);
    QString nameOf(const ActiveWindow &window) const;

    QString m_currentApp;
    QString m_previousApp;
    std::unique_ptr<ActiveWindowSource> m_source;
    Namer m_namer;
};
