// SPDX-License-Identifier: GPL-3.0-or-later
#include "annotation/widgets/AnnotationToolbar.h"

#include "annotation/AnnotationStore.h"
#include "annotation/PresetColors.h"
#include "annotation/RedactionMarks.h"
#include "ui/ColorSwatch.h"
#include "annotation/widgets/ColorWell.h"
#include "annotation/widgets/RedactionButton.h"
#include "annotation/widgets/ToolButton.h"
#include "app/AppSettings.h"
#include "ui/Symbols.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QScopedValueRollback>
#include <QShortcut>
#include <QSlider>
#include <QToolButton>

namespace {

QFrame *divider(int height)
{
    auto *line = new QFrame;
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Plain);
    line->setForegroundRole(QPalette::Mid);
    line->setFixedSize(1, height);
    return line;
}

QColor secondaryText(const QPalette &palette)
{
    QColor c = palette.color(QPalette::WindowText);
    c.setAlphaF(0.6);
    return c;
}

QHBoxLayout *row(QWidget *owner, int spacing)
{
    auto *layout = new QHBoxLayout(owner);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    return layout;
}

// A group with a divider and space before it, shown and hidden as one.
QWidget *withDivider(QWidget *content, int before, int after)
{
    auto *group = new QWidget;
    QHBoxLayout *layout = row(group, 0);
    layout->addSpacing(before);
    layout->addWidget(divider(28));
    layout->addSpacing(after);
    layout->addWidget(content);
    return group;
}

} // namespace

AnnotationToolbar::AnnotationToolbar(AnnotationStore &store, AppSettings &settings, QWidget *parent)
    : QWidget(parent), m_store(store), m_settings(settings)
{
    setAccessibleName(QStringLiteral("Annotation tools"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    QHBoxLayout *layout = row(this, 0);
    layout->setContentsMargins(12, 8, 12, 8);
    layout->addWidget(buildTools());
    layout->addSpacing(8);
    layout->addWidget(divider(28));
    layout->addSpacing(8);
    layout->addWidget(buildColors());
    layout->addSpacing(8);
    layout->addWidget(divider(28));
    layout->addSpacing(8);
    layout->addWidget(buildWidth());
    m_fontGroup = withDivider(buildFontSize(), 8, 8);
    layout->addWidget(m_fontGroup);
    layout->addStretch(1);

    m_redactButton = new RedactionButton;
    connect(m_redactButton, &QAbstractButton::clicked, this, &AnnotationToolbar::autoRedactPII);
    m_redactGroup = new QWidget;
    QHBoxLayout *redact = row(m_redactGroup, 0);
    redact->addWidget(m_redactButton);
    redact->addSpacing(4);
    redact->addWidget(divider(28));
    redact->addSpacing(4);
    layout->addWidget(m_redactGroup);

    m_deleteButton = commandButton(QStringLiteral("Delete selected (Delete key)"));
    m_deleteButton->setAccessibleName(QStringLiteral("Delete selected"));
    connect(m_deleteButton, &QAbstractButton::clicked, &m_store, &AnnotationStore::deleteSelectedAnnotation);
    m_deleteGroup = new QWidget;
    QHBoxLayout *del = row(m_deleteGroup, 0);
    del->addWidget(m_deleteButton);
    del->addSpacing(4);
    del->addWidget(divider(28));
    del->addSpacing(4);
    layout->addWidget(m_deleteGroup);

    m_undoButton = commandButton(QStringLiteral("Undo"));
    m_redoButton = commandButton(QStringLiteral("Redo"));
    connect(m_undoButton, &QAbstractButton::clicked, &m_store, &AnnotationStore::undo);
    connect(m_redoButton, &QAbstractButton::clicked, &m_store, &AnnotationStore::redo);
    layout->addWidget(m_undoButton);
    layout->addSpacing(4);
    layout->addWidget(m_redoButton);

    // Control+Z and Control+Shift+Z, and whatever the desktop binds to undo and redo.
    const auto shortcut = [this](const QKeySequence &keys, QToolButton *button) {
        auto *s = new QShortcut(keys, this);
        s->setContext(Qt::WindowShortcut);
        connect(s, &QShortcut::activated, button, [button] {
            if (button->isEnabled()) {
                button->click();
            }
        });
    };
    const QKeySequence undo(Qt::CTRL | Qt::Key_Z), redo(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
    shortcut(undo, m_undoButton);
    shortcut(redo, m_redoButton);
    for (const QKeySequence &k : QKeySequence::keyBindings(QKeySequence::Undo)) {
        if (k != undo) {
            shortcut(k, m_undoButton);
        }
    }
    for (const QKeySequence &k : QKeySequence::keyBindings(QKeySequence::Redo)) {
        if (k != redo && k != undo) {
            shortcut(k, m_redoButton);
        }
    }

    connect(&m_store, &AnnotationStore::changed, this, &AnnotationToolbar::refresh);
    connect(&m_settings, &AppSettings::changed, this, &AnnotationToolbar::refresh);
    refreshIcons();
    refresh();
}

AnnotationToolbar::~AnnotationToolbar() = default;

QWidget *AnnotationToolbar::buildTools()
{
    auto *box = new QWidget;
    QHBoxLayout *layout = row(box, 2);
    for (AnnotationTool tool : AnnotationTools::all()) {
        auto *button = new ToolButton(tool);
        // Toggled, not clicked: assistive technologies toggle a checkable button.
        connect(button, &QAbstractButton::toggled, this, [this, tool](bool on) {
            if (m_refreshing) {
                return;
            }
            if (on) {
                m_store.setCurrentTool(tool);
            }
            refresh(); // the current tool stays checked whatever was pressed
        });
        m_tools.append(button);
        layout->addWidget(button);
    }
    return box;
}

QWidget *AnnotationToolbar::buildColors()
{
    auto *box = new QWidget;
    QHBoxLayout *layout = row(box, 6);
    for (const PresetColors::Preset &preset : PresetColors::all()) {
        auto *swatch = new ColorSwatch(preset.name, preset.color);
        const QColor color = preset.color;
        connect(swatch, &QAbstractButton::toggled, this, [this, color](bool on) {
            if (m_refreshing) {
                return; // showing the store's colour, not choosing one
            }
            if (on) {
                m_store.setCurrentColor(color);
            }
            refresh();
        });
        m_swatches.append(swatch);
        layout->addWidget(swatch);
    }
    layout->addWidget(divider(20));
    m_customColor = new ColorWell;
    connect(m_customColor, &ColorWell::colorPicked, &m_store, &AnnotationStore::setCurrentColor);
    layout->addWidget(m_customColor);
    return box;
}

QWidget *AnnotationToolbar::sliderGroup(const QString &help, int symbol, int min, int max, int step, double value,
                                        int valueWidth, QSlider *&slider, QLabel *&label)
{
    auto *box = new QWidget;
    box->setToolTip(help);
    QHBoxLayout *layout = row(box, 6);
    auto *icon = new QLabel;
    icon->setProperty("symbol", symbol);
    m_groupIcons.append(icon);
    slider = new QSlider(Qt::Horizontal);
    slider->setRange(min, max);
    slider->setSingleStep(step);
    slider->setPageStep(step);
    slider->setFixedWidth(80);
    slider->setAccessibleName(help);
    slider->setToolTip(help);
    slider->setValue(int(value));
    label = new QLabel;
    label->setFixedWidth(valueWidth);
    layout->addWidget(icon);
    layout->addWidget(slider);
    layout->addWidget(label);
    return box;
}

QWidget *AnnotationToolbar::buildWidth()
{
    QWidget *box = sliderGroup(QStringLiteral("Line thickness"), int(Symbols::Symbol::LineWeight), 1, 10, 1,
                               m_store.strokeWidth(), 16, m_widthSlider, m_widthValue);
    connect(m_widthSlider, &QSlider::valueChanged, &m_store, [this](int v) { m_store.setStrokeWidth(v); });
    return box;
}

QWidget *AnnotationToolbar::buildFontSize()
{
    QWidget *box = sliderGroup(QStringLiteral("Font size"), int(Symbols::Symbol::TextFormatSize), 10, 48, 2,
                               m_store.fontSize(), 20, m_fontSlider, m_fontValue);
    connect(m_fontSlider, &QSlider::valueChanged, this, [this](int v) {
        // Steps of 2 from 10, also when dragged to an odd position.
        const int snapped = 10 + (v - 10 + 1) / 2 * 2;
        if (snapped != v) {
            m_fontSlider->setValue(std::min(snapped, 48));
            return;
        }
        m_store.setFontSize(v);
    });
    return box;
}

QToolButton *AnnotationToolbar::commandButton(const QString &help)
{
    auto *button = new QToolButton;
    button->setAutoRaise(true);
    button->setFixedSize(28, 28);
    button->setIconSize(QSize(18, 18));
    button->setToolTip(help);
    button->setAccessibleName(help);
    button->setFocusPolicy(Qt::StrongFocus);
    return button;
}

ToolButton *AnnotationToolbar::toolButton(AnnotationTool tool) const
{
    for (ToolButton *b : m_tools) {
        if (b->tool() == tool) {
            return b;
        }
    }
    return nullptr;
}

QString AnnotationToolbar::piiHelpText(const AppSettings &s)
{
    const std::pair<bool, const char *> kinds[] = {
        {s.redactEmails(), "emails"},           {s.redactIPs(), "IPs"},
        {s.redactAPIKeys(), "API keys"},        {s.redactPhones(), "phone numbers"},
        {s.redactCreditCards(), "credit cards"}, {s.redactAddresses(), "addresses"},
        {s.redactFaces(), "faces"},
    };
    QStringList on;
    for (const auto &[enabled, name] : kinds) {
        if (enabled) {
            on << QString::fromLatin1(name);
        }
    }
    if (on.isEmpty()) {
        return QStringLiteral("Redact PII (enable types in Preferences → Privacy)");
    }
    const QString verb = s.piiRedactionStyle() == QLatin1String("black") ? QStringLiteral("black out")
                                                                          : QStringLiteral("blur");
    return QStringLiteral("Auto-detect and ") + verb + QLatin1Char(' ') + on.join(QStringLiteral(", "));
}

void AnnotationToolbar::autoRedactPII()
{
    if (m_isScanningPII) {
        return;
    }
    m_isScanningPII = true;
    m_lastScanFoundNothing = false;
    const PIITypes kinds = m_settings.enabledPIITypes();
    if (!kinds) {
        m_isScanningPII = false;
        refresh();
        return;
    }
    refresh();
    // The watcher is this toolbar's child: a toolbar closed mid-scan never sees the result.
    m_scan = new QFutureWatcher<PIIDetector::ScanResult>(this);
    connect(m_scan, &QFutureWatcherBase::finished, this, [this] {
        QFutureWatcher<PIIDetector::ScanResult> *watcher = m_scan;
        m_scan = nullptr;
        const PIIDetector::ScanResult result =
            watcher->future().resultCount() > 0 ? watcher->result() : PIIDetector::ScanResult();
        watcher->deleteLater();
        applyScanResult(result);
    });
    m_scan->setFuture(PIIDetector::scan(m_store.originalImage(), kinds, false));
}

void AnnotationToolbar::applyScanResult(const PIIDetector::ScanResult &result)
{
    const QList<QRectF> rects = result.piiRects + result.faceRects;
    if (rects.isEmpty()) {
        m_lastScanFoundNothing = true;
    } else {
        // Appended to whatever the list holds now, as one undo step.
        m_store.addAnnotations(RedactionMarks::make(rects, m_settings.piiRedactionStyle()));
    }
    m_isScanningPII = false;
    refresh();
}

void AnnotationToolbar::refreshIcons()
{
    const QColor secondary = secondaryText(palette());
    for (QLabel *icon : m_groupIcons) {
        const auto s = Symbols::Symbol(icon->property("symbol").toInt());
        icon->setPixmap(Symbols::themedIcon(s, secondary).pixmap(QSize(14, 14), devicePixelRatioF()));
    }
    for (QLabel *value : {m_widthValue, m_fontValue}) {
        QPalette p = value->palette();
        p.setColor(QPalette::WindowText, secondary);
        value->setPalette(p);
        QFont f = value->font();
        f.setPointSizeF(std::max(7.0, font().pointSizeF() - 1));
        value->setFont(f);
    }
    const QColor fg = palette().color(QPalette::WindowText);
    m_deleteButton->setIcon(Symbols::themedIcon(Symbols::Symbol::Trash, PresetColors::systemRed()));
    m_undoButton->setIcon(Symbols::themedIcon(Symbols::Symbol::UndoArrow, fg));
    m_redoButton->setIcon(Symbols::themedIcon(Symbols::Symbol::RedoArrow, fg));
}

void AnnotationToolbar::refresh()
{
    const QScopedValueRollback<bool> guard(m_refreshing, true);
    for (ToolButton *b : m_tools) {
        b->setChecked(b->tool() == m_store.currentTool());
    }
    const QColor current = m_store.currentColor();
    for (ColorSwatch *s : m_swatches) {
        s->setChecked(PresetColors::matches(s->color(), current));
    }
    m_customColor->setColor(current);
    if (m_widthSlider->value() != int(m_store.strokeWidth())) {
        m_widthSlider->setValue(int(m_store.strokeWidth()));
    }
    m_widthValue->setText(QString::number(int(m_store.strokeWidth())));
    if (m_fontSlider->value() != int(m_store.fontSize())) {
        m_fontSlider->setValue(int(m_store.fontSize()));
    }
    m_fontValue->setText(QString::number(int(m_store.fontSize())));
    m_fontGroup->setVisible(m_store.currentTool() == AnnotationTool::text);
    m_redactGroup->setVisible(m_settings.enablePIIRedaction());
    const QString help = piiHelpText(m_settings);
    m_redactButton->setToolTip(help);
    m_redactButton->setAccessibleName(help);
    m_redactButton->setState(m_isScanningPII         ? RedactionButton::State::scanning
                             : m_lastScanFoundNothing ? RedactionButton::State::foundNothing
                                                      : RedactionButton::State::ready);
    m_deleteGroup->setVisible(m_store.selectedAnnotationID().has_value());
    m_undoButton->setEnabled(m_store.canUndo());
    m_redoButton->setEnabled(m_store.canRedo());
}

void AnnotationToolbar::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange && m_undoButton) {
        refreshIcons();
    }
    QWidget::changeEvent(event);
}

void AnnotationToolbar::paintEvent(QPaintEvent *)
{
    // A bar a shade off the window background, as desktop header bars are.
    QPainter p(this);
    QColor bar = palette().color(QPalette::Window);
    bar = bar.lightnessF() > 0.5 ? bar.darker(104) : bar.lighter(118);
    p.fillRect(rect(), bar);
}
