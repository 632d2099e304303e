// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop services on a private D-Bus session: notifications reach a notification
// server in the form org.freedesktop.Notifications wants, the single instance answers a later
// start, and the shortcut portal back end binds, reports a press and logs a refusal against a
// stand-in portal; the X11 back ends against a real X server with a window manager: which
// application is in front, and the global key grab.
#include "app/AppSettings.h"
#include "app/FrontAppDetector.h"
#include "app/HotkeyManager.h"
#include "platform/Clipboard.h"
#include "platform/GlobalShortcutPortal.h"
#include "platform/LoginItems.h"
#include "platform/Notifications.h"
#include "platform/SingleInstance.h"
#include "platform/X11ActiveWindowSource.h"
#include "platform/X11GlobalShortcut.h"
#include "shell/FirstRun.h"

#include "common/PrivateSessionBus.h"
#include "common/StandInNotificationServer.h"
#include "common/TestFiles.h"
#include "common/TestImages.h"
#include "common/TestLog.h"

#include <gtest/gtest.h>

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVirtualObject>
#include <QDir>
#include <QLockFile>
#include <QMimeData>
#include <QProcess>
#include <QTest>
#include <QUrl>

namespace {

// The window tests run first and would make Qt settle on having no session bus: the private
// bus is made before any test, so the whole program runs on it.
struct BusFirst : ::testing::Environment
{
    void SetUp() override { PrivateSessionBus::shared(); }
};
const auto *const busFirst = ::testing::AddGlobalTestEnvironment(new BusFirst);

// All tests share that daemon: the process keeps its first session connection.
class PrivateBus : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (m_address.isEmpty()) {
            GTEST_SKIP() << "no private dbus-daemon";
        }
    }

    const QString m_address = PrivateSessionBus::shared().address();
};

TEST_F(PrivateBus, NotificationsReachTheServerAndLaunchAtLoginIsOfferedOnceAndOnlyItsButtonTurnsItOn)
{
    StandInNotificationServer server(m_address);
    ASSERT_TRUE(server.isRunning());
    ASSERT_TRUE(Notifications::post("Screenshot Organized", "XTerm — screenshot_14-07-09.png"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !server.calls.isEmpty(); }, 5000));
    EXPECT_EQ(server.calls[0].summary, "Screenshot Organized");
    EXPECT_EQ(server.calls[0].body, "XTerm — screenshot_14-07-09.png");
    EXPECT_EQ(server.calls[0].app, "Pictrove");
    EXPECT_EQ(server.calls[0].hints.value("desktop-entry").toString(), "pictrove");
    EXPECT_EQ(server.calls[0].timeout, -1);
    EXPECT_TRUE(server.calls[0].actions.isEmpty());

    AppSettings settings;
    ASSERT_FALSE(LoginItems::isEnabled());
    QObject context;
    for (int start = 0; start < 3; ++start) {
        FirstRun::offerLaunchAtLogin(settings, &context);
        QTRY_VERIFY_WITH_TIMEOUT(settings.state(Settings::launchAtLoginOffered), 5000);
    }
    QTest::qWait(200); // a second offer would have reached the server by now
    ASSERT_EQ(server.calls.size(), 2);
    const QStringList actions = server.calls[1].actions;
    ASSERT_EQ(actions.size(), 2); // key, label
    EXPECT_EQ(actions[1], "Start Pictrove at login");
    EXPECT_FALSE(LoginItems::isEnabled()) << "switched on without being asked";
    server.press(1, actions[0]); // another notification's button does nothing
    server.press(2, "default");
    QTest::qWait(200);
    EXPECT_FALSE(LoginItems::isEnabled());
    server.press(2, actions[0]);
    server.close(2);
    QTRY_VERIFY_WITH_TIMEOUT(LoginItems::isEnabled(), 5000);
    // A later start still never asks again, also after the entry is removed.
    ASSERT_TRUE(LoginItems::setEnabled(false));
    AppSettings later;
    FirstRun::offerLaunchAtLogin(later, &context);
    QTest::qWait(200);
    EXPECT_EQ(server.calls.size(), 2);
}

TEST_F(PrivateBus, SingleInstanceOwnsTheNameAndAnswersActivate)
{
    SingleInstance instance;
    ASSERT_TRUE(instance.claim());
    QDBusConnection other = QDBusConnection::connectToBus(m_address, "second-start");
    EXPECT_TRUE(other.interface()->isServiceRegistered(SingleInstance::serviceName));
    int requests = 0;
    QObject::connect(&instance, &SingleInstance::activateRequested, [&requests] { ++requests; });
    other.asyncCall(QDBusMessage::createMethodCall(SingleInstance::serviceName, SingleInstance::objectPath,
                                                  "com.pictrove.Pictrove", "Activate"));
    EXPECT_TRUE(QTest::qWaitFor([&requests] { return requests > 0; }, 5000));
    EXPECT_EQ(requests, 1);
    QDBusConnection::disconnectFromBus("second-start");
}

const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");

// Answers like xdg-desktop-portal: each request's outcome comes as a Response signal on the
// request object named after the caller and its handle token.
class FakePortal : public QDBusVirtualObject
{
public:
    explicit FakePortal(QDBusConnection bus) : m_bus(bus) {}

    uint bindResponse = 0; // 0 granted, 1 cancelled by the user
    QString session;
    QStringList boundIds;
    QString preferredTrigger;

    QString introspect(const QString &) const override { return {}; }

    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override
    {
        const QString member = message.member();
        if (message.interface() == "org.freedesktop.DBus.Properties" && member == "Get") {
            connection.send(message.createReply(QVariant::fromValue(QDBusVariant(uint(1)))));
            return true;
        }
        const bool create = member == "CreateSession";
        if (!create && member != "BindShortcuts") {
            return false;
        }
        const QVariantMap options = qdbus_cast<QVariantMap>(message.arguments().value(create ? 0 : 3));
        const QString request = requestPath(message, options);
        connection.send(message.createReply(QVariant::fromValue(QDBusObjectPath(request))));
        if (create) {
            session = portalPath + "/session/" + sender(message) + '/' + options.value("session_handle_token").toString();
            respond(request, 0, {{"session_handle", session}});
            return true;
        }
        const QDBusArgument shortcuts = message.arguments().value(1).value<QDBusArgument>();
        shortcuts.beginArray();
        while (!shortcuts.atEnd()) {
            QString id;
            QVariantMap props;
            shortcuts.beginStructure();
            shortcuts >> id >> props;
            shortcuts.endStructure();
            boundIds << id;
            preferredTrigger = props.value("preferred_trigger").toString();
        }
        shortcuts.endArray();
        respond(request, bindResponse, {});
        return true;
    }

    void press()
    {
        QDBusMessage signal = QDBusMessage::createSignal(portalPath, "org.freedesktop.portal.GlobalShortcuts", "Activated");
        signal << QVariant::fromValue(QDBusObjectPath(session)) << QString("annotate-latest") << qulonglong(1)
               << QVariantMap();
        m_bus.send(signal);
    }

private:
    static QString sender(const QDBusMessage &message) { return message.service().mid(1).replace('.', '_'); }
    static QString requestPath(const QDBusMessage &message, const QVariantMap &options)
    {
        return portalPath + "/request/" + sender(message) + '/' + options.value("handle_token").toString();
    }
    void respond(const QString &request, uint response, const QVariantMap &results)
    {
        QDBusMessage signal = QDBusMessage::createSignal(request, "org.freedesktop.portal.Request", "Response");
        signal << response << results;
        m_bus.send(signal);
    }

    QDBusConnection m_bus;
};

class PortalBus : public PrivateBus
{
protected:
    void SetUp() override
    {
        PrivateBus::SetUp();
        if (!IsSkipped()) {
            ASSERT_TRUE(m_bus.registerVirtualObject(portalPath, &m_portal));
            ASSERT_TRUE(m_bus.registerService("org.freedesktop.portal.Desktop"));
        }
    }
    void TearDown() override
    {
        m_bus.unregisterService("org.freedesktop.portal.Desktop");
        m_bus.unregisterObject(portalPath);
        QDBusConnection::disconnectFromBus("portal");
    }

    QDBusConnection m_bus = QDBusConnection::connectToBus(m_address, "portal");
    FakePortal m_portal{m_bus};
};

// Granted, the shortcut is bound as asked and a press reaches the manager; refused, one log line.
TEST_F(PortalBus, BindsAndReportsPressesOrLogsARefusal)
{
    for (const bool granted : {true, false}) {
        m_portal.bindResponse = granted ? 0 : 1;
        m_portal.boundIds.clear();
        HotkeyManager manager([] { return std::make_unique<GlobalShortcutPortal>(); });
        int presses = 0;
        manager.onAnnotateLatest = [&presses] { ++presses; };
        EXPECT_EQ(TestLog::printed([&] { manager.registerHotkey(); QTest::qWait(300); }),
                  granted ? "" : "Pictrove: Failed to register hotkey (status -11)\n");
        EXPECT_EQ(manager.isRegistered(), granted);
        EXPECT_EQ(m_portal.boundIds, QStringList{"annotate-latest"});
        if (granted) {
            EXPECT_EQ(m_portal.preferredTrigger, "CTRL+SHIFT+a");
            m_portal.press();
            EXPECT_TRUE(QTest::qWaitFor([&presses] { return presses > 0; }, 5000));
            EXPECT_EQ(presses, 1);
        }
    }
}

TEST(Clipboard, FileManagersAndEditorsBothUnderstandIt)
{
    const QString file = "/tmp/a b/screenshot_01.png";
    std::unique_ptr<QMimeData> data(Clipboard::mimeDataFor(file, TestImages::filled(4, 3, Qt::red)));
    EXPECT_EQ(data->urls(), QList<QUrl>{QUrl::fromLocalFile(file)});
    EXPECT_EQ(data->data("x-special/gnome-copied-files"), "copy\nfile:///tmp/a%20b/screenshot_01.png");
    EXPECT_EQ(data->data("application/x-kde-cutselection"), "0");
    EXPECT_TRUE(data->hasImage());
    std::unique_ptr<QMimeData> fileOnly(Clipboard::mimeDataFor("/tmp/x.png", QImage()));
    EXPECT_FALSE(fileOnly->hasImage());
}

// Xvfb and openbox of this suite's own; DISPLAY points at them while it runs.
class X11Session : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        for (const char *tool : {"Xvfb", "openbox", "xterm", "xdotool", "xprop"}) {
            if (!TestFiles::hasTool(tool)) {
                s_missing = tool;
                return;
            }
        }
        s_oldDisplay = qgetenv("DISPLAY");
        // Xvfb picks a free display and writes its number once it accepts clients; a number of
        // our own choosing could be another test's server, run in parallel. Two servers starting
        // at once can still pick the same one, so starts take turns.
        QLockFile turn(QDir::tempPath() + "/pictrove-test-xvfb.lock");
        turn.lock();
        s_server = new QProcess;
        s_server->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        s_server->start("Xvfb", {"-displayfd", "1", "-screen", "0", "800x600x24", "-nolisten", "tcp"});
        (void)QTest::qWaitFor([] { return s_server->canReadLine(); }, 10000);
        qputenv("DISPLAY", ":" + s_server->readLine().trimmed());
        // Activation needs openbox managing the screen. The number can come a moment before the
        // server takes clients, so an openbox that could not connect is started again; a loaded
        // machine has delayed openbox by more than ten seconds, so wait long.
        s_wmReady = QTest::qWaitFor(
            [] {
                if (!s_wm || s_wm->state() == QProcess::NotRunning) {
                    delete s_wm;
                    s_wm = start("openbox", {});
                }
                return TestFiles::runTool("xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"}).output.contains("window id");
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

    static QString xdotool(const QStringList &args) { return TestFiles::runTool("xdotool", args).output.trimmed(); }

    // An xterm of the given WM_CLASS, focused once its window exists; returns the window id,
    // empty when it never came to the front (a loaded machine starts xterm slowly).
    static QString openWindow(const QString &cls, std::unique_ptr<QProcess> *process)
    {
        process->reset(start("xterm", {"-class", cls, "-title", cls}));
        QString id;
        const bool active = QTest::qWaitFor([&] {
            id = xdotool({"search", "--class", cls}).section('\n', 0, 0);
            if (id.isEmpty()) {
                return false;
            }
            // The window can exist a moment before openbox manages it, when activation fails.
            xdotool({"windowactivate", id});
            QTest::qWait(50);
            return xdotool({"getactivewindow"}) == id;
        }, 20000);
        return active ? id : QString();
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
    ASSERT_FALSE(openWindow("AlphaTerm", &alpha).isEmpty());
    QString error;
    std::unique_ptr<X11ActiveWindowSource> source = X11ActiveWindowSource::open(&error);
    ASSERT_TRUE(source) << error.toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return source->current() && source->current()->wmClass == "AlphaTerm"; }, 5000));
    EXPECT_EQ(source->current()->pid, alpha->processId());

    auto *raw = source.get();
    FrontAppDetector detector(std::move(source), [](const ActiveWindow &w) { return w.wmClass; });
    EXPECT_EQ(detector.currentApp(), "AlphaTerm");
    QList<QString> activations;
    QObject::connect(raw, &ActiveWindowSource::activated, [&](const ActiveWindow &w) { activations << w.wmClass; });

    const QString betaId = openWindow("BetaTerm", &beta);
    ASSERT_FALSE(betaId.isEmpty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return detector.currentApp() == "BetaTerm"; }, 5000));
    // Handing focus from one window to the next, openbox can set no active window for a moment
    // when it has not yet seen the new window's focus event: that gap is an empty activation.
    const QList<QString> seen = activations;
    QList<QString> named = seen;
    const qsizetype gaps = named.removeAll(QString());
    EXPECT_EQ(named, QList<QString>{"BetaTerm"}) << QStringList(seen).join(',').toStdString();
    EXPECT_EQ(seen.last(), "BetaTerm");
    EXPECT_EQ(detector.previousApp(), gaps ? "Unknown" : "AlphaTerm");
    // Focus coming back to the application already in front is no new activation.
    xdotool({"windowactivate", "--sync", betaId});
    QTest::qWait(300);
    EXPECT_EQ(activations, seen);
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
    xdotool({"key", "ctrl+shift+a"});
    xdotool({"key", "ctrl+a"}); // not ours
    (void)QTest::qWaitFor([&presses] { return presses > 0; }, 2000);
    QTest::qWait(150);
    EXPECT_EQ(presses, 1);

    first->unregisterShortcut();
    EXPECT_EQ(second->registerShortcut(), 0); // free again
}

} // namespace

