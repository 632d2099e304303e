// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "annotation/Annotation.h"

#include <QList>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <optional>

class AnnotationCanvasView;
class AnnotationStore;
class AnnotationToolbar;
class AppSettings;
class QLabel;
#include <QMessageBox>
class QPushButton;

// The editor window's content: the toolbar, the canvas, and a bar with Cancel, the count of
// marks and Save. Owns the store of the one screenshot it edits.
class AnnotationEditorView : public QWidget
{
    Q_OBJECT

public:
    using SaveHandler = std::function<void(const QString &savedPath)>;
    using CancelHandler = std::function<void()>;

    AnnotationEditorView(const QString &imagePath, const QList<Annotation> &initial, AppSettings &settings,
                         SaveHandler onSave, CancelHandler onCancel, QWidget *parent = nullptr);
    ~AnnotationEditorView() override;

    // "1 annotation", "2 annotations", or the hint shown while there are none.
    static QString statusText(qsizetype count);

    AnnotationStore &store() const { return *m_store; }
    AnnotationToolbar *toolbar() const { return m_toolbar; }
    AnnotationCanvasView *canvas() const { return m_canvas; }
    QPushButton *cancelButton() const { return m_cancel; }
    QPushButton *saveButton() const { return m_save; }
    QLabel *statusLabel() const { return m_status; }
    bool isSaving() const { return m_isSaving; }
    std::optional<QString> saveError() const { return m_saveError; }
    QMessageBox *saveErrorAlert() const { return m_alert; }

    void save();

protected:
    void changeEvent(QEvent *event) override;

private:
    QWidget *buildBottomBar();
    void refresh();
    void styleSaveButton();
    void showSaveError(const QString &message);

    AnnotationStore *m_store;
    SaveHandler m_onSave;
    CancelHandler m_onCancel;
    bool m_isSaving = false;
    std::optional<QString> m_saveError;
    AnnotationToolbar *m_toolbar = nullptr;
    AnnotationCanvasView *m_canvas = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_save = nullptr;
    QLabel *m_status = nullptr;
    QPointer<QMessageBox> m_alert;
};
