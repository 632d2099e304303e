// SPDX-License-Identifier: GPL-3.0-or-later
// Export of an annotated 4K screenshot and one canvas render of the same annotations.
#include "annotation/AnnotatedCopy.h"
#include "annotation/AnnotationRenderer.h"

#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QGuiApplication>
#include <QImageWriter>
#include <QPainter>
#include <QRandomGenerator>

namespace {

// Something like a real screen: a sidebar, panels, lines of text, a photo-like gradient.
QImage screenshot()
{
    QImage image(3840, 2160, QImage::Format_RGB32);
    image.fill(QColor(246, 247, 249));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(0, 0, 3840, 96, QColor(40, 44, 52));
    p.fillRect(0, 96, 600, 2064, QColor(232, 235, 240));
    QLinearGradient g(2600, 300, 3700, 1100);
    g.setColorAt(0, QColor(30, 90, 160));
    g.setColorAt(1, QColor(240, 170, 60));
    p.fillRect(2600, 300, 1100, 800, g);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(26);
    p.setFont(font);
    QRandomGenerator rng(7);
    for (int y = 160; y < 2100; y += 40) {
        p.setPen(QColor(30, 30, 30));
        p.drawText(650, y, QStringLiteral("Line %1: order 4242 4242 4242 4242 for jane.doe@example.com at 192.0.2.%2")
                               .arg(y)
                               .arg(rng.bounded(255)));
        p.setPen(QColor(90, 90, 110));
        p.drawText(40, y, QStringLiteral("Item %1").arg(y / 40));
    }
    return image;
}

QList<Annotation> annotations()
{
    QList<Annotation> list;
    QRandomGenerator rng(11);
    const auto rect = [&](int w, int h) {
        return QRectF(rng.bounded(3840 - w), rng.bounded(2160 - h), w, h);
    };
    for (int i = 0; i < 10; ++i) {
        list << Annotation(AnnotationTool::blur, rect(900, 60), Qt::black, 1);
        list << Annotation(AnnotationTool::redact, rect(700, 50), Qt::black, 1);
        list << Annotation(AnnotationTool::rectangle, rect(500, 300), Qt::red, 3);
    }
    for (int i = 0; i < 5; ++i) {
        list << Annotation(AnnotationTool::ellipse, rect(400, 200), Qt::blue, 4);
        const QRectF r = rect(600, 400);
        list << Annotation(AnnotationTool::arrow, QRectF(), Qt::red, 3, std::nullopt, std::nullopt, r.topLeft(),
                           r.bottomRight());
        list << Annotation(AnnotationTool::text, rect(0, 0), Qt::yellow, 3, QStringLiteral("Look here, this is it"),
                           std::nullopt, std::nullopt, std::nullopt, 18);
        list << Annotation(AnnotationTool::stepNumber, rect(64, 64), Qt::red, 3, std::nullopt, i + 1);
    }
    return list;
}

const QImage &image()
{
    static const QImage i = screenshot();
    return i;
}

void BM_ExportAnnotatedPNG(benchmark::State &state)
{
    const QList<Annotation> list = annotations();
    qsizetype bytes = 0;
    for (auto _ : state) {
        const auto png = AnnotatedCopy::renderAnnotatedPNG(list, image());
        bytes = png ? png->size() : 0;
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["KiB"] = double(bytes) / 1024;
}
BENCHMARK(BM_ExportAnnotatedPNG)->Unit(benchmark::kMillisecond)->MinTime(3);

// Encoding only, by Qt quality (zlib level = (100 - quality) * 9 / 91): the size/time trade.
void BM_EncodePNGAtQuality(benchmark::State &state)
{
    QImage rendered = image().copy();
    {
        QPainter p(&rendered);
        const auto target = AnnotationRenderer::Target::exportImage(image());
        for (const Annotation &a : annotations()) {
            AnnotationRenderer::drawAnnotation(p, a, target);
        }
    }
    qsizetype bytes = 0;
    for (auto _ : state) {
        QByteArray out;
        QBuffer buffer(&out);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "png");
        writer.setQuality(int(state.range(0)));
        writer.write(rendered);
        bytes = out.size();
    }
    state.counters["KiB"] = double(bytes) / 1024;
    state.counters["zlibLevel"] = state.range(0) < 0 ? 6 : (100 - state.range(0)) * 9 / 91;
}
BENCHMARK(BM_EncodePNGAtQuality)->Arg(-1)->Arg(100)->Arg(89)->Arg(79)->Arg(69)->Arg(50)->Arg(0)
    ->Unit(benchmark::kMillisecond)->MinTime(2);

// One canvas redraw: the screenshot shown at 1440 × 810 inside a 1440 × 900 view.
void BM_CanvasRender(benchmark::State &state)
{
    const QList<Annotation> list = annotations();
    QImage view(1440, 900, QImage::Format_ARGB32_Premultiplied);
    const QRectF imageRect(0, 45, 1440, 810);
    const QImage shown = image().scaled(imageRect.size().toSize(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QTransform map;
    map.translate(imageRect.x(), imageRect.y());
    map.scale(imageRect.width() / 3840, imageRect.height() / 2160);
    const auto target = AnnotationRenderer::Target::canvas(map, &image());
    const bool withPicture = state.range(0) != 0;
    for (auto _ : state) {
        QPainter p(&view);
        if (withPicture) {
            p.fillRect(view.rect(), QColor(236, 236, 236));
            p.drawImage(imageRect.topLeft(), shown);
        }
        for (const Annotation &a : list) {
            AnnotationRenderer::drawAnnotation(p, a, target);
        }
    }
}
BENCHMARK(BM_CanvasRender)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
