// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's canvas on a 4K screenshot with 100 annotations in a 1440 × 900 view: one full
// repaint, and the repaint a shape drag asks for. The editor window opened on a 4K PNG: the time to
// the canvas's first paint, and the resident memory while it is open and after it closes.
#include "annotation/AnnotationStore.h"
#include "annotation/widgets/AnnotationCanvasView.h"
#include "annotation/widgets/AnnotationEditorView.h"
#include "app/AppSettings.h"
#include "PaintWatcher.h"
#include "ResidentMemory.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <malloc.h>
#include <unistd.h>

namespace {

QString screenshotPath(const QTemporaryDir &dir)
{
    QImage image(3840, 2160, QImage::Format_RGB32);
    image.fill(QColor(246, 247, 249));
    QPainter p(&image);
    for (int y = 0; y < 2160; y += 40) {
        p.fillRect(600, y, 2400, 20, QColor(40 + y % 200, 60, 90));
    }
    p.end();
    const QString path = dir.filePath(QStringLiteral("shot.png"));
    image.save(path);
    return path;
}

QList<Annotation> hundredMarks()
{
    QList<Annotation> list;
    const AnnotationTool tools[] = {AnnotationTool::rectangle, AnnotationTool::ellipse, AnnotationTool::arrow,
                                    AnnotationTool::text, AnnotationTool::stepNumber, AnnotationTool::redact};
    for (int i = 0; i < 90; ++i) {
        const QRectF r(100 + (i % 10) * 360, 100 + (i / 10) * 220, 300, 160);
        const AnnotationTool t = tools[i % 6];
        list << Annotation(t, t == AnnotationTool::stepNumber ? QRectF(r.topLeft(), QSizeF(64, 64)) : r, Qt::red, 3,
                           t == AnnotationTool::text ? std::optional<QString>(QStringLiteral("Note %1").arg(i)) : std::nullopt,
                           t == AnnotationTool::stepNumber ? std::optional<qint64>(i) : std::nullopt,
                           r.topLeft(), r.bottomRight());
    }
    for (int i = 0; i < 10; ++i) {
        list << Annotation(AnnotationTool::blur, QRectF(200 + i * 340, 1900, 300, 120), Qt::black, 1);
    }
    return list;
}

struct Canvas
{
    QTemporaryDir dir;
    AnnotationStore store{screenshotPath(dir)};
    AnnotationCanvasView view{store};
    QImage target{1440, 900, QImage::Format_ARGB32_Premultiplied};

    Canvas()
    {
        store.setAnnotations(hundredMarks());
        view.resize(1440, 900);
        view.render(&target); // the scaled picture is made once, as on the first paint
    }
};

void BM_CanvasFullRepaint(benchmark::State &state)
{
    Canvas c;
    for (auto _ : state) {
        c.view.render(&c.target);
    }
}
BENCHMARK(BM_CanvasFullRepaint)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

void BM_CanvasDragRepaint(benchmark::State &state)
{
    Canvas c;
    c.store.setCurrentTool(AnnotationTool::rectangle);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(300, 300), QPointF(300, 300), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&c.view, &press);
    int step = 0;
    for (auto _ : state) {
        // What one drag event invalidates: the old and the new preview.
        const QPointF end(400 + step % 200, 400 + step % 150);
        ++step;
        const QRect dirty = QRectF(QPointF(300, 300), end).toAlignedRect().adjusted(-40, -40, 40, 40);
        c.view.render(&c.target, dirty.topLeft(), QRegion(dirty));
    }
}
BENCHMARK(BM_CanvasDragRepaint)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// Builds the editor window as the shell does, shows it, and returns once its canvas has painted.
QPointer<AnnotationEditorView> openEditor(const QString &path, AppSettings &settings)
{
    auto *editor = new AnnotationEditorView(path, {}, settings, [](const QString &) {}, [] {});
    editor->setWindowFlag(Qt::Window);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    editor->setWindowTitle(QStringLiteral("Annotate — shot.png"));
    editor->setMinimumSize(640, 480);
    editor->resize(960, 720);
    PaintWatcher watcher;
    editor->canvas()->installEventFilter(&watcher);
    editor->show();
    const QDeadlineTimer deadline(30000);
    while (!watcher.painted && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    editor->canvas()->removeEventFilter(&watcher);
    return editor;
}

// Closes the window and lets its deferred deletion and the freed heap go back to the system.
void closeEditor(QPointer<AnnotationEditorView> editor)
{
    if (editor) {
        editor->close();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    malloc_trim(0);
}

struct EditorFixture
{
    QTemporaryDir dir;
    QString path = screenshotPath(dir);
    AppSettings settings;
};

void BM_EditorOpenToFirstPaint(benchmark::State &state)
{
    EditorFixture f;
    for (auto _ : state) {
        const QPointer<AnnotationEditorView> editor = openEditor(f.path, f.settings);
        state.PauseTiming();
        if (!editor || !editor->isVisible()) {
            state.SkipWithError("the editor did not open");
            break;
        }
        closeEditor(editor);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_EditorOpenToFirstPaint)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// Megabytes of resident memory above the idle process: with the editor open and painted, and
// after it has closed. The first iteration opens the editor in a process that has shown no
// window yet, as in the tray app at rest; later iterations show what stays after reopening.
void BM_EditorMemory(benchmark::State &state)
{
    EditorFixture f;
    closeEditor(nullptr);
    const double idle = residentBytes();
    double open = 0;
    double closed = 0;
    for (auto _ : state) {
        QPointer<AnnotationEditorView> editor = openEditor(f.path, f.settings);
        open = std::max(open, residentBytes());
        closeEditor(editor);
        closed = residentBytes();
    }
    constexpr double mb = 1024.0 * 1024.0;
    state.counters["idle_MB"] = idle / mb;
    state.counters["open_above_idle_MB"] = (open - idle) / mb;
    state.counters["closed_above_idle_MB"] = (closed - idle) / mb;
}
BENCHMARK(BM_EditorMemory)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_EditorMemory)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true); // the settings read here are not the user's
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
