// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Workspace.h"

#include "common/PrivateSessionBus.h"
#include "common/TestEnvironment.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDesktopServices>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Stands in for the desktop's file manager on the private bus, recording what it is asked.
class FakeFileManager : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")

public:
    QList<QStringList> shownItems;
    QStringList startupIds;

public slots:
    void ShowItems(const QStringList &uris, const QString &startupId)
    {
        shownItems.append(uris);
        startupIds.append(startupId);
    }
    void ShowFolders(const QStringList &, const QString &) {}
};

// Receives what would have gone to the desktop's default application.
class OpenedUrls : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> urls;

public slots:
    void open(const QUrl &url) { urls.append(url); }
};

// Without a file manager on the bus the containing folder opens; with one, it is asked to
// show the item and nothing else opens.
TEST(WorkspaceTest, RevealAsksTheFileManagerOrOpensTheContainingFolder)
{
    PrivateSessionBus &bus = PrivateSessionBus::shared();
    if (bus.address().isEmpty()) {
        GTEST_SKIP() << "SKIP: no private D-Bus session bus: " << bus.problem().toStdString();
    }
    OpenedUrls opened;
    QDesktopServices::setUrlHandler("file", &opened, "open");
    const QString folder = TestEnvironment::makeFolder("App");
    const QString file = TestEnvironment::writeFile(folder + QString::fromUtf8("/screenshot é 100%.png"), "x");
    ASSERT_FALSE(QDBusConnection::sessionBus().interface()->isServiceRegistered("org.freedesktop.FileManager1"));
    Workspace::reveal(file);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !opened.urls.isEmpty(); }, 5000));
    EXPECT_EQ(opened.urls, QList<QUrl>{QUrl::fromLocalFile(folder)});
    opened.urls.clear();

    QDBusConnection service = QDBusConnection::connectToBus(bus.address(), "fake-file-manager");
    FakeFileManager fake;
    ASSERT_TRUE(service.registerObject("/org/freedesktop/FileManager1", &fake, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(service.registerService("org.freedesktop.FileManager1"));
    Workspace::reveal(file);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !fake.shownItems.isEmpty(); }, 5000));
    EXPECT_EQ(fake.shownItems.first(), QStringList{QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded)});
    EXPECT_TRUE(fake.shownItems.first().first().endsWith("/screenshot%20%C3%A9%20100%25.png"));
    EXPECT_EQ(fake.startupIds.first(), QString());
    QTest::qWait(100);
    EXPECT_TRUE(opened.urls.isEmpty());

    service.unregisterService("org.freedesktop.FileManager1");
    QDBusConnection::disconnectFromBus("fake-file-manager");
    QDesktopServices::unsetUrlHandler("file");
}

} // namespace

#include "WorkspaceTest.moc"
