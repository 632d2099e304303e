// SPDX-License-Identifier: GPL-3.0-or-later
// Which back end follows the active window where, and the compositors' back ends against
// stand-ins for GNOME Shell's extension and KWin's scripting on a private session bus.
#include "platform/GnomeShellActiveWindowSource.h"
#include "platform/KWinActiveWindowSource.h"
#include "platform/SwayActiveWindowSource.h"

#include "common/PrivateSessionBus.h"
#include "common/ScopedEnv.h"
#include "common/TestFiles.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <functional>
#include <tuple>
#include <utility>
#include <vector>

namespace {

TEST(ActiveWindowChoice, BackEndsByTheSessionsVariables)
{
    using Backend = ActiveWindowSource::Backend;
    using enum Backend;
    const QString sway = "/run/user/1000/sway-ipc.sock", i3 = "/run/user/1000/i3/ipc-socket.1";
    const struct
    {
        const char *what;
        ActiveWindowSource::Session session;
        QList<Backend> expected;
    } cases[] = {
        {"X11 session", {"x11", "XFCE", {}, {}, ":0"}, {x11, none}},
        {"Sway with XWayland", {"wayland", "sway", sway, {}, ":0"}, {swayIpc, x11, none}},
        {"Sway without XWayland", {"wayland", "sway", sway, {}, {}}, {swayIpc, none}},
        {"i3 on X11", {"x11", "i3", {}, i3, ":0"}, {swayIpc, x11, none}},
        {"GNOME Wayland: XWayland only", {"wayland", "GNOME", {}, {}, ":0"}, {x11, none}},
        {"GNOME Wayland with the extension", {"wayland", "ubuntu:GNOME", {}, {}, ":0", true}, {gnomeShell, x11, none}},
        {"GNOME on X11: the extension is not needed", {"x11", "GNOME", {}, {}, ":0", true}, {x11, none}},
        {"KDE Wayland with KWin answering", {"wayland", "KDE", {}, {}, ":0", false, true}, {kwinScript, x11, none}},
        {"KDE Wayland: the GNOME extension's name is no KWin", {"wayland", "KDE", {}, {}, ":0", true}, {x11, none}},
        {"KDE on X11: X11 tells the active window", {"x11", "KDE", {}, {}, ":0", false, true}, {x11, none}},
        {"GNOME Wayland: KWin's name is no extension", {"wayland", "GNOME", {}, {}, ":0", false, true}, {x11, none}},
        {"no display at all", {"tty", {}, {}, {}, {}}, {none}},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(ActiveWindowSource::candidates(c.session), c.expected) << c.what;
        // The extension hint is logged exactly where GNOME Wayland runs without it.
        const bool gnomeWayland = c.session.sessionType == "wayland" && c.session.currentDesktop.contains("GNOME");
        EXPECT_EQ(!ActiveWindowSource::hint(c.session).isEmpty(), gnomeWayland && !c.session.focusedWindowService)
            << c.what;
    }
}

TEST(ActiveWindowChoice, UnreachableSwaySocketFallsThrough)
{
    const ScopedEnv env{{"SWAYSOCK", "/nonexistent/sway-ipc.sock"}, {"I3SOCK", nullptr}, {"DISPLAY", nullptr}};
    QString whyNull, backend;
    const std::unique_ptr<ActiveWindowSource> source = ActiveWindowSource::create(&whyNull, &backend);
    ASSERT_TRUE(source);
    EXPECT_FALSE(source->current());
    EXPECT_EQ(backend, "none");
    EXPECT_TRUE(whyNull.contains("/nonexistent/sway-ipc.sock")) << whyNull.toStdString();
}

TEST(SwayTree, WindowsOfNodesAndTheFocusedOneAlsoAmongFloatingOnes)
{
    const struct
    {
        const char *json;
        ActiveWindow expected;
    } cases[] = {
        {R"({"type":"con","app_id":"foot","pid":42})", {{}, {}, "foot", 42}},
        {R"({"type":"floating_con","app_id":null,"pid":43,
             "window_properties":{"class":"XTerm","instance":"xterm"}})", {"XTerm", "xterm", {}, 43}},
        {R"({"type":"con","app_id":"","pid":44})", {}},       // no app id: not guessed from the pid
        {R"({"type":"con","pid":45,"nodes":[]})", {}},         // split container
        {R"({"type":"workspace","name":"9","pid":46})", {}},   // empty workspace in front
    };
    for (const auto &c : cases) {
        const ActiveWindow w = SwayActiveWindowSource::windowOf(QJsonDocument::fromJson(c.json).object());
        EXPECT_TRUE(w.sameApplication(c.expected)) << c.json;
    }

    const QJsonObject tree = QJsonDocument::fromJson(R"({"type":"root","focused":false,"nodes":[
        {"type":"output","nodes":[{"type":"workspace","focused":false,
          "nodes":[{"type":"con","app_id":"foot","pid":1,"focused":false}],
          "floating_nodes":[{"type":"floating_con","app_id":"org.gnome.Calculator","pid":2,"focused":true}]}]}]})")
                                 .object();
    EXPECT_EQ(SwayActiveWindowSource::focusedIn(tree).applicationId, "org.gnome.Calculator");
    EXPECT_TRUE(SwayActiveWindowSource::focusedIn(QJsonObject{}).isEmpty());
}

const QString kGnomePath = QStringLiteral("/com/pictrove/FocusedWindow");
const QString kShippedScript = QStringLiteral(PICTROVE_SOURCE_DIR "/packaging/kwin-script/contents/code/main.js");

// Stands in for the Shell extension.
class FakeExtension : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.pictrove.FocusedWindow")

public:
    void setFocus(const QString &appId, const QString &wmClass, uint pid)
    {
        QMutexLocker lock(&m_mutex);
        std::tie(m_appId, m_wmClass, m_pid) = std::tie(appId, wmClass, pid);
    }

public slots:
    QString Get(QString &wmClass, uint &pid)
    {
        QMutexLocker lock(&m_mutex);
        std::tie(wmClass, pid) = std::tie(m_wmClass, m_pid);
        return m_appId;
    }

private:
    QMutex m_mutex;
    QString m_appId, m_wmClass;
    uint m_pid = 0;
};

QDBusMessage activation(const QString &resourceClass, const QString &desktopFileName, const QString &pid)
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        KWinActiveWindowSource::serviceName(), "/com/pictrove/ActiveWindow", "com.pictrove.ActiveWindow", "Activated");
    call << resourceClass << desktopFileName << pid;
    return call;
}

// Stands in for KWin's /Scripting and the script object it exports at /Scripting/Script7. Run,
// the script reports the window in front at once, from KWin's connection.
class FakeKWin : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.kwin.Scripting")

public:
    explicit FakeKWin(QDBusConnection bus) : m_bus(std::move(bus)) {}
    // What KWin was asked, "load <path> <plugin>" and "unload <plugin>", in order.
    QStringList asked()
    {
        QMutexLocker lock(&m_mutex);
        return m_asked;
    }
    void activate(const QString &cls, const QString &desktop, const QString &pid)
    {
        m_bus.send(activation(cls, desktop, pid));
    }

public slots:
    int loadScript(const QString &path, const QString &plugin)
    {
        record("load " + path + ' ' + plugin);
        return QFile::exists(path) ? 7 : -1;
    }
    bool isScriptLoaded(const QString &) { return false; }
    bool unloadScript(const QString &plugin) { return record("unload " + plugin); }
    void start() {}

private:
    bool record(const QString &call)
    {
        QMutexLocker lock(&m_mutex);
        m_asked << call;
        return true;
    }
    QDBusConnection m_bus;
    QMutex m_mutex;
    QStringList m_asked;
};

class FakeScript : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.kwin.Script")

public:
    explicit FakeScript(FakeKWin *kwin) : m_kwin(kwin) {}
public slots:
    void run() { m_kwin->activate("org.kde.dolphin", "org.kde.dolphin", "4242"); }

private:
    FakeKWin *m_kwin;
};

// Serves the stand-ins on a connection and thread of their own, so the back ends' blocking
// calls are answered while the test's thread waits.
class StandInTest : public ::testing::Test
{
protected:
    StandInTest(QString service, std::initializer_list<std::pair<QString, QObject *>> objects)
        : m_serviceName(std::move(service)), m_objects(objects)
    {}
    void SetUp() override
    {
        if (m_bus->address().isEmpty()) {
            GTEST_SKIP() << m_bus->problem().toStdString();
        }
        m_thread.start();
        for (const auto &[path, object] : m_objects) {
            object->moveToThread(&m_thread);
            ASSERT_TRUE(m_service.registerObject(path, object, QDBusConnection::ExportAllSlots));
        }
        ASSERT_TRUE(m_service.registerService(m_serviceName));
    }
    void TearDown() override
    {
        QDBusConnection::disconnectFromBus(QStringLiteral("stand-in"));
        m_thread.quit();
        m_thread.wait();
    }
    struct Case
    {
        const char *what;
        std::function<void()> report; // makes the stand-in report a window
        ActiveWindow expected;        // empty: no application, named "Unknown"
    };
    // Each report reaches the source as one activation, and current() forgets what it cannot name.
    static void expectActivations(ActiveWindowSource &source, std::initializer_list<Case> cases)
    {
        for (const Case &c : cases) {
            std::optional<ActiveWindow> got;
            const QMetaObject::Connection conn =
                QObject::connect(&source, &ActiveWindowSource::activated, [&](const ActiveWindow &w) { got = w; });
            c.report();
            EXPECT_TRUE(QTest::qWaitFor([&] { return got.has_value(); }, 5000)) << c.what;
            QObject::disconnect(conn);
            EXPECT_TRUE(got && got->sameApplication(c.expected)) << c.what;
            EXPECT_EQ(source.current().has_value(), !c.expected.isEmpty()) << c.what;
        }
    }

    const QString m_serviceName;
    const std::vector<std::pair<QString, QObject *>> m_objects;
    PrivateSessionBus *m_bus = &PrivateSessionBus::shared();
    QDBusConnection m_service = QDBusConnection::connectToBus(m_bus->address(), QStringLiteral("stand-in"));
    QThread m_thread;
};

class GnomeShellActiveWindow : public StandInTest
{
protected:
    GnomeShellActiveWindow() : StandInTest(GnomeShellActiveWindowSource::serviceName(), {{kGnomePath, &m_fake}}) {}
    void emitFocus(const QString &appId, const QString &wmClass, uint pid)
    {
        m_fake.setFocus(appId, wmClass, pid);
        QDBusMessage signal = QDBusMessage::createSignal(kGnomePath, "com.pictrove.FocusedWindow", "FocusChanged");
        signal << appId << wmClass << pid;
        ASSERT_TRUE(m_service.send(signal));
    }

    FakeExtension m_fake;
};

TEST_F(GnomeShellActiveWindow, ReadsAtStartThenFollowsFocusChanges)
{
    m_fake.setFocus("org.gnome.Calculator", "gnome-calculator", 31);
    std::unique_ptr<GnomeShellActiveWindowSource> source =
        GnomeShellActiveWindowSource::open(QDBusConnection::sessionBus());
    ASSERT_TRUE(source);
    ASSERT_TRUE(source->current());
    EXPECT_EQ(source->current()->applicationId, "org.gnome.Calculator");

    expectActivations(
        *source,
        {{"Wayland app id", [&] { emitFocus("foot.desktop", "foot", 42); }, {"foot", {}, "foot", 42}},
         {"XWayland window: WM class only", [&] { emitFocus({}, "XTerm", 43); }, {"XTerm", {}, {}, 43}},
         {"nothing known: no stale name, pid not guessed", [&] { emitFocus({}, {}, 44); }, {}},
         {"known again", [&] { emitFocus("org.gnome.Nautilus", {}, 45); }, {{}, {}, "org.gnome.Nautilus", 45}}});

    // The extension going away leaves no stale name behind, and without it nothing opens.
    m_service.unregisterService(GnomeShellActiveWindowSource::serviceName());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !source->current(); }, 5000));
    QString error;
    EXPECT_FALSE(GnomeShellActiveWindowSource::open(QDBusConnection::sessionBus(), &error));
    EXPECT_FALSE(error.isEmpty());
}

class KWinActiveWindow : public StandInTest
{
protected:
    KWinActiveWindow()
        : StandInTest(KWinActiveWindowSource::kwinService(),
                      {{"/Scripting", &m_kwin}, {"/Scripting/Script7", &m_script}})
    {}

    FakeKWin m_kwin{m_service};
    FakeScript m_script{&m_kwin};
};

TEST_F(KWinActiveWindow, ChosenUnderPlasmaOnWaylandFollowsOnlyKWinAndUnloadsAtTheEnd)
{
    const ScopedEnv env{{"XDG_SESSION_TYPE", "wayland"},
                        {"XDG_CURRENT_DESKTOP", "KDE"}, {"SWAYSOCK", nullptr}, {"I3SOCK", nullptr},
                        {"DISPLAY", nullptr}};
    QString backend;
    std::unique_ptr<ActiveWindowSource> source = ActiveWindowSource::create(nullptr, &backend);
    EXPECT_EQ(backend, "KWin script");
    // Not installed here: the source tree's copy.
    EXPECT_TRUE(m_kwin.asked().contains("load " + kShippedScript + " " + KWinActiveWindowSource::pluginName()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return source->current().has_value(); }, 5000)); // the script ran
    EXPECT_EQ(source->current()->applicationId, "org.kde.dolphin");

    expectActivations(
        *source,
        {{"desktop file name",
          [&] { m_kwin.activate("org.kde.konsole", "org.kde.konsole", "51"); },
          {"org.kde.konsole", {}, "org.kde.konsole", 51}},
         {"XWayland window: resource class only", [&] { m_kwin.activate("XTerm", {}, "52"); }, {"XTerm", {}, {}, 52}},
         {"nothing known: no stale name, pid not guessed", [&] { m_kwin.activate({}, {}, "53"); }, {}},
         {"unreadable pid", [&] { m_kwin.activate("firefox", {}, "-1"); }, {"firefox", {}, {}, 0}}});

    // Another client claiming an activation is not believed; KWin's next report is.
    QStringList seen;
    QObject::connect(source.get(), &ActiveWindowSource::activated,
                     [&](const ActiveWindow &w) { seen << w.applicationId; });
    QDBusConnection other = QDBusConnection::connectToBus(m_bus->address(), "other-client");
    EXPECT_EQ(other.call(activation("Spoof", "com.example.Spoof", "60"), QDBus::BlockWithGui, 5000).type(),
              QDBusMessage::ReplyMessage);
    QDBusConnection::disconnectFromBus("other-client");
    m_kwin.activate("org.kde.okular", "org.kde.okular", "61");
    EXPECT_TRUE(QTest::qWaitFor([&] { return seen.contains("org.kde.okular"); }, 5000));
    EXPECT_EQ(seen, QStringList{"org.kde.okular"});

    // KWin going away leaves no stale name behind; a KWin that starts again gets the script again.
    m_service.unregisterService(KWinActiveWindowSource::kwinService());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !source->current(); }, 5000));
    EXPECT_EQ(seen.last(), QString());
    ASSERT_TRUE(m_service.registerService(KWinActiveWindowSource::kwinService()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return source->current().has_value(); }, 5000));
    source.reset();
    EXPECT_EQ(m_kwin.asked().last(), "unload " + KWinActiveWindowSource::pluginName());

    // Nothing opens where the script is missing or KWin does not run.
    QString missing, gone;
    EXPECT_FALSE(KWinActiveWindowSource::open(QDBusConnection::sessionBus(), "/nonexistent/main.js", &missing));
    m_service.unregisterService(KWinActiveWindowSource::kwinService());
    EXPECT_FALSE(KWinActiveWindowSource::open(QDBusConnection::sessionBus(), kShippedScript, &gone));
    EXPECT_FALSE(missing.isEmpty() || gone.isEmpty());
}

// The shipped script run by node against fake Plasma 6 and Plasma 5 globals: it calls
// Pictrove's object under the names the back end exports, at start and on every activation,
// with every argument a string.
TEST(KWinScript, ReportsActivationsUnderBothPlasmaApis)
{
    if (!TestFiles::hasTool("node")) {
        GTEST_SKIP() << "node is not installed";
    }
    const QByteArray harness = R"(
        const source = require('fs').readFileSync(process.argv[2], 'utf8');
        const windows = [{resourceClass: 'org.kde.konsole', desktopFileName: 'org.kde.konsole', pid: 4242},
                         {resourceClass: 'XTerm', desktopFileName: '', pid: 77}, null,
                         {resourceClass: undefined, desktopFileName: null, pid: 0}];
        for (const plasma of [6, 5]) {
            const handlers = [], signal = {connect: f => handlers.push(f)};
            const workspace = plasma === 6 ? {windowActivated: signal, activeWindow: windows[0]}
                                           : {clientActivated: signal, activeClient: windows[0]};
            const callDBus = (...args) => console.log(plasma + ' ' + JSON.stringify(args));
            require('vm').runInNewContext(source, {workspace, callDBus});
            for (const w of windows.slice(1)) handlers.forEach(h => h(w));
        }
    )";
    const TestFiles::ToolRun run = TestFiles::runTool("node", {"-", kShippedScript}, harness);
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();

    const QString call = QString("[\"%1\",\"/com/pictrove/ActiveWindow\",\"com.pictrove.ActiveWindow\",\"Activated\",")
                             .arg(KWinActiveWindowSource::serviceName());
    QStringList expected;
    for (const char *plasma : {"6 ", "5 "}) {
        for (const char *args : {R"("org.kde.konsole","org.kde.konsole","4242"])", R"("XTerm","","77"])",
                                 R"("","","0"])", R"("","","0"])"}) {
            expected << plasma + call + args;
        }
    }
    EXPECT_EQ(run.output.split('\n', Qt::SkipEmptyParts), expected);
}

} // namespace

#include "ActiveWindowTest.moc"
