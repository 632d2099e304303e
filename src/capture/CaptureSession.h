// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

class AppSettings;
class CaptureOrganizer;
class ScreenshotIndex;
class ScreenshotMonitor;

// One run of the capture pipeline, the same for the tray application and the headless run:
// the library root, the screenshot monitor feeding the capture organiser, the desktop
// screenshot tool's own thumbnail switched off and later put back, the clean-up soon after
// the start and then every six hours, and the orderly stop. A front end with a display adds
// its own steps at the two places of the start where they belong. Main thread only.
class CaptureSession : public QObject
{
    Q_OBJECT

public:
    struct CleanUp
    {
        using Run = std::function<void(const AppSettings &, ScreenshotIndex &)>;
        int delayMs = 10 * 1000;
        int intervalMs = 21600 * 1000;
        // The retention service, unless a test watches the runs instead.
        Run run;
    };

    // What a front end adds to the start, in the start's own order.
    struct FrontEndSteps
    {
        // After the library root, before the monitor: the tray, the front application.
        std::function<void()> beforeMonitor;
        // After the system thumbnail, before the clean-up is scheduled: the window-opening
        // observers, the hotkey.
        std::function<void()> beforeCleanUp;
    };

    CaptureSession(AppSettings &settings, ScreenshotIndex &index, QObject *parent = nullptr);
    CaptureSession(AppSettings &settings, ScreenshotIndex &index, CleanUp cleanUp, QObject *parent = nullptr);
    ~CaptureSession() override;

    // Library root (an error shows up with the first capture instead), the front end's first
    // steps, the monitor wired to the organiser and started, the system thumbnail as the
    // settings say, the front end's later steps, then the clean-up timers.
    void start(const FrontEndSteps &steps = {});
    // The monitor stops (created first if it never was), then the system thumbnail is put
    // back when the settings had it switched off. A pending index save is not forced.
    void stop();

    AppSettings &settings() const { return m_settings; }
    ScreenshotIndex &index() const { return m_index; }
    // Created on first use, watching the folder the settings name at that moment.
    ScreenshotMonitor &monitor();
    CaptureOrganizer &organizer() const { return *m_organizer; }
    // The six-hourly clean-up; active once started.
    const QTimer &cleanUpTimer() const { return m_cleanUpTimer; }

signals:
    // The monitor's recent list or its on/off state changed.
    void recentScreenshotsChanged();
    void monitoringChanged(bool isMonitoring);

private:
    void runCleanUp();

    AppSettings &m_settings;
    ScreenshotIndex &m_index;
    CleanUp m_cleanUp;
    ScreenshotMonitor *m_monitor = nullptr;
    CaptureOrganizer *m_organizer = nullptr;
    QTimer m_cleanUpTimer;
};
