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

class WorkspaceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (m_bus->address().isEmpty()) {
            GTEST_SKIP() << "SKIP: no private D-Bus session bus: " << m_bus->problem().toStdString();
        }
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &m_opened, "open");
    }
    void TearDown() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

    PrivateSessionBus *m_bus = &PrivateSessionBus::shared();
    OpenedUrls m_opened;
};

TEST_F(WorkspaceTest, RevealAsksTheFileManagerToShowTheItem)
{
    QDBusConnection service = QDBusConnection::connectToBus(m_bus->address(), QStringLiteral("fake-file-manager"));
    FakeFileManager fake;
    ASSERT_TRUE(service.registerObject(QStringLiteral("/org/freedesktop/FileManager1"), &fake, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(service.registerService(QStringLiteral("org.freedesktop.FileManager1")));
    const QString file = TestEnvironment::writeFile(
        TestEnvironment::makeFolder(QStringLiteral("App")) + QString::fromUtf8("/screenshot é 100%.png"), "x");

    Workspace::reveal(file);

    ASSERT_TRUE(QTest::qWaitFor([&] { return !fake.shownItems.isEmpty(); }, 5000));
    EXPECT_EQ(fake.shownItems.first(), QStringList{QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded)});
    EXPECT_TRUE(fake.shownItems.first().first().endsWith(QStringLiteral("/screenshot%20%C3%A9%20100%25.png")));
    EXPECT_EQ(fake.startupIds.first(), QString());
    QTest::qWait(100);
    EXPECT_TRUE(m_opened.urls.isEmpty()) << "the folder is opened only when the file manager cannot show the item";

    service.unregisterService(QStringLiteral("org.freedesktop.FileManager1"));
    QDBusConnection::disconnectFromBus(QStringLiteral("fake-file-manager"));
}

TEST_F(WorkspaceTest, RevealWithoutAFileManagerOpensTheContainingFolder)
{
    const QString folder = TestEnvironment::makeFolder(QStringLiteral("App"));
    const QString file = TestEnvironment::writeFile(folder + "/screenshot.png", "x");
    ASSERT_FALSE(QDBusConnection::sessionBus().interface()->isServiceRegistered(QStringLiteral("org.freedesktop.FileManager1")));

    Workspace::reveal(file);

    ASSERT_TRUE(QTest::qWaitFor([&] { return !m_opened.urls.isEmpty(); }, 5000));
    EXPECT_EQ(m_opened.urls, QList<QUrl>{QUrl::fromLocalFile(folder)});
}

} // namespace

#include "WorkspaceTest.moc"
