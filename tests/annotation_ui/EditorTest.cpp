// SPDX-License-Identifier: GPL-3.0-or-later
#include "annotation/AnnotationStore.h"
#include "annotation/PresetColors.h"
#include "annotation/widgets/AnnotationCanvasView.h"
#include "annotation/widgets/AnnotationEditorView.h"
#include "annotation/widgets/AnnotationToolbar.h"
#include "annotation/widgets/ColorWell.h"
#include "annotation/widgets/RedactionButton.h"
#include "annotation/widgets/ToolButton.h"
#include "app/AppSettings.h"
#include "privacy/PIIDetector.h"
#include "ui/ColorSwatch.h"

#include "common/TestImages.h"
#include "common/TestLook.h"
#include "common/TestPointer.h"
#include "common/TestSettings.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QTest>

using namespace TestPointer;

namespace {

using Setter = void (AppSettings::*)(bool);
const Setter kinds[] = {&AppSettings::setRedactEmails,      &AppSettings::setRedactIPs,
                        &AppSettings::setRedactAPIKeys,     &AppSettings::setRedactPhones,
                        &AppSettings::setRedactCreditCards, &AppSettings::setRedactAddresses,
                        &AppSettings::setRedactFaces};

struct Editor : ::testing::Test
{
    AppSettings settings;
    QString image = TestImages::writeImage(QStringLiteral("editor.png"), 800, 400);
    QStringList saved;
    int cancelled = 0;
    std::unique_ptr<AnnotationEditorView> editor;

    Editor() { TestSettings::resetAll(settings); } // the settings live for the process

    void open(const QString &path)
    {
        editor = std::make_unique<AnnotationEditorView>(
            path, QList<Annotation>(), settings, [this](const QString &p) { saved << p; }, [this] { ++cancelled; });
        editor->resize(960, 720);
        editor->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(editor.get()));
    }
    AnnotationToolbar &toolbar() { return *editor->toolbar(); }
    AnnotationStore &store() { return editor->store(); }
    void drawRectangle()
    {
        toolbar().toolButton(AnnotationTool::rectangle)->click();
        drag(editor->canvas(), {100, 100}, {200, 180});
    }
};

TEST_F(Editor, StatusAndSaveFollowTheAnnotationsAndTheKeysSaveOrCancel)
{
    open(image);
    EXPECT_EQ(editor->statusLabel()->text(), "Draw on the screenshot to annotate");
    EXPECT_FALSE(editor->saveButton()->isEnabled());
    drawRectangle();
    EXPECT_EQ(editor->statusLabel()->text(), "1 annotation");
    EXPECT_TRUE(editor->saveButton()->isEnabled());
    drawRectangle();
    EXPECT_EQ(editor->statusLabel()->text(), "2 annotations");
    toolbar().undoButton()->click();
    QTest::keyClick(editor.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(editor->saveButton()->isEnabled());
    EXPECT_FALSE(toolbar().undoButton()->isEnabled());
    QTest::keyClick(editor.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(editor->statusLabel()->text(), "1 annotation");

    QTest::keyClick(editor->canvas(), Qt::Key_Return, Qt::ControlModifier);
    ASSERT_EQ(saved.size(), 1);
    EXPECT_EQ(saved.first(), QFileInfo(image).absolutePath() + "/editor_annotated.png");
    EXPECT_TRUE(QFileInfo::exists(saved.first()));
    QTest::keyClick(editor->canvas(), Qt::Key_Escape);
    EXPECT_EQ(cancelled, 1);
}

TEST_F(Editor, WriteErrorIsShownAndSaveCanBeRetried)
{
    open(image);
    drawRectangle();
    ASSERT_TRUE(QDir(QFileInfo(image).absolutePath()).removeRecursively()); // nowhere to write
    editor->saveButton()->click();
    EXPECT_TRUE(saved.isEmpty());
    ASSERT_NE(editor->saveErrorAlert(), nullptr);
    QTRY_VERIFY(editor->saveErrorAlert()->isVisible());
    EXPECT_EQ(editor->saveErrorAlert()->windowTitle(), "Save Error");
    EXPECT_TRUE(editor->saveErrorAlert()->text().startsWith("Failed to save: "));
    EXPECT_TRUE(editor->isVisible());
    EXPECT_TRUE(editor->saveButton()->isEnabled());
    EXPECT_EQ(store().annotations().size(), 1);
    editor->saveErrorAlert()->buttons().first()->click(); // "OK"
    EXPECT_FALSE(editor->saveError());
}

TEST_F(Editor, ToolsSlidersAndSwatchesSetTheStore)
{
    open(image);
    for (AnnotationTool tool : AnnotationTools::all()) {
        toolbar().toolButton(tool)->click();
        EXPECT_EQ(store().currentTool(), tool);
        EXPECT_EQ(toolbar().fontSizeGroup()->isVisible(), tool == AnnotationTool::text); // font size only for text
    }
    toolbar().fontSizeSlider()->setValue(23); // between steps: snapped to 24
    EXPECT_EQ(store().fontSize(), 24);
    toolbar().widthSlider()->setValue(7);
    EXPECT_EQ(store().strokeWidth(), 7);

    // A swatch shows as chosen when the colour matches it within one hundredth.
    const auto checked = [this] {
        QStringList names;
        for (ColorSwatch *s : toolbar().swatches()) {
            if (s->isChecked()) {
                names << s->text();
            }
        }
        return names;
    };
    EXPECT_EQ(checked(), QStringList{"Red"}); // the store starts with the system red
    const QColor orange = PresetColors::all()[1].color;
    const QColor near = QColor::fromRgbF(orange.redF() - 0.006f, orange.greenF() + 0.006f, orange.blueF(), 0.5f);
    store().setCurrentColor(near);
    EXPECT_EQ(checked(), QStringList{"Orange"});
    EXPECT_EQ(toolbar().customColor()->color(), near);
    store().setCurrentColor(QColor::fromRgbF(orange.redF() - 0.02f, orange.greenF(), orange.blueF()));
    EXPECT_TRUE(checked().isEmpty());
    toolbar().swatches()[6]->click();
    EXPECT_EQ(store().currentColor(), QColor(Qt::white));
}

TEST_F(Editor, RedactionHelpNamesTheKindsThatAreOn)
{
    EXPECT_EQ(AnnotationToolbar::piiHelpText(settings),
              "Auto-detect and blur emails, IPs, API keys, phone numbers, credit cards");
    settings.setPiiRedactionStyle("black");
    settings.setRedactEmails(false);
    settings.setRedactFaces(true);
    EXPECT_EQ(AnnotationToolbar::piiHelpText(settings),
              "Auto-detect and black out IPs, API keys, phone numbers, credit cards, faces");
    for (Setter s : kinds) {
        (settings.*s)(false);
    }
    open(image);
    EXPECT_EQ(toolbar().redactionButton()->toolTip(), "Redact PII (enable types in Preferences → Privacy)");
    toolbar().redactionButton()->click(); // nothing to look for: returns at once
    EXPECT_FALSE(toolbar().isScanningPII());
    EXPECT_FALSE(toolbar().lastScanFoundNothing());
    EXPECT_TRUE(toolbar().redactionButton()->isEnabled());
    settings.setEnablePIIRedaction(false);
    EXPECT_FALSE(toolbar().redactionButton()->isVisibleTo(editor.get()));
}

TEST_F(Editor, ScanAddsEveryFindingAsOneStepWhileDrawingGoesOn)
{
    open(QStringLiteral(PICTROVE_SOURCE_DIR) + "/tests/fixtures/privacy/contacts-light-13px-1x.png");
    settings.setPiiRedactionStyle("black");
    const PIIDetector::ScanResult expected =
        PIIDetector::scanNow(store().originalImage(), settings.enabledPIITypes(), false);
    const QList<QRectF> rects = expected.piiRects + expected.faceRects;
    ASSERT_GE(rects.size(), 3);
    toolbar().redactionButton()->click();
    EXPECT_TRUE(toolbar().isScanningPII());
    EXPECT_FALSE(toolbar().redactionButton()->isEnabled());
    drawRectangle(); // the canvas takes input during the scan
    EXPECT_EQ(store().annotations().size(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(!toolbar().isScanningPII(), 120000);
    ASSERT_EQ(store().annotations().size(), rects.size() + 1);
    for (qsizetype i = 0; i < rects.size(); ++i) {
        const Annotation &a = store().annotations()[i + 1];
        EXPECT_EQ(a.rect, rects[i]);
        EXPECT_EQ(a.tool(), AnnotationTool::redact);
    }
    toolbar().undoButton()->click(); // the findings go together; the rectangle stays
    EXPECT_EQ(store().annotations().size(), 1);

    // A blank picture: nothing found, and the button shows the slashed shield.
    open(TestImages::writeImage(QStringLiteral("blank.png"), 300, 200, Qt::white));
    toolbar().redactionButton()->click();
    QTRY_VERIFY_WITH_TIMEOUT(!toolbar().isScanningPII(), 60000);
    EXPECT_TRUE(toolbar().lastScanFoundNothing());
    EXPECT_EQ(toolbar().redactionButton()->state(), RedactionButton::State::foundNothing);
    EXPECT_TRUE(store().annotations().isEmpty());
}

TEST_F(Editor, EveryControlIsNamedAndReachedByTab)
{
    open(image);
    store().setSelectedAnnotationID(QUuid::createUuid()); // shows the delete button
    toolbar().toolButton(AnnotationTool::text)->click();  // and the font size
    QList<QWidget *> focusable;
    for (QWidget *w : editor->findChildren<QWidget *>()) {
        if (w->isVisibleTo(editor.get()) && (w->focusPolicy() & Qt::TabFocus)) {
            focusable << w;
            QAccessibleInterface *a = QAccessible::queryAccessibleInterface(w);
            ASSERT_NE(a, nullptr);
            EXPECT_FALSE(a->text(QAccessible::Name).isEmpty()) << w->metaObject()->className();
        }
    }
    EXPECT_GE(focusable.size(), 8 + 7 + 1 + 2 + 3 + 1 + 2); // tools, swatches, custom, sliders, commands, canvas, bar
    QSet<QWidget *> reached;
    QWidget *w = editor->canvas();
    for (int i = 0; i < 200 && !reached.contains(w); ++i) {
        reached.insert(w);
        do {
            w = w->nextInFocusChain();
        } while (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisibleTo(editor.get()));
    }
    for (QWidget *f : focusable) {
        EXPECT_TRUE(reached.contains(f)) << f->metaObject()->className();
    }
}

// The checks catch a lost highlight of the chosen tool or a Save button that looks the same
// enabled and disabled.
TEST_F(Editor, LooksRightOnLightAndDark)
{
    TestLook::onLightAndDark([&](const QString &name) {
        open(image);
        const QImage empty = editor->grab().toImage();
        drawRectangle();
        toolbar().toolButton(AnnotationTool::ellipse)->click();
        QApplication::processEvents();
        const QImage shot = editor->grab().toImage();
        TestLook::keep(shot, "editor-" + name);
        const QWidget *tool = toolbar().toolButton(AnnotationTool::ellipse);
        const QRgb highlight = QApplication::palette().color(QPalette::Highlight).rgb();
        EXPECT_TRUE(TestImages::occursIn(shot, {tool->mapTo(editor.get(), QPoint()), tool->size()}, highlight, 8))
            << name.toStdString();
        const QRect save(editor->saveButton()->mapTo(editor.get(), QPoint()), editor->saveButton()->size());
        EXPECT_NE(empty.copy(save), shot.copy(save)) << name.toStdString(); // disabled and enabled Save differ
    });
}

} // namespace
