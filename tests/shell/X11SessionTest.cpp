// SPDX-License-Identifier: GPL-3.0-or-later
// The X11 back ends against a real X server with a window manager: which application is in
// front, and the global key grab.
#include "app/FrontAppDetector.h"
#include "platform/X11ActiveWindowSource.h"
#include "platform/X11GlobalShortcut.h"

#include "common/TestFiles.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QLockFile>
#include <QProcess>
#include <QTest>

#include <memory>

namespace {

// Xvfb and openbox of this suite's own; DISPLAY points at them while it runs.
class X11Session : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        for (const char *tool : {"Xvfb", "openbox", "xterm", "xdotool", "xprop"}) {
            if (!TestFiles::hasTool(QString::fromLatin1(tool))) {
                s_missing = QString::fromLatin1(tool);
                return;
            }
        }
        s_oldDisplay = qgetenv("DISPLAY");
        // Xvfb picks a free display and writes its number once it accepts clients; a number of
        // our own choosing could be another test's server, run in parallel. Two servers starting
        // at once can still pick the same one, so starts take turns.
        QLockFile turn(QDir::tempPath() + QStringLiteral("/pictrove-test-xvfb.lock"));
        turn.lock();
        s_server = new QProcess;
        s_server->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        s_server->start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"),
                                                 QStringLiteral("-screen"), QStringLiteral("0"),
                                                 QStringLiteral("800x600x24"), QStringLiteral("-nolisten"),
                                                 QStringLiteral("tcp")});
        (void)QTest::qWaitFor([] { return s_server->canReadLine(); }, 10000);
        qputenv("DISPLAY", ":" + s_server->readLine().trimmed());
        // Activation needs openbox managing the screen. The number can come a moment before the
        // server takes clients, so an openbox that could not connect is started again; a loaded
        // machine has delayed openbox by more than ten seconds, so wait long.
        s_wmReady = QTest::qWaitFor(
            [] {
                if (!s_wm || s_wm->state() == QProcess::NotRunning) {
                    delete s_wm;
                    s_wm = start(QStringLiteral("openbox"), {});
                }
                return TestFiles::runTool(QStringLiteral("xprop"), {QStringLiteral("-root"),
                                                                     QStringLiteral("_NET_SUPPORTING_WM_CHECK")})
                    .output.contains(QLatin1String("window id"));
            },
            60000);
    }

    static void TearDownTestSuite()
    {
        for (QProcess *p : {s_wm, s_server}) {
            if (p) {
                p->terminate();
                p->waitForFinished();
                delete p;
            }
        }
        s_wm = s_server = nullptr;
        qputenv("DISPLAY", s_oldDisplay);
    }

    void SetUp() override
    {
        if (!s_missing.isEmpty()) {
            GTEST_SKIP() << s_missing.toStdString() << " is not installed";
        }
        ASSERT_TRUE(s_wmReady) << "openbox did not manage the screen within a minute (state "
                               << s_wm->state() << ", exit code " << s_wm->exitCode() << ")";
    }

    static QProcess *start(const QString &program, const QStringList &args)
    {
        auto *p = new QProcess;
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->setStandardOutputFile(QProcess::nullDevice());
        p->start(program, args);
        p->waitForStarted();
        return p;
    }

    // An xterm of the given WM_CLASS, focused once its window exists; returns the window id.
    static QString openWindow(const QString &cls, std::unique_ptr<QProcess> *process)
    {
        process->reset(start(QStringLiteral("xterm"), {QStringLiteral("-class"), cls, QStringLiteral("-title"), cls}));
        QString id;
        (void)QTest::qWaitFor([&] {
            const TestFiles::ToolRun search =
                TestFiles::runTool(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--class"), cls});
            id = search.output.split(QLatin1Char('\n')).value(0).trimmed();
            if (id.isEmpty()) {
                return false;
            }
            // The window can exist a moment before openbox manages it, when activation fails.
            QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), id});
            QTest::qWait(50);
            return TestFiles::runTool(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow")}).output.trimmed() == id;
        }, 5000);
        return id;
    }

    static inline QProcess *s_server = nullptr;
    static inline QProcess *s_wm = nullptr;
    static inline QByteArray s_oldDisplay;
    static inline QString s_missing;
    static inline bool s_wmReady = false;
};

TEST_F(X11Session, ActiveWindowFollowsActivations)
{
    std::unique_ptr<QProcess> alpha, beta;
    openWindow(QStringLiteral("AlphaTerm"), &alpha);
    QString error;
    std::unique_ptr<X11ActiveWindowSource> source = X11ActiveWindowSource::open(&error);
    ASSERT_TRUE(source) << error.toStdString();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return source->current() && source->current()->wmClass == QLatin1String("AlphaTerm"); }, 5000));
    EXPECT_EQ(source->current()->pid, alpha->processId());

    auto *raw = source.get();
    FrontAppDetector detector(std::move(source), [](const ActiveWindow &w) { return w.wmClass; });
    EXPECT_EQ(detector.currentApp(), "AlphaTerm");
    QList<QString> activations;
    QObject::connect(raw, &ActiveWindowSource::activated, [&](const ActiveWindow &w) { activations << w.wmClass; });

    const QString betaId = openWindow(QStringLiteral("BetaTerm"), &beta);
    ASSERT_TRUE(QTest::qWaitFor([&] { return detector.currentApp() == QLatin1String("BetaTerm"); }, 5000));
    EXPECT_EQ(detector.previousApp(), "AlphaTerm");
    // Focus coming back to the application already in front is no new activation.
    QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), QStringLiteral("--sync"), betaId});
    QTest::qWait(300);
    EXPECT_EQ(activations, QList<QString>{"BetaTerm"});
    for (auto *p : {alpha.get(), beta.get()}) {
        p->kill();
        p->waitForFinished();
    }
}

TEST_F(X11Session, GlobalShortcutGrabsControlShiftAByPosition)
{
    std::unique_ptr<X11GlobalShortcut> first = X11GlobalShortcut::open();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->registerShortcut(), 0);
    std::unique_ptr<X11GlobalShortcut> second = X11GlobalShortcut::open();
    ASSERT_TRUE(second);
    EXPECT_EQ(second->registerShortcut(), -10); // BadAccess: the first holds it

    int presses = 0;
    QObject::connect(first.get(), &GlobalShortcutBackend::pressed, [&presses] { ++presses; });
    QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("ctrl+shift+a")});
    QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("ctrl+a")}); // not ours
    (void)QTest::qWaitFor([&presses] { return presses > 0; }, 2000);
    QTest::qWait(150);
    EXPECT_EQ(presses, 1);

    first->unregisterShortcut();
    EXPECT_EQ(second->registerShortcut(), 0); // free again
}

} // namespace
