// SPDX-License-Identifier: GPL-3.0-or-later
// The front application under KWin: from the script's activation report on the session bus to
// the new window being current, and the wake-ups while focus stays put. Needs a session bus of
// its own, with a stand-in for KWin's scripting interface inside this process:
//   dbus-run-session build/bench/bench_active_window
// Targets: report -> current <= 50 ms; no wake-ups over 60 s idle.
#include "platform/KWinActiveWindowSource.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

const QString kScript = QStringLiteral(PICTROVE_SOURCE_DIR "/packaging/kwin-script/contents/code/main.js");

// Answers what the back end asks of KWin's /Scripting and /Scripting/Script1.
class StandInScripting : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.kwin.Scripting")

public slots:
    int loadScript(const QString &, const QString &) { return 1; }
    bool isScriptLoaded(const QString &) { return false; }
    bool unloadScript(const QString &) { return true; }
    void start() {}
};

class StandInScript : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.kwin.Script")

public slots:
    void run() {}
};

struct StandInKWin
{
    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("stand-in-kwin"));
    QThread thread;
    StandInScripting scripting;
    StandInScript script;

    bool start()
    {
        thread.start();
        scripting.moveToThread(&thread);
        script.moveToThread(&thread);
        return bus.registerObject(QStringLiteral("/Scripting"), &scripting, QDBusConnection::ExportAllSlots) &&
               bus.registerObject(QStringLiteral("/Scripting/Script1"), &script, QDBusConnection::ExportAllSlots) &&
               bus.registerService(KWinActiveWindowSource::kwinService());
    }
    ~StandInKWin()
    {
        thread.quit();
        thread.wait();
    }
    void activate(const QString &desktopFileName, int pid)
    {
        QDBusMessage call = QDBusMessage::createMethodCall(
            KWinActiveWindowSource::serviceName(), QStringLiteral("/com/pictrove/ActiveWindow"),
            QStringLiteral("com.pictrove.ActiveWindow"), QStringLiteral("Activated"));
        call << desktopFileName << desktopFileName << QString::number(pid);
        bus.send(call);
    }
};

std::unique_ptr<StandInKWin> standIn;

std::unique_ptr<KWinActiveWindowSource> openSource(benchmark::State &state)
{
    QString error;
    auto source = KWinActiveWindowSource::open(QDBusConnection::sessionBus(), kScript, &error);
    if (!source) {
        state.SkipWithError(error.toUtf8().constData());
    }
    return source;
}

// Voluntary and involuntary switches of every thread of this process.
long long contextSwitches()
{
    long long total = 0;
    const QStringList tasks = QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &task : tasks) {
        QFile status(QStringLiteral("/proc/self/task/%1/status").arg(task));
        if (!status.open(QIODevice::ReadOnly)) {
            continue;
        }
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.contains("ctxt_switches:")) {
                total += line.mid(line.indexOf(':') + 1).trimmed().toLongLong();
            }
        }
    }
    return total;
}

// Asleep in the event loop but for the one timer that ends the wait.
void idleFor(std::chrono::seconds duration)
{
    QEventLoop loop;
    QTimer::singleShot(duration, &loop, &QEventLoop::quit);
    loop.exec();
}

void BM_ReportToCurrent(benchmark::State &state)
{
    const std::unique_ptr<KWinActiveWindowSource> source = openSource(state);
    if (!source) {
        return;
    }
    const QString apps[] = {QStringLiteral("org.kde.konsole"), QStringLiteral("org.kde.dolphin")};
    int i = 0;
    for (auto _ : state) {
        const QString &app = apps[i++ % 2];
        standIn->activate(app, 1000 + i);
        QEventLoop loop;
        const QMetaObject::Connection done =
            QObject::connect(source.get(), &ActiveWindowSource::activated, &loop, &QEventLoop::quit);
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        loop.exec();
        QObject::disconnect(done);
        if (!(source->current() && source->current()->applicationId == app)) {
            state.SkipWithError("no report arrived");
            return;
        }
    }
}

void BM_IdleWakeups(benchmark::State &state)
{
    const std::unique_ptr<KWinActiveWindowSource> source = openSource(state);
    if (!source) {
        return;
    }
    for (auto _ : state) {
        idleFor(std::chrono::seconds(10)); // what the start and earlier runs left queued
        const long long before = contextSwitches();
        idleFor(std::chrono::seconds(state.range(0)));
        state.counters["context_switches"] = double(contextSwitches() - before);
    }
}

} // namespace

BENCHMARK(BM_ReportToCurrent)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_IdleWakeups)->Arg(60)->Iterations(1)->Unit(benchmark::kSecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (!QDBusConnection::sessionBus().isConnected()) {
        std::fprintf(stderr, "No session bus: run under dbus-run-session\n");
        return 1;
    }
    standIn = std::make_unique<StandInKWin>();
    if (!standIn->start()) {
        std::fprintf(stderr, "Cannot stand in for KWin on this bus\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    standIn.reset();
    return 0;
}

#include "bench_active_window.moc"
