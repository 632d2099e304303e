// SPDX-License-Identifier: GPL-3.0-or-later
#include "tags/widgets/TagDialogWindow.h"

#include "tags/widgets/TagDialogView.h"
#include "ui/Symbols.h"

#include <QCursor>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPointer>
#include <QScreen>
#include <QVBoxLayout>

TagDialogWindow::TagDialogWindow(const ScreenshotRecord &record, AppSettings &settings)
    : QDialog(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowCloseButtonHint | Qt::WindowTitleHint)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Tag Screenshot"));
    setWindowIcon(Symbols::applicationIcon());
    setFixedSize(panelWidth, panelHeight);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_view = new TagDialogView(record, settings, this);
    layout->addWidget(m_view);
    QPointer<TagDialogWindow> self(this);
    m_view->onDismiss = [self] {
        if (self) {
            self->close();
        }
    };
}

void TagDialogWindow::present()
{
    QScreen *screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    show();
    raise();
    activateWindow();
    m_view->searchField()->setFocus(Qt::ActiveWindowFocusReason);
}
