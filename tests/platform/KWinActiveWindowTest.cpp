// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/KWinActiveWindowSource.h"

#include "common/PrivateSessionBus.h"
#include "common/ScopedEnv.h"
#include "common/TestFiles.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QFile>
#include <QMutex>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <functional>

namespace {

const QString kShippedScript = QStringLiteral(PICTROVE_SOURCE_DIR "/packaging/kwin-script/contents/code/main.js");

// What the stand-in for KWin was asked.
struct ScriptingLog
{
    QString loadedPath, loadedPlugin, unloadedPlugin;
    bool ran = false;
};

// The script object KWin exports for a loaded script.
class FakeScript : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.kwin.Script")

public:
    std::function<void()> onRun;

public slots:
    void run() { onRun(); }
};

// Stands in for KWin's scripting interface on a connection and thread of its own, so the back
// end's blocking calls are answered while the test's thread waits.
class FakeScripting : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.kwin.Scripting")

public:
    explicit FakeScripting(QDBusConnection bus) : m_bus(std::move(bus)) {}
    ScriptingLog log()
    {
        QMutexLocker lock(&m_mutex);
        return m_log;
    }
    void markRan()
    {
        QMutexLocker lock(&m_mutex);
        m_log.ran = true;
    }
    void setRefuse(bool refuse)
    {
        QMutexLocker lock(&m_mutex);
        m_refuse = refuse;
    }
    // What the script does: one call from KWin's connection to Pictrove's object.
    void activate(const QString &resourceClass, const QString &desktopFileName, const QString &pid)
    {
        QDBusMessage call = QDBusMessage::createMethodCall(
            KWinActiveWindowSource::serviceName(), QStringLiteral("/com/pictrove/ActiveWindow"),
            QStringLiteral("com.pictrove.ActiveWindow"), QStringLiteral("Activated"));
        call << resourceClass << desktopFileName << pid;
        m_bus.send(call);
    }

public slots:
    int loadScript(const QString &path, const QString &plugin)
    {
        QMutexLocker lock(&m_mutex);
        m_log.loadedPath = path;
        m_log.loadedPlugin = plugin;
        return m_refuse || !QFile::exists(path) ? -1 : 7;
    }
    bool isScriptLoaded(const QString &) { return false; }
    bool unloadScript(const QString &plugin)
    {
        QMutexLocker lock(&m_mutex);
        m_log.unloadedPlugin = plugin;
        return true;
    }
    void start() {}

private:
    QDBusConnection m_bus;
    QMutex m_mutex;
    ScriptingLog m_log;
    bool m_refuse = false;
};

class KWinActiveWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (m_bus->address().isEmpty()) {
            GTEST_SKIP() << m_bus->problem().toStdString();
        }
        // Run on load, the script reports the window in front at once.
        m_script.onRun = [this] {
            m_kwin.markRan();
            m_kwin.activate("org.kde.dolphin", "org.kde.dolphin", "4242");
        };
        m_thread.start();
        m_kwin.moveToThread(&m_thread);
        m_script.moveToThread(&m_thread);
        ASSERT_TRUE(m_service.registerObject("/Scripting", &m_kwin, QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(m_service.registerObject("/Scripting/Script7", &m_script, QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(m_service.registerService(KWinActiveWindowSource::kwinService()));
    }
    void TearDown() override
    {
        m_service.unregisterService(KWinActiveWindowSource::kwinService());
        QDBusConnection::disconnectFromBus(QStringLiteral("fake-kwin"));
        m_thread.quit();
        m_thread.wait();
    }

    PrivateSessionBus *m_bus = &PrivateSessionBus::shared();
    QDBusConnection m_service = QDBusConnection::connectToBus(m_bus->address(), QStringLiteral("fake-kwin"));
    QThread m_thread;
    FakeScripting m_kwin{m_service};
    FakeScript m_script;
};

TEST_F(KWinActiveWindow, LoadsTheShippedScriptFollowsItsReportsAndUnloadsIt)
{
    auto source = KWinActiveWindowSource::open(QDBusConnection::sessionBus(), kShippedScript);
    ASSERT_TRUE(source);
    EXPECT_EQ(m_kwin.log().loadedPath, kShippedScript);
    EXPECT_EQ(m_kwin.log().loadedPlugin, KWinActiveWindowSource::pluginName());
    EXPECT_TRUE(m_kwin.log().ran);
    ASSERT_TRUE(QTest::qWaitFor([&] { return source->current().has_value(); }, 5000));
    EXPECT_EQ(source->current()->applicationId, "org.kde.dolphin");
    EXPECT_EQ(source->current()->pid, 4242);

    struct Case
    {
        const char *what;
        QString resourceClass, desktopFileName, pid;
        ActiveWindow expected; // empty: no application, named "Unknown"
    };
    const Case cases[] = {
        {"desktop file name", "org.kde.konsole", "org.kde.konsole", "51", {"org.kde.konsole", {}, "org.kde.konsole", 51}},
        {"XWayland window: resource class only", "XTerm", {}, "52", {"XTerm", {}, {}, 52}},
        {"nothing known: no stale name, pid not guessed", {}, {}, "53", {}},
        {"known again, pid unknown", {}, "org.kde.kate", "0", {{}, {}, "org.kde.kate", 0}},
        {"unreadable pid", "firefox", {}, "-1", {"firefox", {}, {}, 0}},
    };
    for (const Case &c : cases) {
        std::optional<ActiveWindow> got;
        const QMetaObject::Connection conn =
            QObject::connect(source.get(), &ActiveWindowSource::activated, [&](const ActiveWindow &w) { got = w; });
        m_kwin.activate(c.resourceClass, c.desktopFileName, c.pid);
        EXPECT_TRUE(QTest::qWaitFor([&] { return got.has_value(); }, 5000)) << c.what;
        QObject::disconnect(conn);
        EXPECT_TRUE(got && got->sameApplication(c.expected)) << c.what;
        EXPECT_EQ(source->current().has_value(), !c.expected.isEmpty()) << c.what;
    }

    // Another client claiming an activation is not believed; KWin's next report is.
    QStringList seen;
    QObject::connect(source.get(), &ActiveWindowSource::activated,
                     [&](const ActiveWindow &w) { seen << w.applicationId; });
    QDBusConnection other = QDBusConnection::connectToBus(m_bus->address(), QStringLiteral("other-client"));
    QDBusMessage spoof = QDBusMessage::createMethodCall(KWinActiveWindowSource::serviceName(),
                                                        "/com/pictrove/ActiveWindow", "com.pictrove.ActiveWindow",
                                                        "Activated");
    spoof << QString("Spoof") << QString("com.example.Spoof") << QString("60");
    EXPECT_EQ(other.call(spoof, QDBus::BlockWithGui, 5000).type(), QDBusMessage::ReplyMessage);
    QDBusConnection::disconnectFromBus(QStringLiteral("other-client"));
    m_kwin.activate("org.kde.okular", "org.kde.okular", "61");
    EXPECT_TRUE(QTest::qWaitFor([&] { return seen.contains("org.kde.okular"); }, 5000));
    EXPECT_EQ(seen, QStringList{"org.kde.okular"});

    source.reset();
    EXPECT_EQ(m_kwin.log().unloadedPlugin, KWinActiveWindowSource::pluginName());
}

TEST_F(KWinActiveWindow, ChosenUnderPlasmaOnWaylandWhereKWinAnswers)
{
    const ScopedEnv env{{"XDG_SESSION_TYPE", "wayland"}, {"XDG_CURRENT_DESKTOP", "KDE"}, {"SWAYSOCK", nullptr},
                        {"I3SOCK", nullptr}, {"DISPLAY", nullptr}};
    QString backend;
    const std::unique_ptr<ActiveWindowSource> source = ActiveWindowSource::create(nullptr, &backend);
    EXPECT_EQ(backend, "KWin script");
    EXPECT_EQ(m_kwin.log().loadedPath, kShippedScript); // not installed here: the source tree's copy
}

TEST_F(KWinActiveWindow, KWinGoingAwayLeavesNoStaleName)
{
    auto source = KWinActiveWindowSource::open(QDBusConnection::sessionBus(), kShippedScript);
    ASSERT_TRUE(source);
    ASSERT_TRUE(QTest::qWaitFor([&] { return source->current().has_value(); }, 5000));
    bool emptied = false;
    QObject::connect(source.get(), &ActiveWindowSource::activated, [&](const ActiveWindow &w) { emptied = w.isEmpty(); });
    m_service.unregisterService(KWinActiveWindowSource::kwinService());
    EXPECT_TRUE(QTest::qWaitFor([&] { return emptied; }, 5000));
    EXPECT_FALSE(source->current());
}

TEST_F(KWinActiveWindow, NoSourceWhereTheScriptCannotRun)
{
    struct Case
    {
        const char *what;
        QString script;
        bool refuse, kwinGone;
    };
    const Case cases[] = {
        {"script not installed", "/nonexistent/main.js", false, false},
        {"KWin refuses the script", kShippedScript, true, false},
        {"KWin not running", kShippedScript, false, true},
    };
    for (const Case &c : cases) {
        m_kwin.setRefuse(c.refuse);
        if (c.kwinGone) {
            m_service.unregisterService(KWinActiveWindowSource::kwinService());
        }
        QString error;
        EXPECT_FALSE(KWinActiveWindowSource::open(QDBusConnection::sessionBus(), c.script, &error)) << c.what;
        EXPECT_FALSE(error.isEmpty()) << c.what;
    }
}

// The shipped script itself, run by node against fake Plasma 6 and Plasma 5 globals: it must
// call Pictrove's object under the names the back end exports, once at start and then on every
// activation, with every argument a string.
TEST(KWinScript, ReportsActivationsUnderBothPlasmaApis)
{
    if (!TestFiles::hasTool("node")) {
        GTEST_SKIP() << "node is not installed";
    }
    const QByteArray harness = R"(
        const fs = require('fs'), vm = require('vm');
        const source = fs.readFileSync(process.argv[2], 'utf8');
        const windows = [{resourceClass: 'org.kde.konsole', desktopFileName: 'org.kde.konsole', pid: 4242},
                         {resourceClass: 'XTerm', desktopFileName: '', pid: 77},
                         null,
                         {resourceClass: undefined, desktopFileName: null, pid: 0}];
        for (const plasma of [6, 5]) {
            const handlers = [], calls = [];
            const signal = {connect: f => handlers.push(f)};
            const workspace = plasma === 6 ? {windowActivated: signal, activeWindow: windows[0]}
                                           : {clientActivated: signal, activeClient: windows[0]};
            vm.runInNewContext(source, {workspace, callDBus: (...args) => calls.push(args)});
            for (const w of windows.slice(1)) handlers.forEach(h => h(w));
            for (const c of calls) console.log(plasma + ' ' + JSON.stringify(c));
        }
    )";
    const TestFiles::ToolRun run = TestFiles::runTool("node", {"-", kShippedScript}, harness);
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();

    const QString call = QStringLiteral("[\"%1\",\"/com/pictrove/ActiveWindow\",\"com.pictrove.ActiveWindow\",\"Activated\",")
                             .arg(KWinActiveWindowSource::serviceName());
    const QStringList reports = {R"("org.kde.konsole","org.kde.konsole","4242"])", R"("XTerm","","77"])",
                                 R"("","","0"])", R"("","","0"])"};
    QStringList expected;
    for (const char *plasma : {"6 ", "5 "}) {
        for (const QString &r : reports) {
            expected << plasma + call + r;
        }
    }
    EXPECT_EQ(run.output.split('\n', Qt::SkipEmptyParts), expected);
}

} // namespace

#include "KWinActiveWindowTest.moc"
