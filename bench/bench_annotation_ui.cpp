// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's canvas on a 4K screenshot with 100 annotations in a 1440 × 900 view: one full
// repaint, and the repaint a shape drag asks for.
#include "annotation/AnnotationStore.h"
#include "annotation/widgets/AnnotationCanvasView.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QTemporaryDir>

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

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
