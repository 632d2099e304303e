// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "annotation/Annotation.h"
#include "privacy/PIIDetector.h"

#include <QFutureWatcher>
#include <QList>
#include <QWidget>

class AnnotationStore;
class AppSettings;
class ColorSwatch;
class ColorWell;
class QLabel;
class QSlider;
class QToolButton;
class RedactionButton;
class ToolButton;

// The row above the canvas: tools, colours, line width, font size, automatic redaction,
// delete, undo and redo. Changes go straight to the editor's store.
class AnnotationToolbar : public QWidget
{
    Q_OBJECT

public:
    AnnotationToolbar(AnnotationStore &store, AppSettings &settings, QWidget *parent = nullptr);
    ~AnnotationToolbar() override;

    // The redaction button's hover help for the present settings.
    static QString piiHelpText(const AppSettings &settings);

    bool isScanningPII() const { return m_isScanningPII; }
    bool lastScanFoundNothing() const { return m_lastScanFoundNothing; }
    // Scans the screenshot for the kinds the settings enable and covers what is found, as one
    // undo step, when the scan is done. The canvas stays usable meanwhile.
    void autoRedactPII();

    ToolButton *toolButton(AnnotationTool tool) const;
    const QList<ColorSwatch *> &swatches() const { return m_swatches; }
    ColorWell *customColor() const { return m_customColor; }
    QSlider *widthSlider() const { return m_widthSlider; }
    QSlider *fontSizeSlider() const { return m_fontSlider; }
    QWidget *fontSizeGroup() const { return m_fontGroup; }
    RedactionButton *redactionButton() const { return m_redactButton; }
    QToolButton *deleteButton() const { return m_deleteButton; }
    QToolButton *undoButton() const { return m_undoButton; }
    QToolButton *redoButton() const { return m_redoButton; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QWidget *buildTools();
    QWidget *buildColors();
    QWidget *buildWidth();
    QWidget *buildFontSize();
    QWidget *sliderGroup(const QString &help, int symbol, int min, int max, int step, double value, int valueWidth,
                         QSlider *&slider, QLabel *&label);
    QToolButton *commandButton(const QString &help);
    void applyScanResult(const PIIDetector::ScanResult &result);
    void refreshIcons();
    void refresh();

    AnnotationStore &m_store;
    AppSettings &m_settings;
    bool m_isScanningPII = false;
    bool m_lastScanFoundNothing = false;
    bool m_refreshing = false;
    QList<ToolButton *> m_tools;
    QList<ColorSwatch *> m_swatches;
    ColorWell *m_customColor = nullptr;
    QSlider *m_widthSlider = nullptr;
    QLabel *m_widthValue = nullptr;
    QSlider *m_fontSlider = nullptr;
    QLabel *m_fontValue = nullptr;
    QWidget *m_fontGroup = nullptr;
    QWidget *m_redactGroup = nullptr;
    QWidget *m_deleteGroup = nullptr;
    QList<QLabel *> m_groupIcons;
    RedactionButton *m_redactButton = nullptr;
    QToolButton *m_deleteButton = nullptr;
    QToolButton *m_undoButton = nullptr;
    QToolButton *m_redoButton = nullptr;
    QFutureWatcher<PIIDetector::ScanResult> *m_scan = nullptr;
};
