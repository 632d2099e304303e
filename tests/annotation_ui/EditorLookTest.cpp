// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the editor with a mark of every kind and a selection on a light and a dark palette.
// The pictures go to $PICTROVE_LOOK_DIR when set, for a person to look at; the checks catch a
// lost highlight or a Save button that looks the same enabled and disabled.
#include "annotation/AnnotationStore.h"
#include "annotation/widgets/AnnotationEditorView.h"
#include "annotation/widgets/AnnotationToolbar.h"
#include "annotation/widgets/ToolButton.h"
#include "app/AppSettings.h"

#include "EditorTestSupport.h"
#include "common/TestPalettes.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPainter>
#include <QPushButton>
#include <QStyleFactory>
#include <QTest>

namespace {

QString sampleScreenshot()
{
    QImage image(1600, 1000, QImage::Format_RGB32);
    image.fill(QColor(0xe8, 0xec, 0xf1));
    QPainter p(&image);
    p.fillRect(QRect(0, 0, 1600, 70), QColor(0x2d, 0x3e, 0x50));
    p.setPen(QColor(0x22, 0x22, 0x33));
    QFont f = p.font();
    f.setPixelSize(36);
    p.setFont(f);
    p.drawText(120, 220, QStringLiteral("Invoice for jane@example.com"));
    p.drawText(120, 340, QStringLiteral("Server 192.0.2.15 replied 503"));
    p.drawText(120, 460, QStringLiteral("Card 4242 4242 4242 4242"));
    p.end();
    const QString path = EditorTestSupport::writeImage(QStringLiteral("look.png"), 1, 1);
    image.save(path);
    return path;
}

bool hasColorNear(const QImage &image, const QRect &area, const QColor &color, int tolerance)
{
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - color.red()) <= tolerance && std::abs(c.green() - color.green()) <= tolerance &&
                std::abs(c.blue() - color.blue()) <= tolerance) {
                return true;
            }
        }
    }
    return false;
}

TEST(EditorLook, LightAndDark)
{
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    const QPalette original = QApplication::palette();
    const QString dir = qEnvironmentVariable("PICTROVE_LOOK_DIR");
    AppSettings settings;
    settings.setEnablePIIRedaction(true);
    const QString path = sampleScreenshot();
    for (const auto &[name, palette] : {std::pair{"light", TestPalettes::light()}, std::pair{"dark", TestPalettes::dark()}}) {
        QApplication::setPalette(palette);
        AnnotationEditorView editor(path, {}, settings, nullptr, nullptr);
        editor.resize(960, 720);
        editor.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
        const QImage empty = editor.grab().toImage();

        AnnotationStore &store = editor.store();
        const QList<Annotation> marks = {
            Annotation(AnnotationTool::rectangle, QRectF(100, 170, 620, 70), store.currentColor(), 3),
            Annotation(AnnotationTool::ellipse, QRectF(900, 260, 400, 200), QColor(0x35, 0x84, 0xe4), 4),
            Annotation(AnnotationTool::arrow, QRectF(), QColor(0xff, 0x78, 0x00), 4, std::nullopt, std::nullopt,
                       QPointF(1300, 700), QPointF(760, 440)),
            Annotation(AnnotationTool::text, QRectF(900, 600, 0, 0), store.currentColor(), 3,
                       QStringLiteral("Check this"), std::nullopt, std::nullopt, std::nullopt, 24),
            Annotation(AnnotationTool::stepNumber, QRectF(60, 560, 54, 54), store.currentColor(), 3, std::nullopt, 1),
            Annotation(AnnotationTool::stepNumber, QRectF(60, 700, 54, 54), store.currentColor(), 3, std::nullopt, 2),
            Annotation(AnnotationTool::blur, QRectF(255, 300, 420, 60), Qt::black, 1),
            Annotation(AnnotationTool::redact, QRectF(200, 420, 480, 60), Qt::black, 1),
        };
        store.addAnnotations(marks);
        store.setSelectedAnnotationID(marks.first().id());
        editor.toolbar()->toolButton(AnnotationTool::ellipse)->click();
        QApplication::processEvents();
        const QImage shot = editor.grab().toImage();
        if (!dir.isEmpty()) {
            shot.save(dir + QStringLiteral("/editor-%1.png").arg(QLatin1String(name)));
        }
        const QRect tool = editor.toolbar()->toolButton(AnnotationTool::ellipse)->geometry().translated(
            editor.toolbar()->mapTo(&editor, QPoint()));
        EXPECT_TRUE(hasColorNear(shot, tool, palette.color(QPalette::Highlight), 8)) << name;
        const QRect save = editor.saveButton()->geometry().translated(editor.saveButton()->parentWidget()->mapTo(&editor, QPoint()));
        EXPECT_NE(empty.copy(save), shot.copy(save)) << name; // disabled and enabled Save differ
    }
    QApplication::setPalette(original);
}

} // namespace
