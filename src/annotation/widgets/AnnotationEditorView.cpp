// SPDX-License-Identifier: GPL-3.0-or-later
#include "annotation/widgets/AnnotationEditorView.h"

#include "annotation/AnnotatedCopy.h"
#include "annotation/AnnotationStore.h"
#include "annotation/widgets/AnnotationCanvasView.h"
#include "annotation/widgets/AnnotationToolbar.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QVBoxLayout>

namespace {

QFrame *horizontalDivider()
{
    auto *line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setForegroundRole(QPalette::Mid);
    line->setFixedHeight(1);
    return line;
}

} // namespace

AnnotationEditorView::AnnotationEditorView(const QString &imagePath, const QList<Annotation> &initial,
                                           AppSettings &settings, SaveHandler onSave, CancelHandler onCancel,
                                           QWidget *parent)
    : QWidget(parent), m_store(new AnnotationStore(imagePath, this)), m_onSave(std::move(onSave)),
      m_onCancel(std::move(onCancel))
{
    m_store->setAnnotations(initial);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_toolbar = new AnnotationToolbar(*m_store, settings);
    m_canvas = new AnnotationCanvasView(*m_store);
    // A narrow window scrolls the toolbar sideways instead of refusing to shrink.
    auto *toolbarArea = new QScrollArea;
    toolbarArea->setWidget(m_toolbar);
    toolbarArea->setWidgetResizable(true);
    toolbarArea->setFrameShape(QFrame::NoFrame);
    toolbarArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    toolbarArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    toolbarArea->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    const int toolbarHeight = m_toolbar->sizeHint().height();
    toolbarArea->setFixedHeight(toolbarHeight);
    // Room for the scroll bar while it shows, so it never covers the tools.
    connect(toolbarArea->horizontalScrollBar(), &QScrollBar::rangeChanged, toolbarArea, [toolbarArea, toolbarHeight](int, int max) {
        toolbarArea->setFixedHeight(toolbarHeight + (max > 0 ? toolbarArea->horizontalScrollBar()->sizeHint().height() : 0));
    });
    toolbarArea->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(toolbarArea);
    layout->addWidget(horizontalDivider());
    layout->addWidget(m_canvas, 1);
    layout->addWidget(horizontalDivider());
    layout->addWidget(buildBottomBar());
    connect(m_store, &AnnotationStore::annotationsChanged, this, &AnnotationEditorView::refresh);
    refresh();
    m_canvas->setFocus(); // keys reach the canvas from the start
}

AnnotationEditorView::~AnnotationEditorView() = default;

QString AnnotationEditorView::statusText(qsizetype count)
{
    if (count == 0) {
        return QStringLiteral("Draw on the screenshot to annotate");
    }
    return QString::number(count) + QStringLiteral(" annotation") + (count == 1 ? QString() : QStringLiteral("s"));
}

QWidget *AnnotationEditorView::buildBottomBar()
{
    auto *bar = new QWidget;
    auto *layout = new QHBoxLayout(bar);
    layout->setContentsMargins(16, 10, 16, 10);
    m_cancel = new QPushButton(QStringLiteral("Cancel"));
    m_cancel->setAutoDefault(false);
    m_save = new QPushButton(QStringLiteral("Save Annotated Copy"));
    m_save->setAutoDefault(false);
    m_save->setToolTip(QStringLiteral("Save Annotated Copy (Ctrl+Return)"));
    m_status = new QLabel;
    m_status->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_cancel);
    layout->addStretch(1);
    layout->addWidget(m_status);
    layout->addStretch(1);
    layout->addWidget(m_save);

    connect(m_cancel, &QPushButton::clicked, this, [this] {
        if (m_onCancel) {
            m_onCancel();
        }
    });
    connect(m_save, &QPushButton::clicked, this, &AnnotationEditorView::save);
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, m_cancel, &QPushButton::click);
    for (const QKeySequence &keys : {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)}) {
        auto *shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, [this] {
            if (m_save->isEnabled()) {
                m_save->click();
            }
        });
    }
    styleSaveButton();
    return bar;
}

void AnnotationEditorView::styleSaveButton()
{
    // The prominent button: filled with the accent colour, dimmed while it cannot be used.
    const QPalette pal = palette();
    const QColor accent = pal.color(QPalette::Highlight);
    const QColor text = pal.color(QPalette::HighlightedText);
    QColor disabledFill = pal.color(QPalette::WindowText);
    disabledFill.setAlphaF(0.1);
    QColor disabledText = pal.color(QPalette::WindowText);
    disabledText.setAlphaF(0.4);
    m_save->setStyleSheet(QStringLiteral("QPushButton { background: %1; color: %2; border: none; border-radius: 5px;"
                                         " padding: 5px 14px; font-weight: 600; }"
                                         "QPushButton:hover { background: %3; }"
                                         "QPushButton:focus { border: 2px solid %4; padding: 3px 12px; }"
                                         "QPushButton:disabled { background: %5; color: %6; }")
                              .arg(accent.name(), text.name(), accent.lighter(110).name(), text.name(),
                                   disabledFill.name(QColor::HexArgb), disabledText.name(QColor::HexArgb)));
    QFont small = font();
    small.setPointSizeF(std::max(7.0, font().pointSizeF() - 1));
    m_status->setFont(small);
    QPalette statusPalette = m_status->palette();
    QColor secondary = pal.color(QPalette::WindowText);
    secondary.setAlphaF(0.6);
    statusPalette.setColor(QPalette::WindowText, secondary);
    m_status->setPalette(statusPalette);
}

void AnnotationEditorView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange && m_save) {
        styleSaveButton();
    }
    QWidget::changeEvent(event);
}

void AnnotationEditorView::refresh()
{
    const qsizetype count = m_store->annotations().size();
    m_status->setText(statusText(count));
    m_save->setEnabled(count > 0 && !m_isSaving);
}

void AnnotationEditorView::save()
{
    if (m_isSaving) {
        return;
    }
    // Text still being typed belongs in the copy.
    m_canvas->textFieldDidReturn();
    if (m_store->annotations().isEmpty()) {
        return;
    }
    m_isSaving = true;
    refresh();
    const Result<QString> written = AnnotatedCopy::saveAnnotatedCopy(*m_store);
    m_isSaving = false;
    if (!written) {
        refresh();
        showSaveError(written.error());
        return;
    }
    refresh();
    if (m_onSave) {
        m_onSave(written.value());
    }
}

void AnnotationEditorView::showSaveError(const QString &message)
{
    m_saveError = message;
    if (m_alert) {
        m_alert->setText(message);
        return;
    }
    m_alert = new QMessageBox(QMessageBox::Warning, QStringLiteral("Save Error"), message, QMessageBox::NoButton, this);
    m_alert->addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    m_alert->setAttribute(Qt::WA_DeleteOnClose);
    // However it is dismissed, the error is gone with it.
    connect(m_alert, &QMessageBox::finished, this, [this] { m_saveError.reset(); });
    m_alert->open();
}
