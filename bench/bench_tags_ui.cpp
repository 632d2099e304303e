// SPDX-License-Identifier: GPL-3.0-or-later
// The tag dialog: from a new capture to the window on screen with its 2560x1600 thumbnail
// decoded, and one keystroke of filtering with 500 recent, 500 favourite and 50 standard tags.
#include "app/AppSettings.h"
#include "tags/TagLists.h"
#include "tags/widgets/TagDialogView.h"
#include "tags/widgets/TagDialogWindow.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QTemporaryDir>
#include <QUuid>

namespace {

QString g_capture;

ScreenshotRecord record()
{
    ScreenshotRecord r;
    r.id = QUuid::createUuid();
    r.originalURL = r.movedURL = g_capture;
    r.appName = QStringLiteral("Firefox");
    r.timestamp = QDateTime::currentDateTime();
    return r;
}

void fillLists(int recent, int favourites)
{
    AppSettings &settings = AppSettings::shared();
    settings.setMaxRecentTags(recent);
    TagLists lists(settings);
    QList<TagItem> r, f;
    for (int i = 0; i < recent; ++i) {
        r << TagItem::create(QStringLiteral("Recent project %1").arg(i), i % 8);
    }
    for (int i = 0; i < favourites; ++i) {
        f << TagItem::create(QStringLiteral("Favourite invoice %1").arg(i), i % 8);
    }
    lists.setRecentTags(r);
    lists.setFavoriteTags(f);
}

// Construction, showing and the thumbnail decoded on the pool, until it is painted in.
void BM_DialogShownWithThumbnail(benchmark::State &state)
{
    fillLists(10, 20);
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        auto *window = new TagDialogWindow(record(), AppSettings::shared());
        window->present();
        QApplication::processEvents();
        const qint64 shown = clock.nsecsElapsed();
        while (!window->view()->thumbnailLoaded()) {
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        }
        state.counters["shown_ms"] = double(shown) / 1e6;
        window->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// One character typed into the search field: folding, hiding and showing chips, relayout.
void BM_FilterKeystroke_1050Tags(benchmark::State &state)
{
    fillLists(500, 500);
    TagDialogWindow window(record(), AppSettings::shared());
    window.present();
    QApplication::processEvents();
    const QStringList texts = {QStringLiteral("i"), QStringLiteral("in"), QStringLiteral("inv"), QStringLiteral("in")};
    qsizetype n = 0;
    for (auto _ : state) {
        window.view()->searchField()->setText(texts.at(n++ % texts.size()));
        QApplication::processEvents(); // layout and paint
    }
    window.view()->onDismiss = nullptr;
}

} // namespace

BENCHMARK(BM_DialogShownWithThumbnail)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_FilterKeystroke_1050Tags)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QTemporaryDir home;
    for (const char *var : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"}) {
        qputenv(var, (home.path() + QLatin1Char('/') + QLatin1String(var)).toUtf8());
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Pictrove"));
    QCoreApplication::setApplicationName(QStringLiteral("Pictrove"));

    // 50 standard tags in the favourites file the dialog reads.
    QDir().mkpath(qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Pictrove"));
    QFile plist(qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Pictrove/FavoriteTags.plist"));
    if (plist.open(QIODevice::WriteOnly)) {
        QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
                         "<key>FavoriteTagNames</key><array>";
        for (int i = 0; i < 50; ++i) {
            xml += "<string>Standard " + QByteArray::number(i) + "\n" + QByteArray::number(i % 8) + "</string>";
        }
        xml += "</array></dict></plist>\n";
        plist.write(xml);
        plist.close();
    }
    // A 2560x1600 capture with some detail, so the PNG is not trivially small.
    g_capture = home.path() + QStringLiteral("/capture.png");
    QImage image(2560, 1600, QImage::Format_RGB32);
    image.fill(QColor(240, 240, 245));
    QPainter p(&image);
    for (int y = 0; y < 1600; y += 24) {
        p.drawText(20, y + 18, QStringLiteral("Quarterly report line %1 — figures and notes for the review").arg(y));
    }
    p.end();
    image.save(g_capture);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
